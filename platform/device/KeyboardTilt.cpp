#include "platform/device/KeyboardTilt.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {
namespace {

double stepToward(double angle, double target) {
    if (angle < target) return std::min(angle + KeyboardTilt::kDegreesPerSample, target);
    return std::max(angle - KeyboardTilt::kDegreesPerSample, target);
}

// Opposite keys held together cancel out.
double targetOf(bool negative, bool positive) {
    return (positive ? KeyboardTilt::kMaxDegrees : 0) - (negative ? KeyboardTilt::kMaxDegrees : 0);
}

}  // namespace

void KeyboardTilt::setKey(Key key, bool held) {
    switch (key) {
        case Key::Left:
            m_left = held;
            break;
        case Key::Right:
            m_right = held;
            break;
        case Key::Up:
            m_up = held;
            break;
        case Key::Down:
            m_down = held;
            break;
    }
}

AccelerometerSample KeyboardTilt::nextSample() {
    m_roll = stepToward(m_roll, targetOf(m_left, m_right));
    m_pitch = stepToward(m_pitch, targetOf(m_down, m_up));
    constexpr double kRadiansPerDegree = std::numbers::pi / 180;
    AccelerometerSample sample;
    // The tilt sensor reads roll as asin(x) and pitch as asin(y), so these give back the angles.
    sample.x = std::sin(m_roll * kRadiansPerDegree);
    sample.y = std::sin(m_pitch * kRadiansPerDegree);
    sample.z = -std::sqrt(std::max(0.0, 1 - sample.x * sample.x - sample.y * sample.y));
    return sample;
}

}  // namespace platform
