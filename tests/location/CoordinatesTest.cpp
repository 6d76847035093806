// Coordinates: ranges, distance, bearing and the two text forms; and the plain value classes beside it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "location/Coordinates.h"
#include "location/Criteria.h"
#include "location/Location.h"
#include "location/LocationException.h"
#include "location/QualifiedCoordinates.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/NumberFormatException.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

namespace {

using namespace javax::microedition::location;
using java::lang::IllegalArgumentException;
using java::lang::NullPointerException;
using java::lang::NumberFormatException;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::throws;

QUILL_REGISTER_CLASSES(Coordinates, QualifiedCoordinates, Location, Criteria, LocationException);

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

JavaPtr<Coordinates> at(double latitude, double longitude) {
    return jnew<Coordinates>(latitude, longitude, 0.0f);
}

TEST(CoordinatesTest, RangesAcceptTheirEdgesAndRefuseNaN) {
    struct Case {
        double value;
        bool latitudeOk;
        bool longitudeOk;
    };
    const Case cases[] = {
        {0.0, true, true},         {90.0, true, true},         {-90.0, true, true},
        {90.0000001, false, true}, {-90.0000001, false, true}, {-180.0, false, true},
        {180.0, false, false},     {179.9999999, false, true}, {-180.0000001, false, false},
        {kNaN, false, false},      {kInfinity, false, false},  {-kInfinity, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        JavaPtr<Coordinates> point = at(1.0, 2.0);
        EXPECT_EQ(!throws<IllegalArgumentException>([&] { point->setLatitude(c.value); }), c.latitudeOk);
        EXPECT_EQ(point->getLatitude(), c.latitudeOk ? c.value : 1.0) << "a failed setter leaves the field";
        EXPECT_EQ(!throws<IllegalArgumentException>([&] { point->setLongitude(c.value); }), c.longitudeOk);
        EXPECT_EQ(point->getLongitude(), c.longitudeOk ? c.value : 2.0);
        EXPECT_EQ(!throws<IllegalArgumentException>([&] { at(c.value, 0.0); }), c.latitudeOk);
        EXPECT_EQ(!throws<IllegalArgumentException>([&] { at(0.0, c.value); }), c.longitudeOk);
    }
}

TEST(CoordinatesTest, ConstructorStoresAllThreeValues) {
    JavaPtr<Coordinates> point = jnew<Coordinates>(-33.5, 151.25, -12.5f);
    EXPECT_EQ(point->getLatitude(), -33.5);
    EXPECT_EQ(point->getLongitude(), 151.25);
    EXPECT_EQ(point->getAltitude(), -12.5f);
}

TEST(CoordinatesTest, DistancesOnTheEllipsoidWithinAMetre) {
    const double pi = 3.141592653589793;
    EXPECT_EQ(at(48.85, 2.35)->distance(at(48.85, 2.35)), 0.0f);
    EXPECT_EQ(at(0.0, 0.0)->distance(at(0.0, 0.0)), 0.0f);
    // A short hop: 0.001 degree of latitude at the equator is about 110.6 m.
    EXPECT_NEAR(at(0.0, 0.0)->distance(at(0.001, 0.0)), 110.6, 1.0);
    EXPECT_NEAR(at(0.0, 0.0)->distance(at(0.0, 90.0)), 6378137.0 * pi / 2, 1.0);
    EXPECT_NEAR(at(90.0, 0.0)->distance(at(-90.0, 0.0)), 6356752.314245 * pi, 1.0);
    // Symmetric, and independent of the altitudes.
    JavaPtr<Coordinates> high = jnew<Coordinates>(10.0, 20.0, 9000.0f);
    EXPECT_EQ(at(10.0, 20.0)->distance(at(11.0, 21.0)), high->distance(at(11.0, 21.0)));
    EXPECT_EQ(at(10.0, 20.0)->distance(at(11.0, 21.0)), at(11.0, 21.0)->distance(at(10.0, 20.0)));
    EXPECT_TRUE(throws<NullPointerException>([] { at(0.0, 0.0)->distance(nullptr); }));
}

TEST(CoordinatesTest, AzimuthIsTheInitialBearingClockwiseFromNorth) {
    struct Case {
        double fromLat, fromLon, toLat, toLon, bearing;
    };
    const Case cases[] = {
        {0, 0, 10, 0, 0.0},        {0, 0, 0, 90, 90.0},          {0, 0, -10, 0, 180.0}, {0, 0, 0, -90, 270.0},
        {0, 0, 1, 1, 44.99563645}, {10, 0, 10, -1, 270.0868225}, {5, 5, 5, 5, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.fromLat << "," << c.fromLon << " -> " << c.toLat << "," << c.toLon);
        const float bearing = at(c.fromLat, c.fromLon)->azimuthTo(at(c.toLat, c.toLon));
        EXPECT_NEAR(bearing, c.bearing, 1e-4);
        EXPECT_GE(bearing, 0.0f);
        EXPECT_LT(bearing, 360.0f);
    }
    EXPECT_TRUE(throws<NullPointerException>([] { at(0.0, 0.0)->azimuthTo(nullptr); }));
}

TEST(CoordinatesTest, ConvertsDegreesToText) {
    struct Case {
        double value;
        int type;
        const char* text;
    };
    const Case cases[] = {
        {61.5125, Coordinates::DD_MM, "61:30.750"},
        {61.5125, Coordinates::DD_MM_SS, "61:30:45.000"},
        {0.0, Coordinates::DD_MM, "0:0.000"},
        {-61.5125, Coordinates::DD_MM, "-61:30.750"},
        {-61.5125, Coordinates::DD_MM_SS, "-61:30:45.000"},
        {-0.5, Coordinates::DD_MM, "-0:30.000"},
        {-180.0, Coordinates::DD_MM, "-180:0.000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(narrow(Coordinates::convert(c.value, c.type)), c.text);
    }
    const std::pair<double, int> refused[] = {
        {180.0, Coordinates::DD_MM}, {-180.5, Coordinates::DD_MM}, {12.0, 3}, {12.0, 0},
        {kNaN, Coordinates::DD_MM},
    };
    for (const auto& [value, type] : refused) {
        SCOPED_TRACE(testing::Message() << value << " type " << type);
        EXPECT_TRUE(throws<IllegalArgumentException>([&] { Coordinates::convert(value, type); }));
    }
}

TEST(CoordinatesTest, ReadsBothTextForms) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"61:30.750", 61.5125}, {"61:30:45", 61.5125},   {"61:30:45.5", 61.51263888888889}, {"12:30", 12.5},
        {"12:30:00", 12.5},     {"61:30.075", 61.50125}, {"-61:30.750", -61.5125},          {"-0:30", -0.5},
        {"-12:30:00", -12.5},   {"200:75", 201.25},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_NEAR(Coordinates::convert(jstr(c.text)), c.value, 1e-12);
    }
}

