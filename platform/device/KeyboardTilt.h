// The arrow keys standing in for a phone's tilt on a desktop. While a key is held its axis ramps
// toward 30 degrees that way, and back to level once it is let go; each accelerometer sample (every
// 20 ms) moves the angles one step. Samples are in g, as the device reports gravity: face up and
// level is (0, 0, -1), x grows as the right edge goes down (roll), y as the top edge goes down (pitch).
#pragma once

namespace platform {

struct AccelerometerSample {
    double x = 0;
    double y = 0;
    double z = -1;
};

class KeyboardTilt {
public:
    static constexpr double kMaxDegrees = 30;
    // A quarter of a second from level to full tilt at one sample every 20 ms.
    static constexpr double kDegreesPerSample = 2.4;

    enum class Key { Left, Right, Up, Down };

    void setKey(Key key, bool held);
    // Moves both angles one step toward where the held keys point and answers the new sample.
    AccelerometerSample nextSample();

    // Level with no arrow held: every sample from here on is the same until a key changes.
    bool atRest() const { return !m_left && !m_right && !m_up && !m_down && m_roll == 0 && m_pitch == 0; }
    double rollDegrees() const { return m_roll; }
    double pitchDegrees() const { return m_pitch; }

private:
    bool m_left = false;
    bool m_right = false;
    bool m_up = false;
    bool m_down = false;
    double m_roll = 0;
    double m_pitch = 0;
};

}  // namespace platform
