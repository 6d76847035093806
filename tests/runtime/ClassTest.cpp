#include "runtime/Class.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "runtime/ArrayStoreException.h"
#include "runtime/ClassNotFoundException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/InstantiationException.h"
#include "runtime/Integer.h"
#include "runtime/JArray.h"
#include "runtime/Runnable.h"
#include "runtime/Runtime.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using namespace java::lang;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(Class, Runtime, ArrayStoreException);

namespace {

class Plain : public Object {
    TESL_CLASS(Plain, "test.Plain", Object)
};

class FixedHash : public Object {
    TESL_CLASS(FixedHash, "test.FixedHash", Object)
public:
    int32_t hashCode() override { return -2; }
};

// A class whose name is missing, as a class without a declaration of its own might answer.
class Nameless : public Object {
public:
    const char* getClassTypeName() override { return nullptr; }
};

std::string classNameOf(const JavaPtr<Object>& object) {
    return narrow(object->getClass()->getName());
}

}  // namespace

TEST(ClassNames, ObjectsAndPrimitiveArraysAreNamedByTheirOwnNames) {
    const struct {
        JavaPtr<Object> object;
        const char* name;
    } cases[] = {
        {jstr("text"), "java.lang.String"},   {jnew<Object>(), "java.lang.Object"},
        {jnew<Plain>(), "test.Plain"},        {jnew<Class>(), "java.lang.Class"},
        {jnew<JArray<int>>(3), "[I"},         {jnew<JArray<bool>>(0), "[Z"},
        {jnew<JArray<signed char>>(1), "[B"}, {jnew<JArray<unsigned short>>(1), "[C"},
        {jnew<JArray<double>>(1), "[D"},      {jnew<JArray<unsigned int>>(1), "[UI"},
    };
    for (const auto& c : cases) EXPECT_EQ(classNameOf(c.object), c.name);
}

TEST(ClassNames, ArraysOfReferencesAndNestedArrays) {
    using Strings = JArray<JavaPtr<String>>;
    const struct {
        JavaPtr<Object> object;
        const char* name;
    } cases[] = {
        {jnew<Strings>(1), "[Ljava.lang.String;"},
        {jnew<JArray<JavaPtr<Strings>>>(1), "[[Ljava.lang.String;"},
        {jnew<JArray<JavaPtr<JArray<JavaPtr<Strings>>>>>(1), "[[[Ljava.lang.String;"},
        {jnew<JArray<JavaPtr<Object>>>(0), "[Ljava.lang.Object;"},
        {jnew<JArray<JavaPtr<Runnable>>>(1), "[Ljava.lang.Runnable;"},
        {jnew<JArray<JavaPtr<JArray<int>>>>(2), "[[I"},
        {jnew<JArray<JavaPtr<JArray<JavaPtr<JArray<double>>>>>>(2), "[[[D"},
        {jnew<JArray<JavaPtr<JArray<unsigned int>>>>(1), "[[I"},
    };
    for (const auto& c : cases) EXPECT_EQ(classNameOf(c.object), c.name);
    JavaPtr<Object> names = jnew<Strings>(1);
    EXPECT_EQ(narrow(names->toString()).rfind("[Ljava.lang.String;@", 0), 0u);
}

TEST(ClassNames, EachCallMakesANewClassWithAnEqualName) {
    JavaPtr<Object> object = jstr("x");
    JavaPtr<Class> first = object->getClass();
    JavaPtr<Class> second = object->getClass();
    EXPECT_FALSE(first == second);
    EXPECT_TRUE(first->getName()->equals(second->getName()));
    EXPECT_TRUE(first->getName() == first->getName()) << "getName gives the same string each time";
}

TEST(ClassNames, AClassWithoutANameGivesAnEmptyName) {
    JavaPtr<Class> type = jnew<Nameless>()->getClass();
    EXPECT_EQ(type->getName()->length(), 0);
    EXPECT_EQ(narrow(type->toString()), "void");
}

TEST(ClassObjects, TextAndPredicates) {
    JavaPtr<Class> fresh = jnew<Class>();
    EXPECT_EQ(narrow(fresh->toString()), "void");
    EXPECT_FALSE(fresh->isInterface());
    EXPECT_THROW(fresh->isArray(), IndexOutOfBoundsException);

    JavaPtr<Class> ofString = jstr("s")->getClass();
    EXPECT_EQ(narrow(ofString->toString()), "class java.lang.String");
    EXPECT_FALSE(ofString->isArray());
    EXPECT_TRUE(jnew<JArray<int>>(1)->getClass()->isArray());
    // Without a table of classes these cannot be answered.
    EXPECT_FALSE(ofString->isAssignableFrom(ofString));
    EXPECT_FALSE(ofString->isInstance(jstr("s")));
    EXPECT_THROW(ofString->newInstance(), InstantiationException);
}

TEST(ClassObjects, ForNameTakesArrayNamesOnly) {
    JavaPtr<String> arrayName = jstr("[I");
    JavaPtr<Class> type = Class::forName(arrayName);
    EXPECT_TRUE(type->getName() == arrayName) << "the very argument string is the name";
    EXPECT_TRUE(type->isArray());
    EXPECT_EQ(narrow(type->toString()), "class [I");

    EXPECT_THROW(Class::forName(jstr("java.lang.String")), ClassNotFoundException);
    EXPECT_THROW(Class::forName(JavaPtr<String>()), ClassNotFoundException);
    EXPECT_THROW(Class::forName(jstr("")), IndexOutOfBoundsException);
}

TEST(ObjectText, IsTheClassNameAndTheHexadecimalHash) {
    JavaPtr<Object> plain = jnew<Object>();
    char expected[64];
    std::snprintf(expected, sizeof expected, "java.lang.Object@%x", static_cast<unsigned>(plain->hashCode()));
    EXPECT_EQ(narrow(plain->toString()), expected);

    EXPECT_EQ(narrow(jnew<FixedHash>()->toString()), "test.FixedHash@fffffffe");

    JavaPtr<JArray<int>> numbers = jnew<JArray<int>>(2);
    std::snprintf(expected, sizeof expected, "[I@%x", static_cast<unsigned>(numbers->hashCode()));
    EXPECT_EQ(narrow(numbers->toString()), expected);
}

TEST(RuntimeServices, OneRuntimeWithFixedMemoryFiguresAndAnExitThatReturns) {
    JavaPtr<Runtime> runtime = Runtime::getRuntime();
    ASSERT_TRUE(runtime);
    EXPECT_TRUE(Runtime::getRuntime() == runtime);
    JavaPtr<JArray<signed char>> block = jnew<JArray<signed char>>(1 << 20);
    EXPECT_EQ(runtime->freeMemory(), 1048576);
    EXPECT_EQ(runtime->totalMemory(), 2097152);
    runtime->gc();
    runtime->exit(3);
    EXPECT_EQ(runtime->freeMemory(), 1048576);
}
