#include "runtime/JArray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "runtime/Smart.h"
#include "tests/support/ClassRegistry.h"

QUILL_REGISTER_CLASSES(JArray<bool>, JArray<signed char>, JArray<unsigned short>, JArray<short>, JArray<int>,
                       JArray<long long>, JArray<float>, JArray<double>, JArray<unsigned char>,
                       JArray<unsigned int>, JArray<unsigned long long>);

namespace {

template <class E>
class JArrayOfEveryPrimitive : public testing::Test {};

using Primitives = testing::Types<bool, signed char, unsigned short, short, int, long long, float, double,
                                  unsigned char, unsigned int, unsigned long long>;
TYPED_TEST_SUITE(JArrayOfEveryPrimitive, Primitives);

TYPED_TEST(JArrayOfEveryPrimitive, NewElementsAreZeroAndBadSizesGiveEmptyArrays) {
    JavaPtr<JArray<TypeParam>> array = jnew<JArray<TypeParam>>(3);
    ASSERT_EQ(array->length, 3);
    for (const TypeParam& element : *array) EXPECT_EQ(element, TypeParam{});

    std::vector<int> badSizes = {0, -5};
    if (JArray<TypeParam>::maxLength < INT32_MAX) badSizes.push_back(JArray<TypeParam>::maxLength + 1);
    for (int size : badSizes) {
        JavaPtr<JArray<TypeParam>> empty = jnew<JArray<TypeParam>>(size);
        EXPECT_EQ(empty->length, 0) << size;
        EXPECT_EQ(empty->data, nullptr) << size;
    }
    JavaPtr<JArray<TypeParam>> made = jnew<JArray<TypeParam>>();
    EXPECT_EQ(made->length, 0);
    EXPECT_EQ(made->data, nullptr);
}

TYPED_TEST(JArrayOfEveryPrimitive, AnswersOnlyItsOwnIdAndRecordsOneDimension) {
    using Array = JArray<TypeParam>;
    JavaPtr<Array> array = jnew<Array>(1);
    java::lang::Smart* smart = array.get();
    EXPECT_EQ(smart->m_dimensionCount, 0);
    EXPECT_STREQ(smart->getClassTypeName(), Array::TESLclassName);
    EXPECT_EQ(smart->m_dimensionCount, 1);

    EXPECT_EQ(smart->castAsTypeID(Array::TESLclassTypeID), static_cast<void*>(array.get()));
    EXPECT_EQ(smart->castAsTypeID(java::lang::Object::TESLclassTypeID), nullptr);
    EXPECT_EQ(smart->castAsTypeID(java::lang::Smart::TESLclassTypeID), nullptr);
    EXPECT_EQ(jcast<Array>(JavaPtr<java::lang::Object>(array)), array);
    EXPECT_FALSE(jcast<java::lang::Object>(JavaPtr<java::lang::Object>(array)));
    EXPECT_TRUE(instanceofArray(smart, Array::TESLclassTypeID, 1));
    EXPECT_FALSE(instanceofArray(smart, Array::TESLclassTypeID, 2));
}

struct NameAndId {
    const char* name;
    int32_t id;
};

TEST(JArray, NamesAndIdsOfThePrimitiveInstances) {
    const std::vector<NameAndId> expected = {{"[Z", 1},  {"[B", 2},   {"[C", 3},  {"[S", 4},
                                             {"[I", 5},  {"[J", 6},   {"[F", 7},  {"[D", 8},
                                             {"[UB", 9}, {"[UI", 12}, {"[UJ", 13}};
    const std::vector<NameAndId> actual = {
        {JArray<bool>::TESLclassName, JArray<bool>::TESLclassTypeID},
        {JArray<signed char>::TESLclassName, JArray<signed char>::TESLclassTypeID},
        {JArray<unsigned short>::TESLclassName, JArray<unsigned short>::TESLclassTypeID},
        {JArray<short>::TESLclassName, JArray<short>::TESLclassTypeID},
        {JArray<int>::TESLclassName, JArray<int>::TESLclassTypeID},
        {JArray<long long>::TESLclassName, JArray<long long>::TESLclassTypeID},
        {JArray<float>::TESLclassName, JArray<float>::TESLclassTypeID},
        {JArray<double>::TESLclassName, JArray<double>::TESLclassTypeID},
        {JArray<unsigned char>::TESLclassName, JArray<unsigned char>::TESLclassTypeID},
        {JArray<unsigned int>::TESLclassName, JArray<unsigned int>::TESLclassTypeID},
        {JArray<unsigned long long>::TESLclassName, JArray<unsigned long long>::TESLclassTypeID},
    };
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_STREQ(actual[i].name, expected[i].name);
        EXPECT_EQ(actual[i].id, expected[i].id) << expected[i].name;
    }
}

