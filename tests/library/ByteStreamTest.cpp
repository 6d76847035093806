#include <gtest/gtest.h>

#include <vector>

#include "library/ByteArrayInputStream.h"
#include "library/ByteArrayOutputStream.h"
#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/FileOutputStream.h"
#include "library/PrintStream.h"
#include "runtime/IOException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "tests/library/ByteArrays.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using namespace java::io;
using java::lang::IndexOutOfBoundsException;
using java::lang::NullPointerException;
using testsupport::bytesOf;
using testsupport::contentsOf;

QUILL_REGISTER_CLASSES(InputStream, OutputStream, ByteArrayInputStream, ByteArrayOutputStream, PrintStream,
                       DataInput, DataOutput, DataInputStream, DataOutputStream, File, FileInputStream,
                       FileOutputStream);

namespace {

// A source that yields a script of results; kThrow stands for an IOException from read().
constexpr int kThrow = -2;
class ScriptedStream : public InputStream {
    TESL_CLASS(ScriptedStream, "test.ScriptedStream", InputStream)
public:
    std::vector<int> script;
    size_t next = 0;
    int read() override {
        const int result = next < script.size() ? script[next++] : -1;
        if (result == kThrow) throw IOException();
        return result;
    }
    using InputStream::read;
};

JavaPtr<ScriptedStream> scripted(std::vector<int> script) {
    JavaPtr<ScriptedStream> stream = jnew<ScriptedStream>();
    stream->script = std::move(script);
    return stream;
}

TEST(ByteStreams, CastsAnswerTheClassChainAndInterfaces) {
    JavaPtr<InputStream> in = jnew<ByteArrayInputStream>(bytesOf({1}));
    EXPECT_TRUE(jinstanceof<InputStream>(in));
    EXPECT_TRUE(jinstanceof<java::lang::Object>(in));
    EXPECT_FALSE(jinstanceof<OutputStream>(in));
    EXPECT_STREQ(in->getClassTypeName(), "java.io.ByteArrayInputStream");

    JavaPtr<InputStream> data = jnew<DataInputStream>(in);
    JavaPtr<DataInput> asInterface = jcast<DataInput>(data);
    ASSERT_TRUE(asInterface);
    EXPECT_EQ(asInterface->readUnsignedByte(), 1);
    EXPECT_FALSE(jcast<DataOutput>(data));
    JavaPtr<OutputStream> out = jnew<DataOutputStream>(jnew<ByteArrayOutputStream>());
    EXPECT_TRUE(jcast<DataOutput>(out));
    EXPECT_TRUE(jinstanceof<OutputStream>(JavaPtr<OutputStream>(jnew<PrintStream>(nullptr))));
}

TEST(ByteStreams, DefaultBlockReadStopsAtTheEndAndKeepsByte255) {
    JavaPtr<ScriptedStream> stream = scripted({1, 2, 255, -1});
    JavaPtr<JArray<signed char>> b = jnew<JArray<signed char>>(8);
    EXPECT_EQ(stream->read(b, 0, 8), 3);
    EXPECT_EQ(contentsOf(b, 3), (std::vector<int>{1, 2, 255}));
    EXPECT_EQ(stream->read(b, 0, 8), -1);
    EXPECT_EQ(stream->read(b, 0, 0), 0);
}

TEST(ByteStreams, DefaultBlockReadThrowsOnlyWhenNothingWasRead) {
    JavaPtr<JArray<signed char>> b = jnew<JArray<signed char>>(8);
    EXPECT_THROW(scripted({kThrow})->read(b, 0, 8), IOException);
    JavaPtr<ScriptedStream> later = scripted({7, 8, kThrow, 9});
    EXPECT_EQ(later->read(b, 1, 5), 2);
    EXPECT_EQ(contentsOf(b, 3), (std::vector<int>{0, 7, 8}));
    EXPECT_EQ(later->read(), 9);
}

TEST(ByteStreams, DefaultBlockReadChecksItsArguments) {
    JavaPtr<ScriptedStream> stream = scripted({1, 2, 3});
    JavaPtr<JArray<signed char>> four = jnew<JArray<signed char>>(4);
    EXPECT_THROW(stream->read(four, 2, 3), IndexOutOfBoundsException);
    EXPECT_THROW(stream->read(four, -1, 1), IndexOutOfBoundsException);
    EXPECT_THROW(stream->read(four, 0, -1), IndexOutOfBoundsException);
    EXPECT_THROW(stream->read(four, 0x7FFFFFFF, 2), IndexOutOfBoundsException);
    EXPECT_THROW(stream->read(nullptr, 0, 0), NullPointerException);
    EXPECT_EQ(stream->next, 0u) << "a refused call reads nothing";
    EXPECT_THROW(stream->reset(), IOException);
}

TEST(ByteStreams, DefaultSkipCountsBytesUntilTheEnd) {
    EXPECT_EQ(scripted({1, 2, 3})->skip(2), 2);
    EXPECT_EQ(scripted({1, 2, 3})->skip(10), 3);
    EXPECT_EQ(scripted({1, 2, 3})->skip(-4), 0);
}

TEST(ByteArrayInputStream, EmptyArrayIsAtItsEnd) {
    JavaPtr<ByteArrayInputStream> in = jnew<ByteArrayInputStream>(bytesOf({}));
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(jnew<JArray<signed char>>(4), 0, 4), -1);
    EXPECT_EQ(in->available(), 0);
}