TEST(CoordinatesTest, RefusesMalformedText) {
    EXPECT_TRUE(throws<NullPointerException>([] { Coordinates::convert(nullptr); }));
    // No ':' at all is an argument error, not a number error.
    bool numberError = false;
    bool argumentError = false;
    try {
        Coordinates::convert(jstr("12"));
    } catch (NumberFormatException&) {
        numberError = true;
    } catch (IllegalArgumentException&) {
        argumentError = true;
    }
    EXPECT_TRUE(argumentError);
    EXPECT_FALSE(numberError);
    for (const char* text : {"12:xx", "12:3x", "x12:30", "12:30.x", "12:30:4y", "12:", ":30", "12:30.",
                             "12:-30", "12:30:-5", "--1:30", "99999999999:0", "12:30:45.1e2"}) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(throws<NumberFormatException>([&] { Coordinates::convert(jstr(text)); }));
    }
}

TEST(CoordinatesTest, TextOfAValueReadsBackToIt) {
    for (double value : {61.5125, -61.5125, -0.25, 0.0, 45.0, -179.999, 12.345678, -33.8568}) {
        SCOPED_TRACE(value);
        const double minutes = Coordinates::convert(Coordinates::convert(value, Coordinates::DD_MM));
        const double seconds = Coordinates::convert(Coordinates::convert(value, Coordinates::DD_MM_SS));
        // Each form truncates its last digit: a thousandth of a minute, or of a second.
        EXPECT_NEAR(minutes, value, 1.0 / 60000 + 1e-12);
        EXPECT_NEAR(seconds, value, 1.0 / 3600000 + 1e-12);
        EXPECT_EQ(std::signbit(minutes), value < 0);
    }
}

TEST(LocationValuesTest, NewObjectsHoldTheirDefaults) {
    JavaPtr<Location> location = jnew<Location>();
    EXPECT_FALSE(location->isValid());
    EXPECT_EQ(location->getTimestamp(), -1);
    EXPECT_EQ(location->getLocationMethod(), 0);
    EXPECT_FALSE(location->getQualifiedCoordinates());
    EXPECT_FALSE(location->getExtraInfo(jstr("text/plain")));
    EXPECT_FALSE(location->getAddressInfo());
    EXPECT_EQ(location->getSpeed(), 0.0f);
    EXPECT_EQ(location->getCourse(), 0.0f);

    JavaPtr<Criteria> criteria = jnew<Criteria>();
    EXPECT_TRUE(criteria->isAllowedToCost());
    EXPECT_EQ(criteria->getHorizontalAccuracy(), Criteria::NO_REQUIREMENT);
    EXPECT_EQ(criteria->getVerticalAccuracy(), 0);
    EXPECT_EQ(criteria->getPreferredResponseTime(), 0);
    EXPECT_EQ(criteria->getPreferredPowerConsumption(), 0);
    EXPECT_FALSE(criteria->isAddressInfoRequired());
    EXPECT_FALSE(criteria->isAltitudeRequired());
    EXPECT_FALSE(criteria->isSpeedAndCourseRequired());
    criteria->setPreferredPowerConsumption(7);
    criteria->setCostAllowed(false);
    EXPECT_EQ(criteria->getPreferredPowerConsumption(), 7);
    EXPECT_FALSE(criteria->isAllowedToCost());
}

TEST(LocationValuesTest, QualifiedCoordinatesCheckRangesButStoreAnyAccuracy) {
    EXPECT_TRUE(
        throws<IllegalArgumentException>([] { jnew<QualifiedCoordinates>(91.0, 0.0, 0.0f, 1.0f, 1.0f); }));
    JavaPtr<QualifiedCoordinates> point = jnew<QualifiedCoordinates>(1.0, 2.0, 3.0f, -5.0f, -5.0f);
    EXPECT_EQ(point->getHorizontalAccuracy(), -5.0f);
    EXPECT_EQ(point->getVerticalAccuracy(), -5.0f);
    EXPECT_EQ(point->getAltitude(), 3.0f);
    EXPECT_NE(point->castAsTypeID(Coordinates::TESLclassTypeID), nullptr);
}

TEST(LocationValuesTest, LocationExceptionKeepsItsMessage) {
    JavaPtr<java::lang::String> text = jstr("no fix");
    JavaPtr<LocationException> with = jnew<LocationException>(text);
    EXPECT_EQ(with->getMessage().counted(), text.counted());
    EXPECT_FALSE(jnew<LocationException>()->getMessage());
    EXPECT_NE(with->castAsTypeID(java::lang::Exception::TESLclassTypeID), nullptr);
}

}  // namespace