TEST(JArray, StaticCastProbeFollowsTheNullPointerRule) {
    JArray<int> array(1);
    EXPECT_EQ(JArray<int>::castAsTypeIDS(nullptr, 5), nullptr);
    EXPECT_EQ(JArray<int>::castAsTypeIDS(nullptr, 7), tesl::notAnswered());
    EXPECT_EQ(JArray<int>::castAsTypeIDS(&array, 5), &array);
    EXPECT_EQ(JArray<int>::castAsTypeIDS(&array, 7), nullptr);
    // An int array and an unsigned int array are different types.
    EXPECT_EQ(array.castAsTypeID(12), nullptr);
}

std::vector<int> contents(const JArray<int>& array) {
    return std::vector<int>(array.begin(), array.end());
}

TEST(JArray, AppendGrowsByOneAndKeepsTheElements) {
    JavaPtr<JArray<int>> array = jnew<JArray<int>>();
    array->append(1);
    EXPECT_EQ(contents(*array), std::vector<int>({1}));
    array->append(2);
    array->append(3);
    EXPECT_EQ(contents(*array), std::vector<int>({1, 2, 3}));
    EXPECT_EQ((*array)[2], 3);
}

struct ResizeCase {
    int size;
    int result;
    std::vector<int> contents;
};

TEST(JArray, ReSizeKeepsThePrefixAndZeroesTheRest) {
    const std::vector<ResizeCase> cases = {
        {5, 5, {7, 8, 0, 0, 0}}, {1, 1, {7}}, {2, 2, {7, 8}}, {0, 0, {}}, {-1, 0, {7, 8}},
    };
    for (const ResizeCase& c : cases) {
        JavaPtr<JArray<int>> array = jnew<JArray<int>>(2);
        array->data[0] = 7;
        array->data[1] = 8;
        EXPECT_EQ(array->reSize(c.size), c.result) << c.size;
        EXPECT_EQ(contents(*array), c.contents) << c.size;
    }
}

TEST(JArray, ResizedToZeroStillAppends) {
    JavaPtr<JArray<double>> array = jnew<JArray<double>>(4);
    ASSERT_EQ(array->reSize(0), 0);
    EXPECT_EQ(array->length, 0);
    array->append(2.5);
    ASSERT_EQ(array->length, 1);
    EXPECT_EQ(array->data[0], 2.5);
}

TEST(JArray, OwnerMayGrowTheBlockWithRealloc) {
    // A byte stream grows its buffer array in place; the array must then free the new block.
    JavaPtr<JArray<signed char>> bytes = jnew<JArray<signed char>>(4);
    void* grown = std::realloc(bytes->data, 64);
    ASSERT_NE(grown, nullptr);
    bytes->data = static_cast<signed char*>(grown);
    bytes->length = 64;
    bytes->data[63] = 9;
    EXPECT_EQ((*bytes)[63], 9);
}

TEST(JArray, ReleasingTheLastReferenceFreesTheArray) {
    JavaPtr<JArray<int>> array = jnew<JArray<int>>(10);
    JavaPtr<java::lang::Object> asObject = array;
    EXPECT_EQ(array->m_referenceCount.load(), 2);
    array = nullptr;
    EXPECT_EQ(asObject->m_referenceCount.load(), 1);
    asObject = nullptr;  // ASan reports a leak or a double free here if ownership is wrong
}

#ifndef NDEBUG
TEST(JArrayDeathTest, IndexOutsideTheArrayAssertsInDebugBuilds) {
    JavaPtr<JArray<int>> array = jnew<JArray<int>>(2);
    EXPECT_DEATH((void)(*array)[2], "array index out of range");
    EXPECT_DEATH((void)(*array)[-1], "array index out of range");
}
#endif

}  // namespace

// The checked form gives all n elements or throws; it never hands out a shorter array.
TEST(JArray, CheckedFormGivesExactlyNElementsOrThrows) {
    JavaPtr<JArray<int>> three = jnewArray<int>(3);
    ASSERT_EQ(three->length, 3);
    for (int element : *three) EXPECT_EQ(element, 0);
    EXPECT_EQ(jnewArray<JavaPtr<java::lang::Object>>(2)->length, 2);
    EXPECT_EQ(jnewArray<double>(0)->length, 0);
    EXPECT_THROW(jnewArray<int>(-1), std::bad_array_new_length);
    EXPECT_THROW(jnewArray<int>(JArray<int>::maxLength + 1), std::bad_array_new_length);
}
