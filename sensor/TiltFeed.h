// The tilt feed: the accelerometer's samples, turned into roll and pitch by _setTilt on the platform
// thread, and read by the sensor poll on the ticker thread.
//
// A sample is published under a sequence counter, so that a reader always gets the three values of one
// sample, never a mix of two; _sample_just_set is raised after the sample is complete and lowered when
// the poll has consumed it.
#pragma once

#include <atomic>
#include <cstdint>

// The shell's accelerometer hand-off: components in units of gravity. A sample with a component that is
// not a finite number is ignored, so the angles stay finite.
extern "C" void _setTilt(float x, float y, float z);

extern std::atomic<double> _roll;
extern std::atomic<double> _pitch;
extern std::atomic<long long> _timestamp;
extern std::atomic<bool> _sample_just_set;

namespace javax::microedition::sensor {

struct TiltSample {
    double roll;
    double pitch;
    long long timestamp;
    // Which publication this is: even, and larger for later samples.
    uint32_t sequence;
};

class TiltFeed {
public:
    // The latest complete sample (all zeros before the first).
    static TiltSample read();
    static bool samplePending() { return _sample_just_set.load(std::memory_order_acquire); }
    // Lowers the pending flag for this sample, unless a later one has been published meanwhile.
    static void consume(const TiltSample& sample);
    // The sample of a device held upright (gravity straight down its long side): pitch -pi/2, roll 0,
    // so that particles fall down the screen. The shell feeds it when it has no tilt source; a flat
    // device (pitch = roll = 0) would steer nothing.
    static void feedHeldUpright() { _setTilt(0.0f, -1.0f, 0.0f); }
};

}  // namespace javax::microedition::sensor
