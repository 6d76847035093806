// Pointer and key events latched by the frame loop on the test clock, the key rules (table, pause
// key, soft keys, keypress buffer and cheat codes), releaseAllKeys and the pointer hit tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/String.h"
#include "tests/engine/ServiceCanvas.h"

namespace enginetest {
namespace {

using H = HookCanvas;

// Key codes of the test's key table.
constexpr int kFireKey = 100;
constexpr int kPauseKey = 101;
constexpr int kBackSoftKey = 102;
constexpr int kFwrdSoftKey = 103;
constexpr int kUpFireKey = 104;  // two flags on one key
constexpr int kUnmappedKey = 999;

// Keys '0' to '9' give the digit flags, then the keys above.
JavaPtr<JArray<int32_t>> keyTable() {
    std::vector<int32_t> pairs;
    for (int d = 0; d <= 9; ++d) {
        pairs.push_back('0' + d);
        pairs.push_back(1 << d);
    }
    const int32_t more[] = {kFireKey,     H::KEYFLAG_FIRE,
                            kPauseKey,    H::KEYFLAG_PAUSE_KEY,
                            kBackSoftKey, H::KEYFLAG_SOFTKEYBACK,
                            kFwrdSoftKey, H::KEYFLAG_SOFTKEYFWRD,
                            kUpFireKey,   H::KEYFLAG_UP | H::KEYFLAG_FIRE};
    pairs.insert(pairs.end(), std::begin(more), std::end(more));
    auto table = jnew<JArray<int32_t>>(static_cast<int>(pairs.size()));
    for (size_t i = 0; i < pairs.size(); ++i) table->data[i] = pairs[i];
    return table;
}

struct Event {
    enum Kind { Down, Up, Drag, KeyDown, KeyUp } kind;
    int a = 0;
    int b = 0;
};

// Events before a step, then what that step must see.
struct Step {
    std::vector<Event> events;
    LatchedInput want;
};

struct LatchCase {
    const char* name;
    std::vector<Step> steps;
};

using InputLatch = ServiceCanvasFixture;

TEST_F(InputLatch, EventsReachTheStepsAsTheLatchGivesThem) {
    const int32_t F = H::KEYFLAG_FIRE;
    const LatchCase cases[] = {
        {"down and up between two steps is seen once",
         {{{{Event::Down, 5, 6}, {Event::Up, 7, 8}}, {true, true, 0, 0, 7, 8}},
          {{}, {false, false, 0, 0, 7, 8}}}},
        {"held over steps",
         {{{{Event::Down, 1, 2}}, {true, true, 0, 0, 1, 2}},
          {{}, {false, true, 0, 0, 1, 2}},
          {{}, {false, true, 0, 0, 1, 2}},
          {{{Event::Up, 3, 4}}, {false, false, 0, 0, 3, 4}}}},
        {"a drag while up leaves the position, a drag while down moves it",
         {{{{Event::Down, 1, 1}, {Event::Up, 2, 2}, {Event::Drag, 50, 50}}, {true, true, 0, 0, 2, 2}},
          {{{Event::Down, 10, 10}, {Event::Drag, 11, 12}}, {true, true, 0, 0, 11, 12}},
          {{{Event::Up, 13, 14}, {Event::Drag, 60, 60}}, {false, false, 0, 0, 13, 14}}}},
        {"key down and up between two steps",
         {{{{Event::KeyDown, kFireKey}, {Event::KeyUp, kFireKey}}, {false, false, F, F, 0, 0}},
          {{}, {false, false, 0, 0, 0, 0}}}},
        {"key held over steps",
         {{{{Event::KeyDown, kUpFireKey}}, {false, false, F | H::KEYFLAG_UP, F | H::KEYFLAG_UP, 0, 0}},
          {{}, {false, false, 0, F | H::KEYFLAG_UP, 0, 0}},
          {{{Event::KeyUp, kUpFireKey}}, {false, false, 0, 0, 0, 0}}}},
        {"an unmapped key does nothing", {{{{Event::KeyDown, kUnmappedKey}}, {false, false, 0, 0, 0, 0}}}},
    };
    for (const LatchCase& c : cases) {
        resetInputStatics();
        H::internal_key_mappings = keyTable();
        clockNow.store(1000);
        H::last_fixed_update_time_ms.store(0);
        H::last_variable_update_time_ms.store(0);
        start(1);
        service->takeLatched();
        for (size_t i = 0; i < c.steps.size(); ++i) {
            for (const Event& e : c.steps[i].events) {
                switch (e.kind) {
                    case Event::Down:
                        service->pointerPressed(e.a, e.b);
                        break;
                    case Event::Up:
                        service->pointerReleased(e.a, e.b);
                        break;
                    case Event::Drag:
                        service->pointerDragged(e.a, e.b);
                        break;
                    case Event::KeyDown:
                        service->keyPressed(e.a);
                        break;
                    case Event::KeyUp:
                        service->keyReleased(e.a);
                        break;
                }
            }
            clockNow.fetch_add(33);
            service->runOnce();
            std::vector<LatchedInput> seen = service->takeLatched();
            ASSERT_EQ(seen.size(), 1u) << c.name << ", step " << i;
            const LatchedInput& want = c.steps[i].want;
            EXPECT_EQ(seen[0].pointerPressed, want.pointerPressed) << c.name << ", step " << i;
            EXPECT_EQ(seen[0].pointerRepeated, want.pointerRepeated) << c.name << ", step " << i;
            EXPECT_EQ(seen[0].keysPressed, want.keysPressed) << c.name << ", step " << i;
            EXPECT_EQ(seen[0].keysRepeated, want.keysRepeated) << c.name << ", step " << i;
            EXPECT_EQ(seen[0].x, want.x) << c.name << ", step " << i;
            EXPECT_EQ(seen[0].y, want.y) << c.name << ", step " << i;
        }
        EXPECT_EQ(H::internal_keypress_buffer.load(), 0) << c.name << ": no digit typed";
    }
}

TEST_F(InputLatch, KeysBeforeTheTableDoNothing) {
    service->keyPressed('1');
    service->keyPressed(kFireKey);
    EXPECT_EQ(service->findKeyBitflag('1'), -1);
    EXPECT_EQ(H::internal_keys_pressed.load(), 0);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 0);
    H::internal_key_mappings = jnew<JArray<int32_t>>(0);
    service->keyPressed('1');
    EXPECT_EQ(H::internal_keys_pressed.load(), 0);
    H::internal_key_mappings = keyTable();
    EXPECT_EQ(service->findKeyBitflag('7'), H::KEYFLAG_7);
    EXPECT_EQ(service->findKeyBitflag(kUnmappedKey), -1);
}

TEST_F(InputLatch, PauseKeyPausesAndIsNotLatched) {
    H::internal_key_mappings = keyTable();
    start(1);
    ASSERT_EQ(H::app_status.load() & H::APPSTATUSFLAG_PAUSED, 0);
    service->keyReleased(kPauseKey);
    EXPECT_EQ(H::app_status.load() & H::APPSTATUSFLAG_PAUSED, 0) << "a release does nothing";
    service->keyPressed(kPauseKey);
    EXPECT_EQ(H::app_status.load(), H::APPSTATUSFLAG_PAUSED | H::APPSTATUSFLAG_INTERRUPTED_BY_UNKNOWN);
    EXPECT_EQ(service->soundUnloads.load(), 1);
    EXPECT_EQ(H::internal_keys_pressed.load(), 0);
    EXPECT_EQ(H::internal_keys_repeated.load(), 0);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 0);
}

