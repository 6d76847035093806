// The resource map, packs counted by reference, loose files and the typed getters, against bundles
// written with the resource map writer; corrupt and truncated maps and files fail without harm.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "library/DataInputStream.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IOException.h"
#include "runtime/NullPointerException.h"
#include "tests/engine/ResourceFixtures.h"

namespace enginetest {
namespace {

using java::lang::String;
using restools::ResourceMapWriter;

class ResourceMap : public ResourceFixture {};

std::string text(const JavaPtr<String>& s) {
    return s ? std::string(s->val() ? s->val() : "") : "<null>";
}

TEST_F(ResourceMap, MapFillsLanguagesKeysAndMenus) {
    ResourceMapWriter map;
    map.setLanguages({"en", "f", "", "de"});
    map.addKeyMapping(-7, 0x80000001u);
    map.addKeyMapping(35, 4);
    map.addMenuDefinition({1, 2, 3});
    map.addMenuDefinition({});
    map.addMenuDefinition({-5});
    install(map);

    Bytes languages = toBytes(HookCanvas::languages);
    EXPECT_EQ(languages, (Bytes{'e', 'n', 'f', 0, 0, 0, 'd', 'e', 0, 0}));
    ASSERT_TRUE(HookCanvas::internal_key_mappings);
    ASSERT_EQ(HookCanvas::internal_key_mappings->length, 4);
    EXPECT_EQ(HookCanvas::internal_key_mappings->data[0], -7);
    EXPECT_EQ(HookCanvas::internal_key_mappings->data[1], static_cast<int32_t>(0x80000001u));
    EXPECT_EQ(HookCanvas::internal_key_mappings->data[2], 35);
    EXPECT_EQ(HookCanvas::internal_key_mappings->data[3], 4);
    // A definition of no values is a null entry; the next follows its 4-byte count directly.
    ASSERT_TRUE(canvas->menu_definitions);
    ASSERT_EQ(canvas->menu_definitions->length, 3);
    ASSERT_TRUE(canvas->menu_definitions->data[0]);
    EXPECT_EQ(canvas->menu_definitions->data[0]->length, 3);
    EXPECT_EQ(canvas->menu_definitions->data[0]->data[2], 3);
    EXPECT_FALSE(canvas->menu_definitions->data[1]);
    ASSERT_TRUE(canvas->menu_definitions->data[2]);
    EXPECT_EQ(canvas->menu_definitions->data[2]->data[0], -5);
    EXPECT_EQ(HookCanvas::resource_packs->length, 0);
}

TEST_F(ResourceMap, MapWithoutKeysOrMenusKeepsTheEarlierTables) {
    JavaPtr<JArray<int32_t>> keys = jnewArray<int32_t>(2);
    JavaPtr<JArray<JavaPtr<JArray<int32_t>>>> menus = jnewArray<JavaPtr<JArray<int32_t>>>(1);
    HookCanvas::internal_key_mappings = keys;
    canvas->menu_definitions = menus;
    install(ResourceMapWriter());
    EXPECT_EQ(HookCanvas::internal_key_mappings.get(), keys.get());
    EXPECT_EQ(canvas->menu_definitions.get(), menus.get());
}

TEST_F(ResourceMap, PackedAndLooseResourcesReadTheirBytes) {
    ResourceMapWriter map;
    int block0 = map.addBlock(0);
    int block1 = map.addBlock(0);
    int loneBlock = map.addBlock(-1);
    int a = map.addPackedResource(block0, {1, 2, 3});
    int b = map.addPackedResource(block1, {4, 5});
    int c = map.addPackedResource(block1, {6});
    int loose = map.addLooseResource({7, 8, 9});
    int whole = map.addLooseResource({10, 11, 12, 13}, true);
    install(map);

    EXPECT_EQ(canvas->getBlockOfResource(b), block1);
    EXPECT_EQ(canvas->getBlockOfResource(loose), -1);
    // Packed resources need their pack resident; loose ones need nothing.
    EXPECT_FALSE(canvas->getResourceByteArray(a));
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(loose)), (Bytes{7, 8, 9}));
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(whole)), (Bytes{10, 11, 12, 13}));

    canvas->loadResourceBlock(loneBlock);
    EXPECT_FALSE(HookCanvas::resource_packs->data[0]);
    canvas->loadResourceBlock(block1);
    ASSERT_TRUE(HookCanvas::resource_packs->data[0]);
    // Both blocks' pack is read once, as long as the block that ends furthest.
    EXPECT_EQ(HookCanvas::resource_packs->data[0]->length, 6);
    EXPECT_EQ(HookCanvas::times_resource_pack_reference->data[0], 1);
    canvas->loadResourceBlock(block0);
    EXPECT_EQ(HookCanvas::times_resource_pack_reference->data[0], 2);
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(a)), (Bytes{1, 2, 3}));
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(b)), (Bytes{4, 5}));
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(c)), (Bytes{6}));
    // Every call answers a fresh copy.
    JavaPtr<JArray<signed char>> first = canvas->getResourceByteArray(a);
    first->data[0] = 99;
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(a)), (Bytes{1, 2, 3}));
}