TEST(ByteArrayInputStream, ReadsBytesAsUnsignedAndZeroLengthAsEnd) {
    JavaPtr<ByteArrayInputStream> in = jnew<ByteArrayInputStream>(bytesOf({0xFF, 0x80, 1, 2, 3}));
    JavaPtr<JArray<signed char>> b = jnew<JArray<signed char>>(4);
    EXPECT_EQ(in->read(b, 0, 0), -1) << "len 0 answers -1 even with data left";
    EXPECT_EQ(in->read(), 255);
    EXPECT_EQ(in->read(), 128);
    EXPECT_EQ(in->read(b, 1, 3), 3);
    EXPECT_EQ(contentsOf(b, 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(in->read(b), -1);
}

TEST(ByteArrayInputStream, SkipMarkAndReset) {
    JavaPtr<ByteArrayInputStream> in = jnew<ByteArrayInputStream>(bytesOf({10, 11, 12, 13, 14}));
    EXPECT_EQ(in->skip(-5), 0);
    EXPECT_EQ(in->skip(1), 1);
    in->mark(0);
    EXPECT_EQ(in->read(), 11);
    EXPECT_EQ(in->read(), 12);
    in->reset();
    EXPECT_EQ(in->read(), 11);
    EXPECT_EQ(in->skip(100), 3);
    EXPECT_EQ(in->skip(0x7FFFFFFFFFFFFFFFLL), 0);
    EXPECT_EQ(in->available(), 0);
    EXPECT_TRUE(in->markSupported());

    // Without a mark, reset goes to index 0, not to the offset.
    JavaPtr<ByteArrayInputStream> window = jnew<ByteArrayInputStream>(bytesOf({1, 2, 3, 4, 5}), 2, 2);
    EXPECT_EQ(window->available(), 2);
    EXPECT_EQ(window->read(), 3);
    EXPECT_EQ(window->read(), 4);
    EXPECT_EQ(window->read(), -1);
    window->reset();
    EXPECT_EQ(window->available(), 4);
    EXPECT_EQ(window->read(), 1);
}

TEST(ByteArrayInputStream, SeesLaterChangesAndReadsNothingAfterClose) {
    JavaPtr<JArray<signed char>> data = bytesOf({1, 2, 3});
    JavaPtr<ByteArrayInputStream> in = jnew<ByteArrayInputStream>(data);
    data->data[0] = 9;
    EXPECT_EQ(in->read(), 9);
    in->close();
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(jnew<JArray<signed char>>(2), 0, 2), -1);
    EXPECT_EQ(in->available(), 2) << "the integers outlive the buffer";
    EXPECT_EQ(in->skip(1), 1);
    // An owner that shrinks its array does not have the stream read past the new end.
    JavaPtr<ByteArrayInputStream> shrunk = jnew<ByteArrayInputStream>(data);
    data->reSize(1);
    EXPECT_EQ(shrunk->read(), 9);
    EXPECT_EQ(shrunk->read(), -1);
}

TEST(ByteArrayInputStream, RefusesRangesOutsideTheArrays) {
    JavaPtr<JArray<signed char>> three = bytesOf({1, 2, 3});
    EXPECT_THROW(jnew<ByteArrayInputStream>(nullptr), NullPointerException);
    struct Window {
        int offset, length;
    };
    for (Window w : {Window{-1, 2}, Window{0, -1}, Window{2, 2}, Window{4, 0}, Window{1, 0x7FFFFFFF}}) {
        EXPECT_THROW(jnew<ByteArrayInputStream>(three, w.offset, w.length), IndexOutOfBoundsException)
            << w.offset << "," << w.length;
    }
    JavaPtr<ByteArrayInputStream> in = jnew<ByteArrayInputStream>(three);
    JavaPtr<JArray<signed char>> two = jnew<JArray<signed char>>(2);
    EXPECT_THROW(in->read(two, 1, 2), IndexOutOfBoundsException);
    EXPECT_THROW(in->read(two, -1, 1), IndexOutOfBoundsException);
    EXPECT_THROW(in->read(nullptr, 0, 1), NullPointerException);
    EXPECT_EQ(in->available(), 3);
}

class ExposedByteArrayOutputStream : public ByteArrayOutputStream {
    TESL_CLASS(ExposedByteArrayOutputStream, "test.ExposedByteArrayOutputStream", ByteArrayOutputStream)
public:
    int capacity() const { return m_capacity; }
    JArray<signed char>* buffer() const { return m_buffer.get(); }
};

TEST(ByteArrayOutputStream, GrowsInPlaceBy100BeyondTheNewCount) {
    JavaPtr<ExposedByteArrayOutputStream> out = jnew<ExposedByteArrayOutputStream>();
    JArray<signed char>* buffer = out->buffer();
    for (int i = 0; i < 31; ++i) out->write(i);
    EXPECT_EQ(out->capacity(), 32);
    out->write(31);
    EXPECT_EQ(out->capacity(), 132);
    EXPECT_EQ(out->buffer(), buffer) << "the same array object stays the buffer";
    EXPECT_EQ(out->buffer()->length, 132);
    std::vector<int> expected;
    for (int i = 0; i < 32; ++i) expected.push_back(i);
    EXPECT_EQ(contentsOf(out->toByteArray()), expected);

    JavaPtr<ExposedByteArrayOutputStream> block = jnew<ExposedByteArrayOutputStream>();
    block->write(jnew<JArray<signed char>>(200));
    EXPECT_EQ(block->capacity(), 300);

    for (int size : {0, -3}) {
        JavaPtr<ExposedByteArrayOutputStream> small = jnew<ExposedByteArrayOutputStream>(size);
        small->write(7);
        EXPECT_EQ(small->capacity(), 101);
        EXPECT_EQ(contentsOf(small->toByteArray()), std::vector<int>{7});
    }
}

TEST(ByteArrayOutputStream, CollectsBytesInOrder) {
    JavaPtr<ByteArrayOutputStream> out = jnew<ByteArrayOutputStream>();
    EXPECT_EQ(out->toByteArray()->length, 0);
    std::vector<int> expected;
    for (int i = 0; i < 300; ++i) {
        out->write(i * 7);
        expected.push_back(i * 7 & 0xFF);
    }
    EXPECT_EQ(out->size(), 300);
    EXPECT_EQ(contentsOf(out->toByteArray()), expected);
    out->reset();
    EXPECT_EQ(out->size(), 0);
    out->write(0x1FF);
    out->write(bytesOf({1, 2, 3, 4}), 1, 2);
    out->close();
    out->write(5);
    EXPECT_EQ(contentsOf(out->toByteArray()), (std::vector<int>{0xFF, 2, 3, 5}));
}

TEST(ByteArrayOutputStream, ToStringTakesEachByteAsOneUnit) {
    JavaPtr<ByteArrayOutputStream> out = jnew<ByteArrayOutputStream>();
    out->write(0x41);
    out->write(0xE9);
    EXPECT_EQ(testsupport::narrow(out->toString()), "A\\u00e9");
}

TEST(ByteArrayOutputStream, RefusesRangesOutsideTheArray) {
    JavaPtr<ByteArrayOutputStream> out = jnew<ByteArrayOutputStream>();
    JavaPtr<JArray<signed char>> four = bytesOf({1, 2, 3, 4});
    EXPECT_THROW(out->write(four, 3, 2), IndexOutOfBoundsException);
    EXPECT_THROW(out->write(four, -1, 2), IndexOutOfBoundsException);
    EXPECT_THROW(out->write(four, 0, -1), IndexOutOfBoundsException);
    EXPECT_THROW(out->write(nullptr, 0, 1), NullPointerException);
    EXPECT_THROW(out->write(JavaPtr<JArray<signed char>>()), NullPointerException);
    EXPECT_EQ(out->size(), 0);
}

}  // namespace
