#include "library/PrintStream.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "library/ByteArrayOutputStream.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "tests/library/ByteArrays.h"
#include "tests/support/StringText.h"

using namespace java::io;
using java::lang::String;
using testsupport::contentsOf;
using testsupport::jstr;

namespace {

JavaPtr<String> unitsOf(std::u16string units) {
    return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                        static_cast<int>(units.size()));
}

// Records every text that reaches printInternal, one entry per call, and prints nothing.
class RecordingPrintStream : public PrintStream {
    TESL_CLASS(RecordingPrintStream, "test.RecordingPrintStream", PrintStream)
public:
    std::vector<std::string> outputs;
    void printInternal(const char* text) override { outputs.emplace_back(text != nullptr ? text : "<null>"); }
    using PrintStream::print;
    using PrintStream::println;
};

// Records the calls a print stream makes on its target.
class RecordingTarget : public OutputStream {
    TESL_CLASS(RecordingTarget, "test.RecordingTarget", OutputStream)
public:
    std::string calls;
    void write(int v) override { calls += "w" + std::to_string(v) + " "; }
    void flush() override { calls += "flush "; }
    void close() override { calls += "close "; }
    using OutputStream::write;
};

class Greeting : public java::lang::Object {
    TESL_CLASS(Greeting, "test.Greeting", java::lang::Object)
public:
    JavaPtr<String> toString() override { return jstr("hi"); }
};

std::string printedToStandardOutput(const std::function<void(PrintStream&)>& action) {
    JavaPtr<PrintStream> out = jnew<PrintStream>(nullptr);
    testing::internal::CaptureStdout();
    action(*out);
    return testing::internal::GetCapturedStdout();
}

TEST(PrintStream, WritesTheEightBitTextToStandardOutput) {
    struct Case {
        const char* what;
        std::function<void(PrintStream&)> action;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"println(String)", [](PrintStream& p) { p.println(jstr("abc")); }, "abc\n"},
        {"println(int)", [](PrintStream& p) { p.println(42); }, "42\n"},
        {"println(bool)", [](PrintStream& p) { p.println(true); }, "true\n"},
        {"println()", [](PrintStream& p) { p.println(); }, "\n"},
        {"print(long)", [](PrintStream& p) { p.print(-9000000000LL); }, "-9000000000"},
        {"print(double)", [](PrintStream& p) { p.print(100.0); }, "100.0"},
        {"print(float)", [](PrintStream& p) { p.print(0.5f); }, "0.5"},
        {"print(char) keeps the low byte",
         [](PrintStream& p) { p.print(static_cast<unsigned short>(0x141)); }, "A"},
        {"a char16_t prints as the character",
         [](PrintStream& p) {
             p.print(u'A');
             p.println(u'\u0142');
         },
         "AB\n"},
        {"print(char) of a zero low byte",
         [](PrintStream& p) {
             p.print(static_cast<unsigned short>(0));
             p.print(static_cast<unsigned short>(0x100));
         },
         ""},
        {"print(String) with U+00E9", [](PrintStream& p) { p.print(unitsOf(u"\u00e9")); }, "\xe9"},
        {"a zero low byte ends the text", [](PrintStream& p) { p.print(unitsOf(u"ab\u0100cd")); }, "ab"},
        {"U+0000 ends the text", [](PrintStream& p) { p.print(unitsOf(std::u16string(u"ab\0cd", 5))); },
         "ab"},
        {"print(Object)", [](PrintStream& p) { p.print(JavaPtr<java::lang::Object>(jnew<Greeting>())); },
         "hi"},
        {"print(char array)",
         [](PrintStream& p) {
             JavaPtr<JArray<unsigned short>> a = jnew<JArray<unsigned short>>(2);
             a->data[0] = 'o';
             a->data[1] = 'k';
             p.println(a);
         },
         "ok\n"},
        {"null String", [](PrintStream& p) { p.print(JavaPtr<String>()); }, "null"},
        {"null String line", [](PrintStream& p) { p.println(JavaPtr<String>()); }, "null\n"},
        {"null Object", [](PrintStream& p) { p.println(JavaPtr<java::lang::Object>()); }, "null\n"},
        {"empty String", [](PrintStream& p) { p.print(jnew<String>()); }, ""},
        {"raw String pointer",
         [](PrintStream& p) {
             JavaPtr<String> s = jstr("raw");
             p.println(s.get());
         },
         "raw\n"},
        {"println(C string) adds no line end", [](PrintStream& p) { p.println("plain"); }, "plain"},
        {"write, flush and close do nothing without a target",
         [](PrintStream& p) {
             p.write(0x41);
             p.write(testsupport::bytesOf({0x41, 0x42}), 0, 2);
             p.flush();
             p.close();
         },
         ""},
    };
    for (const Case& c : cases) EXPECT_EQ(printedToStandardOutput(c.action), c.expected) << c.what;
}

TEST(PrintStream, PrintOfANullCharArrayThrows) {
    JavaPtr<PrintStream> out = jnew<PrintStream>(nullptr);
    EXPECT_THROW(out->print(JavaPtr<JArray<unsigned short>>()), java::lang::NullPointerException);
}

TEST(PrintStream, StringLinesAreOneOutputAndOtherLinesTwo) {
    JavaPtr<RecordingPrintStream> out = jnew<RecordingPrintStream>();
    out->println(jstr("abc"));
    out->println(42);
    out->println(false);
    EXPECT_EQ(out->outputs, (std::vector<std::string>{"abc\n", "42", "\n", "false", "\n"}));
}

TEST(PrintStream, TargetReceivesEachByteAfterItsSign) {
    JavaPtr<ByteArrayOutputStream> bytes = jnew<ByteArrayOutputStream>();
    JavaPtr<PrintStream> out = jnew<PrintStream>(bytes);
    out->print(jstr("Az"));
    out->print(unitsOf(u"\u00e9"));
    out->write(0x41);
    out->write(testsupport::bytesOf({1, 2, 3}), 1, 2);
    EXPECT_EQ(contentsOf(bytes->toByteArray()),
              (std::vector<int>{0x00, 0x41, 0x00, 0x7A, 0xFF, 0xE9, 0x41, 2, 3}));
}

TEST(PrintStream, CloseFlushesThenClosesTheTargetAndKeepsIt) {
    JavaPtr<RecordingTarget> target = jnew<RecordingTarget>();
    JavaPtr<PrintStream> out = jnew<PrintStream>(target);
    out->flush();
    out->close();
    out->print(static_cast<unsigned short>('a'));
    EXPECT_EQ(target->calls, "flush flush close w0 w97 ");
    // A C-string line goes to standard output whatever the target.
    testing::internal::CaptureStdout();
    out->println("direct");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "direct");
    EXPECT_EQ(target->calls, "flush flush close w0 w97 ");
}

TEST(PrintStream, ErrorFlagIsOnlyWhatSetErrorSet) {
    JavaPtr<PrintStream> out = jnew<PrintStream>(jnew<ByteArrayOutputStream>());
    EXPECT_FALSE(out->checkError());
    out->print(jstr("text"));
    EXPECT_FALSE(out->checkError());
    out->setError();
    EXPECT_TRUE(out->checkError());
}

}  // namespace