TEST_F(ResourceMap, PacksAreFreedOnlyAtCountZeroAndCountPast127) {
    ResourceMapWriter map;
    int block = map.addBlock(0);
    int id = map.addPackedResource(block, {42});
    install(map);
    for (int i = 0; i < 200; ++i) canvas->loadResourceBlock(block);
    EXPECT_EQ(HookCanvas::times_resource_pack_reference->data[0], 200);
    for (int i = 0; i < 199; ++i) canvas->unloadResourceBlock(block);
    canvas->unloadUnusedResourcePacks();
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(id)), Bytes{42});
    canvas->unloadResourceBlock(block);
    canvas->unloadUnusedResourcePacks();
    EXPECT_FALSE(HookCanvas::resource_packs->data[0]);
    EXPECT_FALSE(canvas->getResourceByteArray(id));
}

TEST_F(ResourceMap, TypedGettersReadBigEndianElements) {
    ResourceMapWriter map;
    int five = map.addLooseResource({0x12, 0x34, 0x80, 0x01, 0xAA});
    int fffe = map.addLooseResource({0xFF, 0xFE});
    int longs = map.addLooseResource({0, 0, 0, 1, 0, 0, 0, 2});
    int ints = map.addLooseResource({0xFF, 0xFF, 0xFF, 0xFE, 0, 0, 1, 0, 9});
    int floats = map.addLooseResource({0x3F, 0xC0, 0, 0});
    int doubles = map.addLooseResource({0xC0, 0x04, 0, 0, 0, 0, 0, 0});
    install(map);

    auto shorts = canvas->getResourceShortArray(five);
    ASSERT_EQ(shorts->length, 2);
    EXPECT_EQ(shorts->data[0], 0x1234);
    EXPECT_EQ(shorts->data[1], -32767);
    EXPECT_EQ(canvas->getResourceCharArray(fffe)->data[0], 0xFFFE);
    EXPECT_EQ(canvas->getResourceCharArray(fffe)->length, 1);
    EXPECT_EQ(canvas->getResourceShortArray(fffe)->data[0], -2);
    auto longValues = canvas->getResourceLongArray(longs);
    ASSERT_EQ(longValues->length, 1);
    EXPECT_EQ(longValues->data[0], (1LL << 32) + 2);
    auto intValues = canvas->getResourceIntArray(ints);
    ASSERT_EQ(intValues->length, 2);
    EXPECT_EQ(intValues->data[0], -2);
    EXPECT_EQ(intValues->data[1], 256);
    EXPECT_EQ(canvas->getResourceFloatArray(floats)->data[0], 1.5f);
    EXPECT_EQ(canvas->getResourceDoubleArray(doubles)->data[0], -2.5);
    EXPECT_EQ(canvas->getResourceLongArray(fffe)->length, 0);
    // A missing resource gives null through every getter.
    EXPECT_FALSE(canvas->getResourceIntArray(99));
    EXPECT_FALSE(canvas->getResourceDoubleArray(-1));

    EXPECT_EQ(text(canvas->getResString(42)), "42");
    EXPECT_EQ(canvas->getResID(jnew<String>("anything")), -1);
}

