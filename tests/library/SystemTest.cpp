#include "library/System.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/device/DeviceProfile.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/ArrayStoreException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/Integer.h"
#include "runtime/NullPointerException.h"
#include "runtime/Runnable.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/ScopedDeviceProfile.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/StringText.h"

using namespace java::lang;
using java::io::PrintStream;
using platform::DeviceProfile;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::ScopedDeviceProfile;
using testsupport::ScopedVariable;

QUILL_REGISTER_CLASSES(System);

namespace {

std::string property(const char* key) {
    return narrow(System::getProperty(jstr(key)));
}

DeviceProfile profileOf(const char* model, int width) {
    DeviceProfile profile = platform::defaultDeviceProfile();
    profile.modelName = model;
    profile.screenModeWidth = width;
    return profile;
}

JavaPtr<JArray<int>> intArray(std::initializer_list<int> values) {
    JavaPtr<JArray<int>> array = jnew<JArray<int>>(static_cast<int>(values.size()));
    int i = 0;
    for (int v : values) array->data[i++] = v;
    return array;
}

std::vector<int> contents(const JavaPtr<JArray<int>>& array) {
    return std::vector<int>(array->begin(), array->end());
}

// Records what reaches it instead of printing.
class RecordingPrintStream : public PrintStream {
    TESL_CLASS(RecordingPrintStream, "test.RecordingPrintStream", PrintStream)
public:
    std::string text;
    void printInternal(const char* line) override { text += line; }
};

// Runs through its Runnable part, which does not sit at the object's address.
class Counter : public Object, public virtual Runnable {
    TESL_CLASS(Counter, "test.Counter", Object, Runnable)
public:
    int runs = 0;
    void run() override { ++runs; }
};

using Strings = JArray<JavaPtr<String>>;
using Objects = JArray<JavaPtr<Object>>;
using IntRows = JArray<JavaPtr<JArray<int>>>;

JavaPtr<Strings> stringArray(std::initializer_list<const char*> texts) {
    JavaPtr<Strings> array = jnew<Strings>(static_cast<int>(texts.size()));
    int i = 0;
    for (const char* text : texts) array->data[i++] = text != nullptr ? jstr(text) : nullptr;
    return array;
}

std::vector<std::string> texts(const JavaPtr<Strings>& array) {
    std::vector<std::string> result;
    for (const JavaPtr<String>& text : *array) result.push_back(narrow(text));
    return result;
}

// Runs the test with System's streams made, and takes them down after.
class SystemStreams : public testing::Test {
protected:
    void SetUp() override { System_staticInit(); }
    void TearDown() override { System_staticDestroy(); }
};

}  // namespace

TEST(SystemProperties, TheFixedTableAndTheDeviceHalf) {
    ScopedVariable all("LC_ALL", nullptr);
    ScopedVariable messages("LC_MESSAGES", nullptr);
    ScopedVariable lang("LANG", "en_GB.UTF-8");
    ScopedDeviceProfile device(platform::defaultDeviceProfile());
    const struct {
        const char* key;
        const char* value;
    } cases[] = {
        {"microedition.encoding", "ISO8859-1"},
        {"microedition.configuration", "CLDC-1.1"},
        {"microedition.profiles", "MIDP-2.0"},
        {"microedition.locale", "en-GB"},
        {"microedition.location.version", "1.0"},
        {"microedition.platform", "iPhone"},
        {"ios.retina", "true"},
        {"microedition.hostname", "<null>"},
        {"MICROEDITION.ENCODING", "<null>"},
        {"", "<null>"},
    };
    for (const auto& c : cases) EXPECT_EQ(property(c.key), c.value) << c.key;
    EXPECT_FALSE(System::getProperty(JavaPtr<String>()));
    EXPECT_FALSE(System::getDeviceProperty(JavaPtr<String>()));
    EXPECT_EQ(narrow(System::getDeviceProperty(jstr("microedition.platform"))), "iPhone");
    EXPECT_FALSE(System::getDeviceProperty(jstr("microedition.encoding")))
        << "the device half holds only the device's keys";
}

