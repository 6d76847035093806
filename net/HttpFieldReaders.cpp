#include "net/HttpFieldReaders.h"

#include <array>

#include "runtime/NumberFormatException.h"

namespace net {

namespace {

constexpr size_t npos = std::u16string_view::npos;

std::u16string_view after(std::u16string_view text, size_t index) {
    return index >= text.size() ? std::u16string_view() : text.substr(index + 1);
}

unsigned short lowerAscii(char16_t unit) {
    return unit >= 'A' && unit <= 'Z' ? static_cast<unsigned short>(unit + 32)
                                      : static_cast<unsigned short>(unit);
}

bool equalsIgnoringCase(std::u16string_view a, const char* b) {
    size_t i = 0;
    for (; b[i] != 0; ++i) {
        if (i >= a.size() || lowerAscii(a[i]) != lowerAscii(static_cast<char16_t>(b[i]))) return false;
    }
    return i == a.size();
}

// Cuts the next token up to the separator. A space separator also swallows the spaces around it, so a
// padded day reads as its digits. Empty when the separator is missing.
std::optional<std::u16string_view> nextToken(std::u16string_view& rest, char16_t separator) {
    if (separator == u' ') {
        const size_t start = rest.find_first_not_of(u' ');
        rest = start == npos ? std::u16string_view() : rest.substr(start);
    }
    const size_t at = rest.find(separator);
    if (at == npos) return std::nullopt;
    std::u16string_view token = rest.substr(0, at);
    rest = rest.substr(at + 1);
    if (separator == u' ') {
        const size_t start = rest.find_first_not_of(u' ');
        rest = start == npos ? std::u16string_view() : rest.substr(start);
    }
    return token;
}

// Days from 1970-01-01 to the first of the month in the proleptic Gregorian calendar.
long long daysFromCivil(long long year, int month) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

}  // namespace

std::optional<int32_t> readLeadingInt(std::u16string_view text) {
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == u'-';
    if (negative) i = 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(value);
}

HttpUrlParts parseHttpUrl(std::u16string_view url) {
    HttpUrlParts parts;
    const size_t colon = url.find(u':');
    parts.protocol = std::u16string(url.substr(0, colon == npos ? url.size() : colon));
    std::u16string_view rest =
        colon == npos || colon + 3 > url.size() ? std::u16string_view() : url.substr(colon + 3);

    // The host part ends where the path, the query or the reference starts.
    std::u16string_view hostPart = rest;
    const size_t end = rest.find_first_of(u"/?#");
    if (end == npos) {
        rest = std::u16string_view();
    } else {
        hostPart = rest.substr(0, end);
        rest = rest[end] == u'/' ? rest.substr(end + 1) : rest.substr(end);
    }
    if (const size_t at = hostPart.find(u'@'); at != npos) hostPart = hostPart.substr(at + 1);
    // A bracketed IPv6 address holds colons of its own: the port's colon comes after the bracket.
    const size_t portSearchFrom = !hostPart.empty() && hostPart[0] == u'[' ? hostPart.find(u']') : 0;
    const size_t portColon = portSearchFrom == npos ? npos : hostPart.find(u':', portSearchFrom);
    if (portColon != npos) {
        const std::u16string_view portText = hostPart.substr(portColon + 1);
        size_t digits = portText.find_first_not_of(u"0123456789", !portText.empty() && portText[0] == u'-');
        if (digits == npos) digits = portText.size();
        const std::optional<int32_t> port = readLeadingInt(portText);
        // Eleven digits are beyond any port: refused rather than read modulo 2^32.
        if (!port || digits > 10) throw java::lang::NumberFormatException();
        parts.port = *port;
        parts.host = std::u16string(hostPart.substr(0, portColon));
    } else {
        parts.host = std::u16string(hostPart);
        parts.port = parts.protocol.size() == 4 ? 80 : 443;
    }

    if (const size_t hash = rest.rfind(u'#'); hash != npos) {
        parts.ref = std::u16string(rest.substr(hash + 1));
        rest = rest.substr(0, hash);
    }
    if (const size_t question = rest.rfind(u'?'); question != npos) {
        parts.query = std::u16string(rest.substr(question + 1));
        rest = rest.substr(0, question);
    }
    if (const size_t semicolon = rest.rfind(u';'); semicolon != npos) rest = rest.substr(0, semicolon);
    if (!rest.empty()) {
        if (const size_t slash = rest.rfind(u'/'); slash != npos)
            parts.file = std::u16string(rest.substr(slash + 1));
    }
    return parts;
}

int32_t readStatusCode(std::u16string_view statusLine) {
    const size_t space = statusLine.find(u' ');
    std::u16string_view t = space == npos ? statusLine : after(statusLine, space);
    const size_t next = t.find(u' ');
    if (next != npos) t = t.substr(0, next);
    return readLeadingInt(t).value_or(0);
}

std::u16string readStatusMessage(std::u16string_view statusLine) {
    const size_t space = statusLine.find(u' ');
    const std::u16string_view t = space == npos ? statusLine : after(statusLine, space);
    const size_t next = t.find(u' ');
    return next == npos ? std::u16string() : std::u16string(after(t, next));
}

long long readHttpDate(std::u16string_view value, long long def) {
    enum class Form { Rfc1123, Rfc850, Asctime };
    std::u16string_view s = value;
    Form form = Form::Asctime;
    if (s.find(u" GMT") != npos) {
        form = s.find(u' ') == 4 ? Form::Rfc1123 : Form::Rfc850;
        s = s.substr(0, s.size() - 4);
    }
    // The weekday, whatever it says.
    if (!nextToken(s, u' ')) return def;

    std::optional<int32_t> day, year;
    std::u16string_view month, time;
    if (form == Form::Rfc1123) {
        auto dayText = nextToken(s, u' ');
        auto monthText = dayText ? nextToken(s, u' ') : std::nullopt;
        auto yearText = monthText ? nextToken(s, u' ') : std::nullopt;
        if (!yearText) return def;
        day = readLeadingInt(*dayText);
        month = *monthText;
        year = readLeadingInt(*yearText);
        time = s;
    } else if (form == Form::Rfc850) {
        auto dayText = nextToken(s, u'-');
        auto monthText = dayText ? nextToken(s, u'-') : std::nullopt;
        auto yearText = monthText ? nextToken(s, u' ') : std::nullopt;
        if (!yearText) return def;
        day = readLeadingInt(*dayText);
        month = *monthText;
        year = readLeadingInt(*yearText);
        // Two digits are the years 1970 to 2069; a full year stands as written.
        if (year && *year >= 0 && *year < 100) year = *year <= 69 ? 2000 + *year : 1900 + *year;
        time = s;
    } else {
        auto monthText = nextToken(s, u' ');
        auto dayText = monthText ? nextToken(s, u' ') : std::nullopt;
        if (!dayText) return def;
        while (!s.empty() && s.back() == u' ') s.remove_suffix(1);
        const size_t last = s.rfind(u' ');
        if (last == npos) return def;
        month = *monthText;
        day = readLeadingInt(*dayText);
        year = readLeadingInt(s.substr(last + 1));
        time = s.substr(0, last);
    }
    if (!day || !year) return def;
    int monthIndex = -1;
    for (size_t i = 0; i < kMonths.size(); ++i) {
        if (equalsIgnoringCase(month, kMonths[i])) monthIndex = static_cast<int>(i);
    }
    if (monthIndex < 0) return def;

    while (!time.empty() && time.front() == u' ') time.remove_prefix(1);
    auto hourText = nextToken(time, u':');
    auto minuteText = hourText ? nextToken(time, u':') : std::nullopt;
    if (!minuteText) return def;
    const auto hour = readLeadingInt(*hourText);
    const auto minute = readLeadingInt(*minuteText);
    const auto second = readLeadingInt(time);
    if (!hour || !minute || !second) return def;

    // Every field is within 32 bits, so the sum stays far inside 64 bits; the product by 1,000 may not.
    const long long days = daysFromCivil(*year, monthIndex + 1) + (static_cast<long long>(*day) - 1);
    const long long seconds =
        days * 86400 + static_cast<long long>(*hour) * 3600 + static_cast<long long>(*minute) * 60 + *second;
    long long millis = 0;
    if (__builtin_mul_overflow(seconds, 1000LL, &millis)) return def;
    return millis;
}

}  // namespace net
