#include "tests/support/ClassRegistry.h"

#include <gtest/gtest.h>

#include <map>

namespace testsupport {

std::vector<RegisteredClass>& classRegistry() {
    static std::vector<RegisteredClass> registry;
    return registry;
}

}  // namespace testsupport

namespace {

TEST(ClassRegistry, TypeIdsAreDistinctAndClassesNameThemselves) {
    std::map<int32_t, std::string> seen;
    for (const auto& entry : testsupport::classRegistry()) {
        auto [it, inserted] = seen.emplace(entry.typeId, entry.className);
        EXPECT_TRUE(inserted || it->second == entry.className)
            << entry.className << " shares its type id with " << it->second;
        if (entry.instanceClassName) {
            EXPECT_EQ(entry.instanceClassName(), entry.className);
        }
    }
}

}  // namespace