TEST(SystemProperties, EachCallGivesANewEqualString) {
    JavaPtr<String> first = System::getProperty(jstr("microedition.configuration"));
    JavaPtr<String> second = System::getProperty(jstr("microedition.configuration"));
    EXPECT_FALSE(first == second);
    EXPECT_TRUE(first->equals(second));
}

TEST(SystemProperties, PlatformAndScreenFollowTheDeviceAtEachCall) {
    const struct {
        const char* model;
        int width;
        const char* platform;
        const char* retina;
    } cases[] = {
        {"iPhone", 640, "iPhone", "true"}, {"iPhone", 320, "iPhone", "false"},
        {"iPad", 1024, "iPad", "false"},   {"iPod touch", 640, "iPod", "true"},
        {"Linux", 320, "iPod", "false"},
    };
    for (const auto& c : cases) {
        ScopedDeviceProfile device(profileOf(c.model, c.width));
        EXPECT_EQ(property("microedition.platform"), c.platform) << c.model;
        EXPECT_EQ(property("ios.retina"), c.retina) << c.model << " " << c.width;
    }
}

TEST(SystemProperties, LocaleUsesAHyphenForEveryUnderscore) {
    ScopedVariable all("LC_ALL", nullptr);
    ScopedVariable messages("LC_MESSAGES", "fr_FR.UTF-8");
    ScopedVariable lang("LANG", nullptr);
    EXPECT_EQ(property("microedition.locale"), "fr-FR");
    ScopedVariable posix("LC_MESSAGES", "POSIX");
    EXPECT_EQ(property("microedition.locale"), "en-US");
}

TEST(SystemClock, MillisecondsSinceTheEpochThatNeverGoBackwards) {
    const long long first = System::currentTimeMillis();
    const long long seconds = static_cast<long long>(std::time(nullptr));
    EXPECT_LE(std::llabs(first / 1000 - seconds), 2);
    long long previous = first;
    for (int i = 0; i < 1000; ++i) {
        const long long now = System::currentTimeMillis();
        ASSERT_GE(now, previous);
        previous = now;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_GE(System::currentTimeMillis() - first, 30);
}

TEST(SystemClock, TheFirstReadingOfAProcessIsAWholeSecond) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // The threadsafe style runs the statement in a freshly started copy of this program, whose clock
    // has not been read yet.
    EXPECT_EXIT(std::exit(System::currentTimeMillis() % 1000 == 0 ? 0 : 1), testing::ExitedWithCode(0), "");
}

TEST(SystemArrayCopy, DistinctAndOverlappingRanges) {
    const struct {
        const char* what;
        int srcPos;
        int dstPos;
        int length;
        std::vector<int> result;
    } sameArray[] = {
        {"down, no smear", 0, 1, 3, {1, 1, 2, 3, 5}}, {"up, no smear", 1, 0, 3, {2, 3, 4, 4, 5}},
        {"onto itself", 1, 1, 3, {1, 2, 3, 4, 5}},    {"nothing", 2, 0, 0, {1, 2, 3, 4, 5}},
        {"the end, empty", 5, 5, 0, {1, 2, 3, 4, 5}}, {"whole, shifted", 0, 2, 3, {1, 2, 1, 2, 3}},
    };
    for (const auto& c : sameArray) {
        JavaPtr<JArray<int>> a = intArray({1, 2, 3, 4, 5});
        System::arraycopy(a, c.srcPos, a, c.dstPos, c.length);
        EXPECT_EQ(contents(a), c.result) << c.what;
    }
    JavaPtr<JArray<int>> from = intArray({7, 8, 9});
    JavaPtr<JArray<int>> to = intArray({0, 0, 0, 0});
    System::arraycopy(from, 1, to, 2, 2);
    EXPECT_EQ(contents(to), (std::vector<int>{0, 0, 8, 9}));
}