TEST_F(ResourceMap, StaticByteFunctionsReadAndWriteBigEndianWithinTheArray) {
    JavaPtr<JArray<signed char>> data = toArray({0xFF, 0xFE, 0, 0, 0, 1, 0, 0, 0, 2});
    EXPECT_EQ(HookCanvas::readShortFromByteArray(data, 0), -2);
    EXPECT_EQ(HookCanvas::readIntFromByteArray(data, 2), 1);
    EXPECT_EQ(HookCanvas::readLongFromByteArray(data, 2), (1LL << 32) + 2);
    EXPECT_EQ(HookCanvas::writeIntToByteArray(data, 6, 0x01020304), 10);
    EXPECT_EQ(toBytes(data), (Bytes{0xFF, 0xFE, 0, 0, 0, 1, 1, 2, 3, 4}));
    EXPECT_THROW(HookCanvas::readIntFromByteArray(data, 7), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(HookCanvas::readShortFromByteArray(data, -1), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(HookCanvas::writeIntToByteArray(data, 8, 0), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_EQ(toBytes(data), (Bytes{0xFF, 0xFE, 0, 0, 0, 1, 1, 2, 3, 4}));
    EXPECT_THROW(HookCanvas::readLongFromByteArray(nullptr, 0), java::lang::NullPointerException);
}

TEST_F(ResourceMap, FilesShorterThanAskedAnswerNull) {
    writeFile("short", {1, 2, 3});
    EXPECT_FALSE(canvas->loadFileFromJar(jnew<String>("short"), 4));
    EXPECT_EQ(toBytes(canvas->loadFileFromJar(jnew<String>("short"), 3)), (Bytes{1, 2, 3}));
    EXPECT_EQ(toBytes(canvas->loadFileFromJar(jnew<String>("short"), -1)), (Bytes{1, 2, 3}));
    EXPECT_FALSE(canvas->loadFileFromJar(jnew<String>("missing"), -1));
    EXPECT_FALSE(canvas->getFileFromJarAsDataInputStream(jnew<String>("missing")));

    // A whole-file read crosses the 1024-byte buffer.
    Bytes big(2500);
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
    writeFile("big", big);
    EXPECT_EQ(toBytes(canvas->loadFileFromJar(jnew<String>("big"), -1)), big);

    ResourceMapWriter map;
    int block = map.addBlock(0);
    int packed = map.addPackedResource(block, {1, 2, 3, 4});
    int loose = map.addLooseResource({5, 6, 7});
    install(map);
    writeFile("pk0", {1, 2, 3});
    writeFile("ur" + std::to_string(loose), {5, 6});
    EXPECT_FALSE(canvas->getResourceByteArray(loose));
    // A pack that does not read whole stays not resident, and a later load tries again.
    canvas->loadResourceBlock(block);
    EXPECT_FALSE(HookCanvas::resource_packs->data[0]);
    EXPECT_FALSE(canvas->getResourceByteArray(packed));
    writeFile("pk0", {1, 2, 3, 4});
    canvas->loadResourceBlock(block);
    EXPECT_EQ(toBytes(canvas->getResourceByteArray(packed)), (Bytes{1, 2, 3, 4}));
}

TEST_F(ResourceMap, UnknownIdsAndRangesOutsideThePackAnswerNull) {
    EXPECT_FALSE(canvas->getResourceByteArray(0));  // before any map
    canvas->loadResourceBlock(0);

    ResourceMapWriter map;
    int block = map.addBlock(0);
    int id = map.addPackedResource(block, {1, 2, 3, 4});
    install(map);
    for (int bad : {-1, 1, 1000}) {
        EXPECT_FALSE(canvas->getResourceByteArray(bad)) << bad;
        canvas->loadResourceBlock(bad);
        canvas->unloadResourceBlock(bad);
    }
    EXPECT_FALSE(HookCanvas::resource_packs->data[0]);
    canvas->loadResourceBlock(block);
    // A resource record whose range runs past its pack (its length raised in the table).
    HookCanvas::res_block_mappings->data[id * 9 + 8] = 9;
    EXPECT_FALSE(canvas->getResourceByteArray(id));
    HookCanvas::res_block_mappings->data[id * 9 + 8] = 4;
    HookCanvas::res_block_mappings->data[id * 9 + 4] = 1;
    EXPECT_FALSE(canvas->getResourceByteArray(id));
}

// Each case corrupts one field of a sound map; start-up must fail naming the file and replace nothing.
TEST_F(ResourceMap, ShortOrInconsistentMapsFailStartUpAndChangeNothing) {
    ResourceMapWriter map;
    map.setLanguages({"en"});
    int block = map.addBlock(0);
    map.addPackedResource(block, {1, 2});
    map.addLooseResource({3});
    map.addKeyMapping(1, 2);
    map.addMenuDefinition({7, 8});
    std::string error;
    Bytes good = map.build(&error).at("resmap");
    // Offsets: P 0, B 1, R 2..5, languages 6..15, block record 16..24, resources 25..42, K 43,
    // key 44..49, G 50, count 51..54, values 55..62.
    ASSERT_EQ(good.size(), 63u);
    struct Case {
        const char* name;
        size_t at;
        uint8_t value;
    };
    const Case cases[] = {
        {"more resources than records", 5, 9},   {"huge resource count", 2, 0x7F},
        {"more blocks than records", 1, 40},     {"block in an unknown pack", 16, 3},
        {"resource in an unknown block", 25, 5}, {"resource in block -2", 34, 0xFE},
        {"more key mappings than bytes", 43, 9}, {"more menus than bytes", 50, 2},
        {"menu count past the end", 54, 3},      {"negative menu count", 51, 0x80},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        bad[c.at] = c.value;
        writeFile("resmap", bad);
        try {
            canvas->initTessel();
            ADD_FAILURE() << c.name << ": accepted";
        } catch (java::io::IOException& e) {
            EXPECT_NE(text(e.getMessage()).find("resmap"), std::string::npos) << c.name;
        }
        EXPECT_FALSE(HookCanvas::res_block_mappings) << c.name;
        EXPECT_FALSE(HookCanvas::languages) << c.name;
    }
    for (size_t length = 0; length < good.size(); ++length) {
        writeFile("resmap", Bytes(good.begin(), good.begin() + static_cast<long>(length)));
        EXPECT_THROW(canvas->initTessel(), java::io::IOException) << length << " bytes";
    }
    std::filesystem::remove(bundle.path() / "resmap");
    EXPECT_THROW(canvas->initTessel(), java::io::IOException);
    EXPECT_FALSE(HookCanvas::block_pack_mappings);
    writeFile("resmap", good);
    canvas->initTessel();
    EXPECT_EQ(HookCanvas::res_block_mappings->length, 18);
}

}  // namespace
}  // namespace enginetest
