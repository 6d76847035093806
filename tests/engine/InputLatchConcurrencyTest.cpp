// Taps and key presses on one thread while update steps latch them on another: every press is seen
// by exactly one step, and the position a step reads is never torn from its press.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/engine/ServiceCanvas.h"
#include "tests/support/Eventually.h"

namespace enginetest {
namespace {

using H = HookCanvas;
using InputLatchConcurrency = ServiceCanvasFixture;

TEST_F(InputLatchConcurrency, NoTapOrKeyPressIsLost) {
    constexpr int kTaps = 300;
    auto table = jnew<JArray<int32_t>>(2);
    table->data[0] = 53;
    table->data[1] = H::KEYFLAG_5;
    H::internal_key_mappings = table;
    start(1);

    std::atomic<bool> done{false};
    std::atomic<bool> lost{false};
    std::thread input([&] {
        for (int i = 1; i <= kTaps; ++i) {
            service->pointerPressed(i, i);
            service->keyPressed(53);
            service->pointerDragged(i, i);
            service->pointerReleased(i, i);
            service->keyReleased(53);
            // The next tap waits until a step has taken this one, so each tap is counted alone.
            if (!testsupport::eventually([] {
                    return !H::internal_pointer_pressed.load() && H::internal_keys_pressed.load() == 0;
                })) {
                lost.store(true);
                break;
            }
        }
        done.store(true);
    });
    int pointerPresses = 0;
    int keyPresses = 0;
    while (!done.load()) {
        clockNow.fetch_add(33);
        service->runOnce();
        for (const LatchedInput& seen : service->takeLatched()) {
            if (seen.pointerPressed) {
                ++pointerPresses;
                EXPECT_TRUE(seen.pointerRepeated);
                EXPECT_GT(seen.x, 0) << "the position is stored before the press";
            }
            if (seen.keysPressed == H::KEYFLAG_5) ++keyPresses;
        }
    }
    input.join();
    clockNow.fetch_add(33);
    service->runOnce();
    for (const LatchedInput& seen : service->takeLatched()) {
        pointerPresses += seen.pointerPressed ? 1 : 0;
        keyPresses += seen.keysPressed == H::KEYFLAG_5 ? 1 : 0;
    }
    EXPECT_FALSE(lost.load());
    EXPECT_EQ(pointerPresses, kTaps);
    EXPECT_EQ(keyPresses, kTaps);
    EXPECT_EQ(H::internal_keypress_buffer.load(), 0x55555555);
}

}  // namespace
}  // namespace enginetest
