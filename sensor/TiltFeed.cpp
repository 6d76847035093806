#include "sensor/TiltFeed.h"

#include <cmath>
#include <thread>

#include "sensor/SensorClock.h"

std::atomic<double> _roll{0.0};
std::atomic<double> _pitch{0.0};
std::atomic<long long> _timestamp{0};
std::atomic<bool> _sample_just_set{false};

namespace {

// Odd while a sample is being written.
std::atomic<uint32_t> tiltSequence{0};

constexpr double kPi = 3.141592653589793;

float clampUnit(float value) {
    // A NaN compares false both ways and passes; _setTilt has refused it already.
    if (value < -1.0f) return -1.0f;
    if (value > 1.0f) return 1.0f;
    return value;
}

}  // namespace

extern "C" void _setTilt(float x, float y, float z) {
    // A NaN or infinite component would become a NaN angle, which the quiz converts to int.
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
    double roll = std::asin(static_cast<double>(clampUnit(x)));
    const double pitch = std::asin(static_cast<double>(clampUnit(y)));
    // Facing away (z > 0), roll moves into the outer half-circle, so that it covers [-pi, pi].
    if (z > 0.0f) roll = roll < 0.0 ? -kPi - roll : kPi - roll;
    const long long timestamp = javax::microedition::sensor::SensorClock::currentTimeMillis();

    // One writer at a time: take the counter from even to odd.
    uint32_t sequence = tiltSequence.load(std::memory_order_relaxed);
    for (;;) {
        if ((sequence & 1u) != 0) {
            std::this_thread::yield();
            sequence = tiltSequence.load(std::memory_order_relaxed);
            continue;
        }
        if (tiltSequence.compare_exchange_weak(sequence, sequence + 1, std::memory_order_acquire,
                                               std::memory_order_relaxed))
            break;
    }
    // Release stores: a reader that sees any of these values also sees the odd counter before them.
    _roll.store(roll, std::memory_order_release);
    _pitch.store(pitch, std::memory_order_release);
    _timestamp.store(timestamp, std::memory_order_release);
    tiltSequence.store(sequence + 2, std::memory_order_seq_cst);
    _sample_just_set.store(true, std::memory_order_seq_cst);
}

namespace javax::microedition::sensor {

TiltSample TiltFeed::read() {
    for (;;) {
        const uint32_t before = tiltSequence.load(std::memory_order_acquire);
        if ((before & 1u) != 0) {
            std::this_thread::yield();
            continue;
        }
        TiltSample sample;
        // Acquire loads: the counter read after them cannot be read before them.
        sample.roll = _roll.load(std::memory_order_acquire);
        sample.pitch = _pitch.load(std::memory_order_acquire);
        sample.timestamp = _timestamp.load(std::memory_order_acquire);
        sample.sequence = before;
        if (tiltSequence.load(std::memory_order_relaxed) == before) return sample;
    }
}

void TiltFeed::consume(const TiltSample& sample) {
    _sample_just_set.store(false, std::memory_order_seq_cst);
    // A sample published after the one read may have raised the flag just before it was lowered: raise
    // it again so that sample is not lost.
    if (tiltSequence.load(std::memory_order_seq_cst) != sample.sequence)
        _sample_just_set.store(true, std::memory_order_seq_cst);
}

}  // namespace javax::microedition::sensor
