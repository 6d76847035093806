// The twinkle particles: a fixed pool of 16 records thrown from a touch point, pulled by the tilt of
// the device and drawn over every frame.
#include "engine/HookCanvas.h"

#include "graphics/Graphics.h"
#include "library/Connector.h"
#include "sensor/ChannelInfo.h"
#include "sensor/Data.h"
#include "sensor/SensorConnection.h"
#include "sensor/SensorInfo.h"
#include "sensor/SensorManager.h"

using java::lang::String;
using javax::microedition::sensor::Data;
using javax::microedition::sensor::SensorInfo;
using javax::microedition::sensor::SensorManager;

namespace {

constexpr int32_t kRecord = 8;

int32_t ageOf(int32_t flags) {
    return static_cast<int16_t>(flags & HookCanvas::pt_age_mask);
}

}  // namespace

void HookCanvas::particle_shower(int32_t x, int32_t y, int32_t colour, int32_t count) {
    // A count below one would divide by zero when spreading the directions.
    if (particles == nullptr || count < 1) return;
    JArray<int32_t>& p = *particles;
    int32_t free = 0;
    for (int32_t i = 0; i < MAX_PARTICLES; i++)
        if (p[i * kRecord + pt_flags] >= 0) free++;
    for (int32_t k = count - free; k > 0; k--) {
        int32_t oldest = 0;
        int32_t oldestAge = 0;
        for (int32_t i = 0; i < MAX_PARTICLES; i++) {
            const int32_t flags = p[i * kRecord + pt_flags];
            if (flags < 0 && ageOf(flags) > oldestAge) {
                oldestAge = ageOf(flags);
                oldest = i;
            }
        }
        p[oldest * kRecord + pt_flags] = 0;
    }
    const int32_t step = 360 / count;
    for (int32_t j = 0; j < MAX_PARTICLES && count > 0; j++) {
        const int32_t base = j * kRecord;
        if (p[base + pt_flags] < 0) continue;
        const int32_t a = j * step;
        p[base + pt_x] = x << 16;
        p[base + pt_y] = y << 16;
        const int32_t jitter = random(step);
        const int32_t theta = a + step / 2 - jitter;
        const int32_t s = sin(theta);
        const int32_t c = cos(theta);
        p[base + pt_vx] = s * 256 + s * (32 + random(32));
        p[base + pt_vy] = c * 256 + c * (32 + random(32));
        p[base + pt_ax] = 0;
        p[base + pt_ay] = 0x8000;
        p[base + pt_frame_colour] = random(4) | (colour << 16);
        p[base + pt_flags] = pt_alive;
        count--;
    }
}

void HookCanvas::tick_particles() {
    if (particles == nullptr) return;
    JArray<int32_t>& p = *particles;
    const int32_t tx = tilt_x.load(std::memory_order_relaxed);
    const int32_t ty = tilt_y.load(std::memory_order_relaxed);
    const int32_t right = (PARAM_TS_BASE_SCREEN_WIDTH.load() + 100) << 16;
    const int32_t bottom = (PARAM_TS_BASE_SCREEN_HEIGHT.load() + 100) << 16;
    constexpr int32_t kFar = -200 * 65536;
    for (int32_t i = 0; i < MAX_PARTICLES; i++) {
        const int32_t b = i * kRecord;
        const int32_t flags = p[b + pt_flags];
        if (flags >= 0) continue;
        p[b + pt_x] += p[b + pt_vx];
        p[b + pt_y] += p[b + pt_vy];
        p[b + pt_vx] += p[b + pt_ax];
        p[b + pt_vy] += p[b + pt_ay];
        const int32_t age = static_cast<int16_t>(ageOf(flags) + 1);
        if (age > pt_longest_life || p[b + pt_y] > bottom || p[b + pt_y] < kFar || p[b + pt_x] > right ||
            p[b + pt_x] < kFar) {
            p[b + pt_flags] = flags & ~pt_alive;
        } else {
            p[b + pt_flags] = (flags & ~pt_age_mask) | (age & pt_age_mask);
            const int32_t fc = p[b + pt_frame_colour];
            p[b + pt_frame_colour] = (fc & ~0xffff) | (((fc & 0xffff) + 1) % 4);
        }
        p[b + pt_ax] = (p[b + pt_ax] + 20 * tx) >> 1;
        p[b + pt_ay] = (p[b + pt_ay] - 20 * ty) >> 1;
    }
}

