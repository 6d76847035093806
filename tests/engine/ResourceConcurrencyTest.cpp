// The loading thread and the canvas main thread load images and blocks at once: every load gets its
// own slot, repeated loads agree on one, and pack counts add up.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "tests/engine/ResourceFixtures.h"
#include "tools/ImageResourceWriter.h"

namespace enginetest {
namespace {

using restools::ImageResourceWriter;
using restools::PixelEncoding;
using restools::ResourceMapWriter;

class ResourceConcurrency : public ResourceFixture {};

TEST_F(ResourceConcurrency, ThreadsLoadingAtOnceTakeDistinctSlots) {
    constexpr int kImages = 40;
    std::string error;
    ResourceMapWriter map;
    int block = map.addBlock(0);
    std::vector<int> ids;
    for (int i = 0; i < kImages; ++i) {
        ids.push_back(map.addPackedResource(
            block, ImageResourceWriter::fullColour(2, 2, std::vector<uint32_t>(4, 0xFF000000u + i),
                                                   PixelEncoding::Plain, nullptr, &error)));
    }
    install(map);

    std::vector<int> slots[2];
    auto worker = [&](int t) {
        canvas->loadResourceBlock(block);
        // Both threads load every image, in opposite orders.
        for (int i = 0; i < kImages; ++i) {
            int id = ids[t == 0 ? i : kImages - 1 - i];
            slots[t].push_back(canvas->loadImageID(id, -1, 1, false));
        }
    };
    std::thread other(worker, 1);
    worker(0);
    other.join();

    EXPECT_EQ(HookCanvas::times_resource_pack_reference->data[0], 2);
    std::set<int> distinct(slots[0].begin(), slots[0].end());
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kImages));
    for (int i = 0; i < kImages; ++i) {
        EXPECT_EQ(slots[0][i], slots[1][kImages - 1 - i]) << "image " << i;
        EXPECT_EQ(pixelsOf(canvas->image_cache->data[slots[0][i]]->data[0])[0], 0xFF000000u + i);
    }
    EXPECT_EQ(slotsInUse(), kImages);
}

}  // namespace
}  // namespace enginetest