TEST(SystemArrayCopy, EveryBadArgumentThrowsAndCopiesNothing) {
    const struct {
        int srcPos;
        int dstPos;
        int length;
    } cases[] = {
        {-1, 0, 1},         {0, -1, 1},         {0, 0, -1},  {3, 0, 1}, {0, 4, 1},
        {2, 0, 2},          {0, 3, 2},          {4, 0, 0},   {0, 5, 0}, {1, 1, 0x7FFFFFFF},
        {0x7FFFFFFF, 0, 1}, {0, 0x7FFFFFFF, 1}, {-5, -5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.srcPos) + ", " + std::to_string(c.dstPos) + ", " +
                     std::to_string(c.length));
        JavaPtr<JArray<int>> from = intArray({1, 2, 3});
        JavaPtr<JArray<int>> to = intArray({0, 0, 0, 0});
        EXPECT_THROW(System::arraycopy(from, c.srcPos, to, c.dstPos, c.length),
                     ArrayIndexOutOfBoundsException);
        EXPECT_EQ(contents(to), (std::vector<int>{0, 0, 0, 0}));
        // Through Object the same checks apply.
        EXPECT_THROW(
            System::arraycopy(JavaPtr<Object>(from), c.srcPos, JavaPtr<Object>(to), c.dstPos, c.length),
            ArrayIndexOutOfBoundsException);
    }
    JavaPtr<JArray<int>> none;
    JavaPtr<JArray<int>> some = intArray({1});
    EXPECT_THROW(System::arraycopy(none, 0, some, 0, 0), NullPointerException);
    EXPECT_THROW(System::arraycopy(some, 0, none, 0, 0), NullPointerException);
    EXPECT_THROW(System::arraycopy(JavaPtr<Object>(), 0, JavaPtr<Object>(some), 0, 0), NullPointerException);
}

TEST(SystemArrayCopy, EachElementTypeCopiesWholeElements) {
    JavaPtr<JArray<double>> doubles = jnew<JArray<double>>(3);
    doubles->data[0] = 1.5;
    doubles->data[1] = -2.25;
    JavaPtr<JArray<double>> doubleCopy = jnew<JArray<double>>(3);
    System::arraycopy(doubles, 0, doubleCopy, 1, 2);
    EXPECT_EQ(doubleCopy->data[1], 1.5);
    EXPECT_EQ(doubleCopy->data[2], -2.25);

    JavaPtr<JArray<long long>> longs = jnew<JArray<long long>>(2);
    longs->data[0] = 0x123456789ALL;
    System::arraycopy(longs, 0, longs, 1, 1);
    EXPECT_EQ(longs->data[1], 0x123456789ALL);

    JavaPtr<JArray<unsigned short>> chars = jnew<JArray<unsigned short>>(3);
    chars->data[0] = 0xFFFF;
    chars->data[1] = 0x20AC;
    System::arraycopy(chars, 0, chars, 1, 2);
    EXPECT_EQ(chars->data[1], 0xFFFF);
    EXPECT_EQ(chars->data[2], 0x20AC);

    JavaPtr<JArray<signed char>> bytes = jnew<JArray<signed char>>(2);
    bytes->data[0] = -1;
    System::arraycopy(bytes, 0, bytes, 1, 1);
    EXPECT_EQ(bytes->data[1], -1);
}

TEST(SystemArrayCopy, ThroughObjectTheTypesFoundAtRunTimeMustAgree) {
    JavaPtr<JArray<unsigned int>> wide = jnew<JArray<unsigned int>>(3);
    wide->data[0] = 0xDEADBEEF;
    JavaPtr<JArray<unsigned int>> wideCopy = jnew<JArray<unsigned int>>(3);
    System::arraycopy(JavaPtr<Object>(wide), 0, JavaPtr<Object>(wideCopy), 2, 1);
    EXPECT_EQ(wideCopy->data[2], 0xDEADBEEFu);

    JavaPtr<JArray<int>> ints = intArray({1, 2});
    System::arraycopy(JavaPtr<Object>(ints), 0, JavaPtr<Object>(ints), 1, 1);
    EXPECT_EQ(contents(ints), (std::vector<int>{1, 1}));

    const std::vector<std::pair<JavaPtr<Object>, JavaPtr<Object>>> mismatched = {
        {ints, jnew<JArray<float>>(2)},
        {ints, jnew<JArray<unsigned int>>(2)},
        {jnew<JArray<signed char>>(2), jnew<JArray<bool>>(2)},
        {ints, jstr("not an array")},
        {jstr("not an array"), ints},
        {jstr("ab"), jstr("cd")},
    };
    for (const auto& [src, dst] : mismatched) {
        EXPECT_THROW(System::arraycopy(src, 0, dst, 0, 1), ArrayStoreException)
            << src->getClassTypeName() << " to " << dst->getClassTypeName();
    }
}

