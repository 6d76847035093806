#include "platform/host/UrlOpener.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TemporaryDirectory.h"

namespace {

using namespace std::chrono_literals;
using platform::UrlOpener;

TEST(UrlOpener, OnlyAddressesWithASchemeCanBeOpened) {
    struct Case {
        const char* url;
        bool openable;
    };
    const Case cases[] = {
        {"https://example.org/", true},
        {"mailto:someone@example.org", true},
        {"x-a+b.c:rest", true},
        {"http:", true},
        {"HTTP://EXAMPLE.ORG", true},
        {"", false},
        {":nothing", false},
        {"1http://example.org", false},
        {"--help", false},
        {"-x:y", false},
        {"http//example.org", false},
        {"ht_tp://example.org", false},
        {"ht tp://example.org", false},
        {"http://example.org/a b", false},
        {"http://example.org/\n", false},
        {"http://example.org/\x7f", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UrlOpener::isOpenableUrl(c.url), c.openable) << '"' << c.url << '"';
    }
    EXPECT_FALSE(UrlOpener::isOpenableUrl(std::string("http://a\0b", 10))) << "an embedded NUL";
}

// Splits what the fake opener wrote: its argument count on the first line, then each argument
// followed by a NUL byte.
std::vector<std::string> argumentsIn(const std::string& text, std::string& count) {
    const size_t newline = text.find('\n');
    count = text.substr(0, newline);
    std::vector<std::string> arguments;
    size_t start = newline + 1;
    for (size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1) {
        arguments.push_back(text.substr(start, end - start));
    }
    return arguments;
}

TEST(UrlOpener, AnAddressFullOfShellSyntaxReachesTheOpenerAsOneArgument) {
    testsupport::TemporaryDirectory directory;
    const std::filesystem::path opener = directory.path() / "fake-opener";
    const std::filesystem::path record = directory.path() / "opened";
    testsupport::writeTextFile(
        opener,
        "#!/bin/sh\n"
        "{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\0' \"$a\"; done; } > '" +
            record.string() + ".tmp' && mv '" + record.string() + ".tmp' '" + record.string() + "'\n");
    ASSERT_EQ(chmod(opener.c_str(), 0700), 0);
    const std::string witness = (directory.path() / "touched").string();
    // No spaces (an address has none): ${IFS} stands in for them, as an attacker would write it.
    const std::string touch = "touch${IFS}" + witness;
    const std::string url =
        "https://example.org/?q=$(" + touch + ");" + touch + "|`" + touch + "`&x='\"*>" + witness + "#";

    UrlOpener urlOpener(opener.string());
    ASSERT_TRUE(urlOpener.open(url));
    ASSERT_TRUE(urlOpener.waitForOpeners(10s));
    std::string count;
    const std::vector<std::string> arguments = argumentsIn(testsupport::readTextFile(record), count);
    EXPECT_EQ(count, "1");
    EXPECT_EQ(arguments, std::vector<std::string>{url});
    EXPECT_FALSE(std::filesystem::exists(witness)) << "something in the address was run";
}

TEST(UrlOpener, NothingIsStartedForARefusedAddressOrAMissingOpener) {
    testsupport::TemporaryDirectory directory;
    const std::filesystem::path record = directory.path() / "opened";
    const std::filesystem::path opener = directory.path() / "fake-opener";
    testsupport::writeTextFile(opener, "#!/bin/sh\ntouch '" + record.string() + "'\n");
    ASSERT_EQ(chmod(opener.c_str(), 0700), 0);
    UrlOpener urlOpener(opener.string());
    EXPECT_FALSE(urlOpener.open(""));
    EXPECT_FALSE(urlOpener.open("--version"));
    EXPECT_TRUE(urlOpener.waitForOpeners(10s));
    EXPECT_FALSE(std::filesystem::exists(record));

    UrlOpener missing((directory.path() / "no-such-opener").string());
    EXPECT_FALSE(missing.open("https://example.org/"));
}

}  // namespace
