#include "location/Coordinates.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "runtime/IllegalArgumentException.h"
#include "runtime/Math.h"
#include "runtime/NullPointerException.h"
#include "runtime/NumberFormatException.h"

namespace javax::microedition::location {

using java::lang::Math;
using java::lang::String;

namespace {

constexpr double kEquatorialRadius = 6378137.0;
constexpr double kPolarRadius = 6356752.314245;

struct EarthPoint {
    double x, y, z, radius;
};

EarthPoint onEllipsoid(double latitude, double longitude) {
    const double phi = latitude * Math::PI / 180.0;
    const double lambda = longitude * Math::PI / 180.0;
    EarthPoint p;
    p.x = kEquatorialRadius * Math::cos(phi) * Math::cos(lambda);
    p.y = kEquatorialRadius * Math::cos(phi) * Math::sin(lambda);
    p.z = kPolarRadius * Math::sin(phi);
    p.radius = Math::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    return p;
}

// The arc cosine by bisection, to within about 1e-7 rad; a cosine a little beyond 1 or -1 from rounding
// converges to 0 or pi.
double angleOfCosine(double c) {
    if (c == 1.0) return 0.0;
    if (c == -1.0) return Math::PI;
    double lo = 0.0;
    double hi = Math::PI;
    for (int step = 0; step < 25 && lo != hi; ++step) {
        const double mid = (lo + hi) * 0.5;
        const double cosine = Math::cos(mid);
        if (cosine == c) {
            lo = hi = mid;
        } else if (cosine > c) {
            lo = mid;
        } else {
            hi = mid;
        }
    }
    return (lo + hi) * 0.5;
}

// The runtime's parseInt reads a leading digit run and ignores the rest, so "12:xx" would read as 12:0:
// each part of a coordinate text is checked here instead. Digits only (a sign where allowed), at least
// one, within 32 bits.
int parsePart(const String& text, int begin, int end, bool signAllowed) {
    int i = begin;
    bool negative = false;
    if (signAllowed && i < end && text.charAt(i) == '-') {
        negative = true;
        ++i;
    }
    if (i >= end) throw java::lang::NumberFormatException();
    long long value = 0;
    for (; i < end; ++i) {
        const unsigned short unit = text.charAt(i);
        if (unit < '0' || unit > '9') throw java::lang::NumberFormatException();
        value = value * 10 + (unit - '0');
        if (value > 2147483648LL) throw java::lang::NumberFormatException();
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int32_t>::max()) throw java::lang::NumberFormatException();
    return static_cast<int>(value);
}

// "75" is 0.75 and "075" 0.075: the digits times 0.1 once per character.
double fractionOf(const String& text, int begin, int end) {
    double value = parsePart(text, begin, end, false);
    for (int i = begin; i < end; ++i) value *= 0.1;
    return value;
}

int indexIn(const String& text, unsigned short unit, int from, int end) {
    const int at = text.indexOf(unit, from);
    return at >= 0 && at < end ? at : -1;
}

}  // namespace

void Coordinates::checkLatitude(double latitude) {
    // Written so that NaN fails: it would poison every distance.
    if (!(latitude >= -90.0 && latitude <= 90.0)) throw java::lang::IllegalArgumentException();
}

void Coordinates::checkLongitude(double longitude) {
    if (!(longitude >= -180.0 && longitude < 180.0)) throw java::lang::IllegalArgumentException();
}

Coordinates* Coordinates::TESLinvokeconstructor(double latitude, double longitude, float altitude) {
    Object::TESLinvokeconstructor();
    checkLatitude(latitude);
    checkLongitude(longitude);
    setLatitude(latitude);
    setLongitude(longitude);
    setAltitude(altitude);
    return this;
}

float Coordinates::getAltitude() {
    return m_altitude.load(std::memory_order_relaxed);
}

double Coordinates::getLatitude() {
    return m_latitude.load(std::memory_order_relaxed);
}

double Coordinates::getLongitude() {
    return m_longitude.load(std::memory_order_relaxed);
}

void Coordinates::setAltitude(float altitude) {
    m_altitude.store(altitude, std::memory_order_relaxed);
}

void Coordinates::setLatitude(double latitude) {
    checkLatitude(latitude);
    m_latitude.store(latitude, std::memory_order_relaxed);
}

void Coordinates::setLongitude(double longitude) {
    checkLongitude(longitude);
    m_longitude.store(longitude, std::memory_order_relaxed);
}

float Coordinates::distance(const JavaPtr<Coordinates>& to) {
    if (!to) throw java::lang::NullPointerException();
    // The same point is 0 m apart: rounding would leave the cosine a hair below 1, and the bisection's
    // last step would then be some 0.3 m.
    if (getLatitude() == to->getLatitude() && getLongitude() == to->getLongitude()) return 0.0f;
    const EarthPoint a = onEllipsoid(getLatitude(), getLongitude());
    const EarthPoint b = onEllipsoid(to->getLatitude(), to->getLongitude());
    const double c = (a.x * b.x + a.y * b.y + a.z * b.z) / (a.radius * b.radius);
    const double theta = angleOfCosine(c);
    return static_cast<float>((a.radius + b.radius) * theta * 0.5);
}

float Coordinates::azimuthTo(const JavaPtr<Coordinates>& to) {
    if (!to) throw java::lang::NullPointerException();
    const double phi1 = getLatitude() * Math::PI / 180.0;
    const double phi2 = to->getLatitude() * Math::PI / 180.0;
    const double deltaLambda = (to->getLongitude() - getLongitude()) * Math::PI / 180.0;
    const double y = std::sin(deltaLambda) * std::cos(phi2);
    const double x =
        std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(deltaLambda);
    if (x == 0.0 && y == 0.0) return 0.0f;
    double degrees = std::atan2(y, x) * 180.0 / Math::PI;
    if (degrees < 0.0) degrees += 360.0;
    const float bearing = static_cast<float>(degrees);
    // A bearing a hair below 360 can round up to 360 as a float.
    return bearing >= 360.0f ? 0.0f : bearing;
}

JavaPtr<String> Coordinates::convert(double coordinate, int outputType) {
    if (outputType != DD_MM_SS && outputType != DD_MM) throw java::lang::IllegalArgumentException();
    if (!(coordinate >= -180.0 && coordinate < 180.0)) throw java::lang::IllegalArgumentException();
    // Minutes and seconds come from the magnitude, so that "-61:30.750" reads back as -61.5125.
    const bool negative = std::signbit(coordinate) && coordinate != 0.0;
    const double magnitude = negative ? -coordinate : coordinate;
    const int degrees = static_cast<int>(magnitude);
    const double minutes = (magnitude - degrees) * 60.0;
    const int wholeMinutes = static_cast<int>(minutes);
    char text[48];
    if (outputType == DD_MM) {
        const int thousandths = static_cast<int>((minutes - wholeMinutes) * 1000.0);
        std::snprintf(text, sizeof text, "%s%d:%d.%03d", negative ? "-" : "", degrees, wholeMinutes,
                      thousandths);
    } else {
        const double seconds = (minutes - wholeMinutes) * 60.0;
        const int wholeSeconds = static_cast<int>(seconds);
        const int thousandths = static_cast<int>((seconds - wholeSeconds) * 1000.0);
        std::snprintf(text, sizeof text, "%s%d:%d:%d.%03d", negative ? "-" : "", degrees, wholeMinutes,
                      wholeSeconds, thousandths);
    }
    return jnew<String>(text);
}

double Coordinates::convert(const JavaPtr<String>& coordinate) {
    if (!coordinate) throw java::lang::NullPointerException();
    const String& text = *coordinate;
    const int end = text.length();
    const int firstColon = text.indexOf(':');
    if (firstColon < 0) throw java::lang::IllegalArgumentException();
    const int degrees = parsePart(text, 0, firstColon, true);
    // "-0:30" is negative too, though its degrees are 0.
    const bool negative = firstColon > 0 && text.charAt(0) == '-';
    double value = degrees < 0 ? -static_cast<double>(degrees) : degrees;
    const int rest = firstColon + 1;
    const int secondColon = indexIn(text, ':', rest, end);
    if (secondColon >= 0) {
        value = value + parsePart(text, rest, secondColon, false) / 60.0;
        const int secondsAt = secondColon + 1;
        const int dot = indexIn(text, '.', secondsAt, end);
        if (dot >= 0) {
            value = value + parsePart(text, secondsAt, dot, false) / 3600.0 +
                    fractionOf(text, dot + 1, end) / 3600.0;
        } else {
            value = value + parsePart(text, secondsAt, end, false) / 3600.0;
        }
    } else {
        const int dot = indexIn(text, '.', rest, end);
        if (dot >= 0) {
            value = value + parsePart(text, rest, dot, false) / 60.0 + fractionOf(text, dot + 1, end) / 60.0;
        } else {
            value = value + parsePart(text, rest, end, false) / 60.0;
        }
    }
    return negative ? -value : value;
}

}  // namespace javax::microedition::location