TEST(SystemArrayCopy, ReferencesMoveWithoutSmearingAndKeepTheirCounts) {
    const struct {
        int srcPos;
        int dstPos;
        int length;
        std::vector<std::string> result;
    } cases[] = {
        {0, 1, 3, {"a", "a", "b", "c", "e"}},
        {1, 0, 3, {"b", "c", "d", "d", "e"}},
        {2, 2, 2, {"a", "b", "c", "d", "e"}},
        {0, 0, 0, {"a", "b", "c", "d", "e"}},
    };
    for (const auto& c : cases) {
        JavaPtr<Strings> array = stringArray({"a", "b", "c", "d", "e"});
        System::arraycopy(array, c.srcPos, array, c.dstPos, c.length);
        EXPECT_EQ(texts(array), c.result) << c.srcPos << " to " << c.dstPos;
    }

    JavaPtr<String> shared = jstr("shared");
    JavaPtr<Strings> from = jnew<Strings>(2);
    from->data[0] = shared;
    JavaPtr<Strings> to = stringArray({"x", "y", "z"});
    JavaPtr<String> overwritten = to->data[1];
    const int32_t sharedCount = shared->m_referenceCount.load();
    const int32_t overwrittenCount = overwritten->m_referenceCount.load();
    System::arraycopy(from, 0, to, 1, 2);
    EXPECT_EQ(texts(to), (std::vector<std::string>{"x", "shared", "<null>"}));
    EXPECT_EQ(shared->m_referenceCount.load(), sharedCount + 1);
    EXPECT_EQ(overwritten->m_referenceCount.load(), overwrittenCount - 1);
}

TEST(SystemArrayCopy, EachReferenceMustBeOfTheDestinationElementType) {
    JavaPtr<Objects> objects = jnew<Objects>(4);
    objects->data[0] = jstr("one");
    objects->data[2] = jnew<Integer>(3);
    objects->data[3] = jstr("four");
    JavaPtr<Strings> strings = stringArray({"-", "-", "-", "-"});
    // Copied up to the element that does not fit, and no further.
    EXPECT_THROW(System::arraycopy(objects, 0, strings, 0, 4), ArrayStoreException);
    EXPECT_EQ(texts(strings), (std::vector<std::string>{"one", "<null>", "-", "-"}));

    JavaPtr<Objects> widened = jnew<Objects>(2);
    System::arraycopy(stringArray({"s", "t"}), 0, widened, 0, 2);
    EXPECT_EQ(narrow(jcast<String>(widened->data[1])), "t");

    JavaPtr<Objects> anything = jnew<Objects>(3);
    anything->data[0] = jnew<JArray<int>>(2);
    anything->data[1] = stringArray({"row"});
    System::arraycopy(anything, 0, anything, 1, 2);
    EXPECT_TRUE(jinstanceof<JArray<int>>(anything->data[1]));

    JavaPtr<JArray<JavaPtr<Runnable>>> tasks = jnew<JArray<JavaPtr<Runnable>>>(2);
    JavaPtr<Counter> counter = jnew<Counter>();
    JavaPtr<Objects> holder = jnew<Objects>(2);
    holder->data[1] = counter;
    System::arraycopy(holder, 1, tasks, 0, 1);
    tasks->data[0]->run();
    EXPECT_EQ(counter->runs, 1);
    holder->data[1] = jstr("not runnable");
    EXPECT_THROW(System::arraycopy(holder, 1, tasks, 1, 1), ArrayStoreException);

    JavaPtr<IntRows> grid = jnew<IntRows>(2);
    JavaPtr<Objects> rows = jnew<Objects>(2);
    rows->data[0] = jnew<JArray<int>>(5);
    System::arraycopy(rows, 0, grid, 0, 2);
    EXPECT_EQ(grid->data[0]->length, 5);
    rows->data[1] = jnew<JArray<float>>(1);
    EXPECT_THROW(System::arraycopy(rows, 1, grid, 1, 1), ArrayStoreException);
    rows->data[1] = stringArray({"a"});
    EXPECT_THROW(System::arraycopy(rows, 1, grid, 1, 1), ArrayStoreException);
}