void HookCanvas::render_particles(const JavaPtr<Graphics>& g) {
    if (particles == nullptr || twinkle_ids == nullptr) return;
    JArray<int32_t>& p = *particles;
    for (int32_t i = 0; i < MAX_PARTICLES; i++) {
        const int32_t b = i * kRecord;
        if (p[b + pt_flags] >= 0) continue;
        const int32_t colour = static_cast<uint32_t>(p[b + pt_frame_colour]) >> 16;
        const int32_t frame = p[b + pt_frame_colour] & 0xffff;
        if (colour >= twinkle_ids->length || (*twinkle_ids)[colour] == nullptr ||
            frame >= (*twinkle_ids)[colour]->length)
            continue;
        drawImageIDNoTransform(g, (*(*twinkle_ids)[colour])[frame], 0, p[b + pt_x] >> 16, p[b + pt_y] >> 16,
                               Graphics::HCENTER | Graphics::VCENTER);
    }
}

int32_t HookCanvas::count_particles() {
    if (particles == nullptr) return 0;
    int32_t n = 0;
    for (int32_t i = 0; i < MAX_PARTICLES; i++)
        if ((*particles)[i * kRecord + pt_flags] < 0) n++;
    return n;
}

void HookCanvas::reset_particles() {
    if (particles == nullptr) return;
    for (int32_t i = 0; i < MAX_PARTICLES; i++) (*particles)[i * kRecord + pt_flags] = 0;
}

void HookCanvas::prepForSteering() {
    try {
        JavaPtr<JArray<JavaPtr<SensorInfo>>> infos =
            SensorManager::findSensors(jnew<String>("plane_angle"), SensorInfo::CONTEXT_TYPE_DEVICE);
        if (infos == nullptr || infos->length == 0) return;
        tilt_sensor =
            jcast<SensorConnection>(javax::microedition::io::Connector::open((*infos)[0]->getUrl()));
        if (tilt_sensor != nullptr)
            tilt_sensor->setDataListener(JavaPtr<HookCanvas>(this), 0, 50, false, false, false);
    } catch (...) {
        // The game runs without steering.
    }
}

void HookCanvas::dataReceived(const JavaPtr<SensorConnection>&, const JavaPtr<JArray<JavaPtr<Data>>>& data,
                              bool) {
    if (data == nullptr || data->length == 0) return;
    int32_t roll = 0;
    int32_t pitch = 0;
    bool rollSeen = false;
    bool pitchSeen = false;
    for (int32_t i = 0; i < data->length; i++) {
        const JavaPtr<Data>& d = (*data)[i];
        if (d == nullptr || d->getChannelInfo() == nullptr) continue;
        JavaPtr<JArray<double>> values = d->getDoubleValues();
        // A channel without samples has no newest value to read.
        if (values == nullptr || values->length == 0) continue;
        const double newest = (*values)[values->length - 1] * 1024.0;
        // A reading outside the int range (or not a number) has no int value: skip it.
        if (!(newest > -2147483648.0 && newest < 2147483648.0)) continue;
        const int32_t v = static_cast<int32_t>(newest);
        const std::string name = toUtf8(d->getChannelInfo()->getName());
        if (name == "roll") {
            roll = v;
            rollSeen = true;
        } else if (name == "pitch") {
            pitch = v;
            pitchSeen = true;
        }
    }
    if (rollSeen && pitchSeen && (roll != 0 || pitch != 0)) {
        tilt_x.store(roll, std::memory_order_relaxed);
        tilt_y.store(pitch, std::memory_order_relaxed);
    }
}