TEST_F(InputLatch, SoftKeyWithoutLabelIsIgnoredEntirely) {
    H::internal_key_mappings = keyTable();
    service->keyPressed('3');
    service->keyPressed(kBackSoftKey);
    service->keyPressed(kFwrdSoftKey);
    EXPECT_EQ(H::internal_keys_pressed.load(), H::KEYFLAG_3);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 3);

    service->setSoftkeys(jnew<java::lang::String>("Back"), nullptr);
    service->keyPressed(kBackSoftKey);
    service->keyPressed(kFwrdSoftKey);
    EXPECT_EQ(H::internal_keys_pressed.load(), H::KEYFLAG_3 | H::KEYFLAG_SOFTKEYBACK);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 3) << "a soft key has no low flag and adds no key index";
}

TEST_F(InputLatch, CheatCodesMatchTheLastKeysAndAStateSwitchClearsThem) {
    H::internal_key_mappings = keyTable();
    auto type = [&](const std::string& digits) {
        for (char d : digits) service->keyPressed(d);
    };
    type("0873519");
    EXPECT_EQ(H::cheats_triggered.load(), 1) << "the first code, typed after other keys";
    EXPECT_EQ(H::internal_keypress_buffer.load(), 0x0873519);
    type("24680");
    EXPECT_EQ(H::cheats_triggered.load(), 3) << "the second code too; the first stays set";
    type("123456789");
    EXPECT_EQ(H::internal_keypress_buffer.load(), 0x23456789) << "the buffer keeps the last eight keys";

    service->changeGameStateTo(2);
    EXPECT_EQ(H::cheats_triggered.load(), 0);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 0);
    type("7351");
    EXPECT_EQ(H::cheats_triggered.load(), 0) << "a code typed in part does not match";
    service->keyPressed(kFireKey);
    service->keyPressed('9');
    EXPECT_EQ(H::cheats_triggered.load(), 1) << "fire has no key index, so it does not break a code";
}