TEST(SystemArrayCopy, ReferenceArraysAgainstOtherKindsAndBadRanges) {
    JavaPtr<Strings> strings = stringArray({"a", "b"});
    EXPECT_THROW(System::arraycopy(strings, 0, jnew<JArray<int>>(2), 0, 1), ArrayStoreException);
    EXPECT_THROW(System::arraycopy(jnew<JArray<int>>(2), 0, strings, 0, 1), ArrayStoreException);
    EXPECT_THROW(System::arraycopy(strings, 0, jstr("x"), 0, 1), ArrayStoreException);
    EXPECT_THROW(System::arraycopy(JavaPtr<Strings>(), 0, strings, 0, 0), NullPointerException);
    for (auto [srcPos, dstPos, length] :
         {std::tuple{-1, 0, 1}, {0, -1, 1}, {0, 0, -1}, {1, 0, 2}, {0, 2, 1}}) {
        EXPECT_THROW(System::arraycopy(strings, srcPos, strings, dstPos, length),
                     ArrayIndexOutOfBoundsException);
    }
    EXPECT_EQ(texts(strings), (std::vector<std::string>{"a", "b"}));
}

TEST(SystemServices, IdentityHashGcAndExit) {
    EXPECT_EQ(System::identityHashCode(JavaPtr<Object>()), 0);
    JavaPtr<Object> object = jnew<Object>();
    EXPECT_EQ(System::identityHashCode(object), System::identityHashCode(object));
    EXPECT_NE(System::identityHashCode(object), System::identityHashCode(jnew<Object>()));
    JavaPtr<String> text = jstr("x");
    const int32_t before = text->m_referenceCount.load();
    System::gc();
    System::exit(0);
    EXPECT_EQ(text->m_referenceCount.load(), before);
}

TEST_F(SystemStreams, OutAndErrAreTwoStreamsToStandardOutput) {
    ASSERT_TRUE(System::out);
    ASSERT_TRUE(System::err);
    EXPECT_FALSE(System::out == System::err);
    testing::internal::CaptureStdout();
    System::out->println(jstr("to out"));
    System::err->println(jstr("to err"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "to out\nto err\n");
}

TEST_F(SystemStreams, StackTracesGoThroughSystemOut) {
    JavaPtr<PrintStream> saved = System::out;
    JavaPtr<RecordingPrintStream> recorder = jnew<RecordingPrintStream>(nullptr);
    System::out = recorder;
    IllegalStateException withText;
    withText.TESLinvokeconstructor(jstr("state"));
    withText.printStackTrace();
    NullPointerException().printStackTrace();
    System::out = saved;
    EXPECT_EQ(recorder->text, ":state\n\n");
}

TEST(SystemStreamsLifetime, DestroyDropsBothAndStackTracesStillReachStandardOutput) {
    System_staticInit();
    System_staticDestroy();
    EXPECT_FALSE(System::out);
    EXPECT_FALSE(System::err);
    IllegalStateException withText;
    withText.TESLinvokeconstructor(jstr("late"));
    testing::internal::CaptureStdout();
    withText.printStackTrace();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ":late\n");
}
