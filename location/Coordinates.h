// javax.microedition.location.Coordinates: a point on the Earth (latitude and longitude in degrees, an
// altitude in metres), its distance and bearing to another point, and the two text forms of a degree value.
#pragma once

#include <atomic>
#include <cstdint>

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::location {

class Coordinates : public java::lang::Object {
    TESL_CLASS(Coordinates, "javax.microedition.location.Coordinates", java::lang::Object)
public:
    static constexpr int32_t DD_MM_SS = 1;
    static constexpr int32_t DD_MM = 2;

    Coordinates() noexcept {}
    ~Coordinates() override = default;

    // IllegalArgumentException for a latitude outside -90..90 or a longitude outside -180..180
    // (180 itself excluded); NaN is outside both.
    Coordinates* TESLinvokeconstructor(double latitude, double longitude, float altitude);

    // The initial great-circle bearing to `to` in degrees, 0 to under 360 clockwise from north.
    virtual float azimuthTo(const JavaPtr<Coordinates>& to);
    // Metres along the mean-radius sphere of the two points; altitudes ignored.
    virtual float distance(const JavaPtr<Coordinates>& to);
    virtual float getAltitude();
    virtual double getLatitude();
    virtual double getLongitude();
    virtual void setAltitude(float altitude);
    virtual void setLatitude(double latitude);
    virtual void setLongitude(double longitude);

    // "d:m.fff" (DD_MM) or "d:m:s.fff" (DD_MM_SS). A negative value carries its sign on the degrees
    // only, so that the text reads back.
    static JavaPtr<java::lang::String> convert(double coordinate, int outputType);
    // The value of either text form; the sign of the degrees applies to the whole value.
    static double convert(const JavaPtr<java::lang::String>& coordinate);

protected:
    // The range tests of the constructor and the setters.
    static void checkLatitude(double latitude);
    static void checkLongitude(double longitude);

private:
    // Atomic: a point the application registered for a proximity watch is read by the ticker thread's
    // poll while the application may move it.
    std::atomic<double> m_longitude{0.0};
    std::atomic<double> m_latitude{0.0};
    std::atomic<float> m_altitude{0.0f};
};

}  // namespace javax::microedition::location
