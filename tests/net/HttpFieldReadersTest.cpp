// The status-line, number and date readers of the HTTP connection.
#include <gtest/gtest.h>

#include <string>

#include "net/HttpFieldReaders.h"

namespace {

std::u16string wide(const char* text) {
    std::u16string units;
    for (const char* c = text; *c != 0; ++c) units.push_back(static_cast<unsigned char>(*c));
    return units;
}

std::string narrowed(const std::u16string& units) {
    return std::string(units.begin(), units.end());
}

TEST(HttpFieldReadersTest, StatusLineGivesCodeAndMessage) {
    struct Case {
        const char* line;
        int code;
        const char* message;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK", 200, "OK"},
        {"HTTP/1.0 404 Not Found", 404, "Not Found"},
        // A reason phrase is optional: the code runs to the end.
        {"HTTP/1.1 200", 200, ""},
        {"HTTP/1.1 204 ", 204, ""},
        {"HTTP/1.1", 0, ""},
        {"HTTP/1.1 abc Weird", 0, "Weird"},
        {"HTTP/1.1 99999999999 Big", 0, "Big"},
        {"", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(net::readStatusCode(wide(c.line)), c.code);
        EXPECT_EQ(narrowed(net::readStatusMessage(wide(c.line))), c.message);
    }
}

TEST(HttpFieldReadersTest, LeadingIntegerStopsAtTheFirstOtherUnitAndRefusesOverflow) {
    struct Case {
        const char* text;
        std::optional<int32_t> value;
    };
    const Case cases[] = {
        {"1234", 1234},
        {"-12", -12},
        {"abc", 0},
        {"", 0},
        {"80abc", 80},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"18446744073709551696", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(net::readLeadingInt(wide(c.text)), c.value);
    }
}

TEST(HttpFieldReadersTest, DatesInTheThreeFormsWithSoundValues) {
    constexpr long long def = -7;
    struct Case {
        const char* text;
        long long millis;
    };
    const Case cases[] = {
        {"Sun, 06 Nov 1994 08:49:37 GMT", 784111777000},
        {"Sunday, 06-Nov-94 08:49:37 GMT", 784111777000},
        {"Sun Nov 16 08:49:37 1994", 784975777000},
        {"Thursday, 01-Jan-70 00:00:00 GMT", 0},
        {"Wednesday, 01-Jan-69 00:00:00 GMT", 3124224000000},
        // A full year in the RFC 850 form stands as written.
        {"Monday, 01-Jan-2001 00:00:00 GMT", 978307200000},
        // A padded one-digit day in the asctime form.
        {"Sun Nov  6 08:49:37 1994", 784111777000},
        {"Sun, 06 nov 1994 08:49:37 GMT", 784111777000},
        {"Sun, 06 NOV 1994 08:49:37 GMT", 784111777000},
        {"Sun, 06 November 1994 08:49:37 GMT", def},
        {"Sun, 06 Nov 1994 08:49:37GMT", def},
        {"Sun, 06 Nov 1994 08:49:37 +0000", def},
        {"Sun, 00 Nov 1994 00:00:00 GMT", 783561600000},
        {"Sun, 06 Nov 1994 0849 GMT", def},
        {"Sun, 99999999999 Nov 1994 08:49:37 GMT", def},
        {"Sun, 06 Nov 1994 08:49:99999999999 GMT", def},
        {"", def},
        {"GMT GMT", def},
        {" GMT", def},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(net::readHttpDate(wide(c.text), def), c.millis);
    }
}

}  // namespace
