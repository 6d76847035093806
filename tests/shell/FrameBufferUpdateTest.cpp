#include "shell/FrameBufferUpdate.h"

#include <gtest/gtest.h>

#include "platform/host/Host.h"
#include "tests/shell/CanvasFixtures.h"

namespace {

class FrameBufferUpdateTest : public shelltest::CanvasFixture {};

TEST_F(FrameBufferUpdateTest, HandsTheOutputSizeOfTheScreenBufferToTheHost) {
    _frameBufferUpdate();
    // Turned: the same buffer, read as 6 x 8.
    _outputWidth.store(kHeight);
    _outputHeight.store(kWidth);
    _frameBufferUpdate();
    const std::vector<shelltest::FrameRecordingHost::Frame> frames = host.frames();
    ASSERT_EQ(frames.size(), 2u);
    for (const auto& frame : frames) EXPECT_EQ(frame.source, screenBuffer.data());
    EXPECT_EQ(frames[0].width, kWidth);
    EXPECT_EQ(frames[0].height, kHeight);
    EXPECT_EQ(frames[0].stride, kWidth);
    EXPECT_EQ(frames[1].width, kHeight);
    EXPECT_EQ(frames[1].height, kWidth);
    EXPECT_EQ(frames[1].stride, kHeight);
    EXPECT_EQ(_frameBufferUpdatesDropped.load(), 0u);
}

TEST_F(FrameBufferUpdateTest, NothingIsHandedOverWhileTheGLViewIsShown) {
    _in2dmode.store(false);
    _frameBufferUpdate();
    EXPECT_EQ(host.frameCount(), 0u);
    EXPECT_EQ(_frameBufferUpdatesDropped.load(), 0u) << "by design, not dropped";
}

// A flush that cannot be shown is counted, and reads nothing outside the buffer.
TEST_F(FrameBufferUpdateTest, FlushesThatCannotBeHandedOverAreDropped) {
    struct Case {
        const char* name;
        bool host;
        bool buffer;
        int width;
        int height;
    };
    for (const Case& c : {Case{"no host", false, true, kWidth, kHeight},
                          Case{"no screen buffer", true, false, kWidth, kHeight},
                          // Set apart from a turn: larger than the buffer.
                          Case{"larger than the buffer", true, true, kWidth, kWidth},
                          Case{"no output", true, true, 0, kHeight}}) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        if (!c.host) platform::setCurrentHost(nullptr);
        if (!c.buffer) _frameBufferPixels.store(nullptr);
        _outputWidth.store(c.width);
        _outputHeight.store(c.height);
        _frameBufferUpdate();
        EXPECT_EQ(host.frameCount(), 0u);
        EXPECT_EQ(_frameBufferUpdatesDropped.load(), 1u);
        platform::setCurrentHost(&host);
    }
}

}  // namespace
