#include "platform/host/FrameMailbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::FrameMailbox;

std::vector<uint32_t> uniformFrame(int width, int height, uint32_t word) {
    return std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height), word);
}

TEST(FrameMailbox, NothingToShowBeforeTheFirstFrame) {
    FrameMailbox mailbox;
    EXPECT_FALSE(mailbox.takeLatest());
    EXPECT_EQ(mailbox.front().pixels, nullptr);
    EXPECT_EQ(mailbox.front().sequence, 0u);
}

TEST(FrameMailbox, LatestFrameWinsAndOnlyTheFirstUnshownFrameWakes) {
    FrameMailbox mailbox;
    const auto red = uniformFrame(4, 3, 0xFF0000FF);
    const auto green = uniformFrame(4, 3, 0xFF00FF00);
    const auto blue = uniformFrame(4, 3, 0xFFFF0000);
    EXPECT_TRUE(mailbox.publish(red.data(), 4, 3, 4));
    EXPECT_FALSE(mailbox.publish(green.data(), 4, 3, 4));
    EXPECT_FALSE(mailbox.publish(blue.data(), 4, 3, 4));

    ASSERT_TRUE(mailbox.takeLatest());
    const auto shown = mailbox.front();
    EXPECT_EQ(shown.sequence, 3u);
    EXPECT_EQ(std::vector<uint32_t>(shown.pixels, shown.pixels + 12), blue);
    EXPECT_FALSE(mailbox.takeLatest());
    EXPECT_EQ(mailbox.front().sequence, 3u);

    // Shown, so the next frame has to wake the main thread again.
    EXPECT_TRUE(mailbox.publish(red.data(), 4, 3, 4));
    ASSERT_TRUE(mailbox.takeLatest());
    EXPECT_EQ(mailbox.front().pixels[0], 0xFF0000FFu);
    EXPECT_EQ(mailbox.publishedFrames(), 4u);
}

TEST(FrameMailbox, ShownFrameStaysUnchangedWhileLaterFramesArrive) {
    FrameMailbox mailbox;
    const auto first = uniformFrame(2, 2, 1);
    ASSERT_TRUE(mailbox.publish(first.data(), 2, 2, 2));
    ASSERT_TRUE(mailbox.takeLatest());
    const uint32_t* shown = mailbox.front().pixels;
    // Every buffer but the shown one is written many times over.
    for (uint32_t word = 2; word < 10; ++word) {
        const auto next = uniformFrame(2, 2, word);
        (void)mailbox.publish(next.data(), 2, 2, 2);
        EXPECT_EQ(std::vector<uint32_t>(shown, shown + 4), first);
    }
    ASSERT_TRUE(mailbox.takeLatest());
    EXPECT_EQ(mailbox.front().pixels[3], 9u);
}

TEST(FrameMailbox, RowsAreTakenStrideApartAndStoredWithoutGaps) {
    FrameMailbox mailbox;
    // Two rows of three pixels in a buffer five words wide; the padding must not be copied.
    const std::vector<uint32_t> source = {1, 2, 3, 99, 99, 4, 5, 6, 99, 99};
    ASSERT_TRUE(mailbox.publish(source.data(), 3, 2, 5));
    ASSERT_TRUE(mailbox.takeLatest());
    const auto shown = mailbox.front();
    EXPECT_EQ(shown.width, 3);
    EXPECT_EQ(shown.height, 2);
    EXPECT_EQ(std::vector<uint32_t>(shown.pixels, shown.pixels + 6),
              (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
}

TEST(FrameMailbox, FramesChangeSizeWhenTheScreenTurns) {
    FrameMailbox mailbox;
    const auto portrait = uniformFrame(2, 6, 7);
    const auto landscape = uniformFrame(6, 2, 8);
    const auto larger = uniformFrame(8, 8, 9);
    for (const auto& [frame, width, height] : {std::tuple{&portrait, 2, 6}, std::tuple{&landscape, 6, 2},
                                               std::tuple{&larger, 8, 8}, std::tuple{&portrait, 2, 6}}) {
        (void)mailbox.publish(frame->data(), width, height, width);
        ASSERT_TRUE(mailbox.takeLatest());
        const auto shown = mailbox.front();
        EXPECT_EQ(shown.width, width);
        EXPECT_EQ(shown.height, height);
        EXPECT_EQ(std::vector<uint32_t>(shown.pixels, shown.pixels + frame->size()), *frame);
    }
}

TEST(FrameMailbox, ExchangedStorageHoldsTheShownFrameAndStorageOfAnySizeCarriesLaterFrames) {
    FrameMailbox mailbox;
    const auto first = uniformFrame(4, 3, 1);
    ASSERT_TRUE(mailbox.publish(first.data(), 4, 3, 4));
    ASSERT_TRUE(mailbox.takeLatest());
    std::vector<uint32_t> kept;
    mailbox.exchangeFrontPixels(kept);
    ASSERT_GE(kept.size(), first.size());
    EXPECT_EQ(std::vector<uint32_t>(kept.begin(), kept.begin() + 12), first);
    EXPECT_EQ(mailbox.front().pixels, nullptr) << "the shown storage was given away";
    EXPECT_EQ(mailbox.front().sequence, 0u);

    // An empty and then a short storage go round with the others; every buffer is written over.
    for (uint32_t word = 2; word < 12; ++word) {
        const auto next = uniformFrame(4, 3, word);
        (void)mailbox.publish(next.data(), 4, 3, 4);
        ASSERT_TRUE(mailbox.takeLatest());
        const auto shown = mailbox.front();
        EXPECT_EQ(shown.sequence, word);
        ASSERT_NE(shown.pixels, nullptr);
        EXPECT_EQ(std::vector<uint32_t>(shown.pixels, shown.pixels + 12), next) << "frame " << word;
        std::vector<uint32_t> given(word % 3 == 0 ? 2 : 40, 0xDEAD);
        mailbox.exchangeFrontPixels(given);
        EXPECT_EQ(std::vector<uint32_t>(given.begin(), given.begin() + 12), next) << "frame " << word;
    }
}

TEST(FrameMailbox, MalformedFramesAreRefusedAndCounted) {
    FrameMailbox mailbox;
    const auto frame = uniformFrame(4, 4, 5);
    struct Case {
        const char* name;
        const uint32_t* pixels;
        int width;
        int height;
        int stride;
    };
    const Case cases[] = {
        {"null pixels", nullptr, 4, 4, 4},
        {"zero width", frame.data(), 0, 4, 4},
        {"negative height", frame.data(), 4, -1, 4},
        {"stride below width", frame.data(), 4, 4, 3},
        {"beyond the image limits", frame.data(), 1 << 20, 1 << 20, 1 << 20},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(mailbox.publish(c.pixels, c.width, c.height, c.stride)) << c.name;
    }
    EXPECT_EQ(mailbox.refusedFrames(), std::size(cases));
    EXPECT_EQ(mailbox.publishedFrames(), 0u);
    EXPECT_FALSE(mailbox.takeLatest());
}

}  // namespace