TEST_F(InputLatch, ReleaseAllKeysKeepsThePositionAndTheBuffer) {
    H::internal_key_mappings = keyTable();
    service->keyPressed('5');
    service->pointerPressed(40, 41);
    H::keys_pressed = 1;
    H::keys_repeated = 1;
    H::pointer_pressed = true;
    H::pointer_repeated = true;
    H::regions_pressed = 1;
    H::regions_repeated = 1;
    H::internal_regions_pressed.store(1);
    H::internal_regions_repeated.store(1);
    service->releaseAllKeys();
    EXPECT_EQ(H::internal_keys_pressed.load(), 0);
    EXPECT_EQ(H::internal_keys_repeated.load(), 0);
    EXPECT_FALSE(H::internal_pointer_pressed.load());
    EXPECT_FALSE(H::internal_pointer_repeated.load());
    EXPECT_EQ(H::internal_regions_pressed.load(), 0);
    EXPECT_EQ(H::internal_regions_repeated.load(), 0);
    EXPECT_EQ(H::keys_pressed.load(), 0);
    EXPECT_EQ(H::keys_repeated.load(), 0);
    EXPECT_FALSE(H::pointer_pressed.load());
    EXPECT_FALSE(H::pointer_repeated.load());
    EXPECT_EQ(H::regions_pressed.load(), 0);
    EXPECT_EQ(H::regions_repeated.load(), 0);
    EXPECT_EQ(H::pointer_x.load(), 40);
    EXPECT_EQ(H::pointer_y.load(), 41);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 5);
}

TEST_F(InputLatch, PointerOverAreaIncludesBothEdges) {
    struct Case {
        int px, py, x, y, w, h;
        bool want;
    };
    const Case cases[] = {
        {10, 10, 10, 10, 0, 0, true},    {11, 10, 10, 10, 0, 0, false},  {10, 9, 10, 10, 0, 0, false},
        {9, 10, 10, 10, 0, 0, false},    {10, 11, 10, 10, 0, 0, false},  {30, 25, 10, 10, 20, 15, true},
        {31, 25, 10, 10, 20, 15, false}, {10, 10, 10, 10, -1, 5, false}, {10, 10, 10, 10, 5, -1, false},
        {5, 5, 10, 10, -10, -10, false},
    };
    for (const Case& c : cases) {
        H::pointer_x.store(c.px);
        H::pointer_y.store(c.py);
        EXPECT_EQ(service->pointerOverArea(c.x, c.y, c.w, c.h), c.want)
            << "pointer (" << c.px << ", " << c.py << ") over " << c.x << ", " << c.y << ", " << c.w << " x "
            << c.h;
    }
}

TEST_F(InputLatch, PointerOverImageAsksSizesOnlyWhenNeeded) {
    service->imageWidth = 20;
    service->imageHeight = 10;
    const int32_t W = H::IMAGEDIMENSION_WIDTH;
    const int32_t Hh = H::IMAGEDIMENSION_HEIGHT;
    struct Case {
        int px, py;
        bool want;
        std::vector<int32_t> asked;
    };
    const std::vector<Case> cases = {
        {99, 105, false, {}},        // left of the image: nothing asked
        {121, 105, false, {W}},      // right of it
        {110, 99, false, {W}},       // above it
        {110, 111, false, {W, Hh}},  // below it
        {100, 100, true, {W, Hh}},   // top-left corner
        {120, 110, true, {W, Hh}},   // bottom-right corner
    };
    for (const Case& c : cases) {
        service->dimensionQuestions.clear();
        H::pointer_x.store(c.px);
        H::pointer_y.store(c.py);
        EXPECT_EQ(service->pointerOverImage(7, 100, 100), c.want) << c.px << ", " << c.py;
        EXPECT_EQ(service->dimensionQuestions, c.asked) << c.px << ", " << c.py;
    }
}

TEST_F(InputLatch, TouchRegionsAreConfiguredAway) {
    EXPECT_EQ(service->setTouchscreenRegion(0, 0, 10, 10, H::KEYFLAG_FIRE), -1);
    EXPECT_EQ(service->setTouchscreenRegion(-5, 7, -1, 2, 0), -1);
    service->clearTouchscreenRegion(0);
    EXPECT_EQ(H::internal_regions_pressed.load(), 0);
}

}  // namespace
}  // namespace enginetest
