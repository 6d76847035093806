// Random sequences of changes, reads, enumerations, reopenings, restarts and injected I/O errors,
// checked against a plain model of the store (the same driver the fuzz target runs).
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <vector>

#include "tests/rms/StoreFiles.h"
#include "tests/rms/StoreModel.h"

namespace {

class StoreModel : public testsupport::StoreFixture {
protected:
    StoreModel() : StoreFixture(true) {}
};

TEST_F(StoreModel, RandomSequencesAgreeWithTheModel) {
    testsupport::NoHangGuard guard(300);
    std::mt19937 random(7031);
    testsupport::StoreModelRun model;
    for (int sequence = 0; sequence < 150; ++sequence) {
        std::vector<uint8_t> bytes(400);
        for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
        std::filesystem::remove_all(storeDirectory());
        std::filesystem::create_directories(storeDirectory());
        ASSERT_EQ(model.run(bytes.data(), bytes.size()), "") << "sequence " << sequence;
    }
}

}  // namespace
