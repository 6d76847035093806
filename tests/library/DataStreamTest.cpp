#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "library/ByteArrayInputStream.h"
#include "library/ByteArrayOutputStream.h"
#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "runtime/EOFException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "runtime/UTFDataFormatException.h"
#include "tests/library/ByteArrays.h"
#include "tests/support/StringText.h"

using namespace java::io;
using java::lang::String;
using testsupport::bytesOf;
using testsupport::contentsOf;
using testsupport::narrow;

namespace {

JavaPtr<String> unitsOf(const std::u16string& units) {
    return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                        static_cast<int>(units.size()));
}

std::u16string unitsIn(const JavaPtr<String>& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s->unitData()), static_cast<size_t>(s->length()));
}

std::vector<int> written(const std::function<void(DataOutputStream&)>& action) {
    JavaPtr<ByteArrayOutputStream> bytes = jnew<ByteArrayOutputStream>();
    JavaPtr<DataOutputStream> out = jnew<DataOutputStream>(bytes);
    action(*out);
    return contentsOf(bytes->toByteArray());
}

JavaPtr<DataInputStream> reading(const std::vector<int>& bytes) {
    return jnew<DataInputStream>(jnew<ByteArrayInputStream>(bytesOf(bytes)));
}

TEST(DataOutputStream, WritesBigEndianBytes) {
    struct Case {
        const char* what;
        std::function<void(DataOutputStream&)> action;
        std::vector<int> bytes;
    };
    const std::vector<Case> cases = {
        {"writeInt(258)", [](DataOutputStream& d) { d.writeInt(258); }, {0, 0, 1, 2}},
        {"writeInt(-2)", [](DataOutputStream& d) { d.writeInt(-2); }, {0xFF, 0xFF, 0xFF, 0xFE}},
        {"writeShort(-2)", [](DataOutputStream& d) { d.writeShort(-2); }, {0xFF, 0xFE}},
        {"writeShort(0x12345)", [](DataOutputStream& d) { d.writeShort(0x12345); }, {0x23, 0x45}},
        {"writeChar(0x20AC)", [](DataOutputStream& d) { d.writeChar(0x20AC); }, {0x20, 0xAC}},
        {"writeLong(1)", [](DataOutputStream& d) { d.writeLong(1); }, {0, 0, 0, 0, 0, 0, 0, 1}},
        {"writeLong(min)", [](DataOutputStream& d) { d.writeLong(INT64_MIN); }, {0x80, 0, 0, 0, 0, 0, 0, 0}},
        {"writeFloat(1.0)", [](DataOutputStream& d) { d.writeFloat(1.0f); }, {0x3F, 0x80, 0, 0}},
        {"writeDouble(-2.0)", [](DataOutputStream& d) { d.writeDouble(-2.0); }, {0xC0, 0, 0, 0, 0, 0, 0, 0}},
        {"writeBoolean", [](DataOutputStream& d) { d.writeBoolean(true), d.writeBoolean(false); }, {1, 0}},
        {"writeByte(0x1FF)", [](DataOutputStream& d) { d.writeByte(0x1FF); }, {0xFF}},
        {"writeChars", [](DataOutputStream& d) { d.writeChars(unitsOf(u"A\u20ac")); }, {0, 0x41, 0x20, 0xAC}},
        {"writeUTF of empty", [](DataOutputStream& d) { d.writeUTF(jnew<String>()); }, {0, 0}},
        {"writeUTF of A U+0000 e-acute euro",
         [](DataOutputStream& d) { d.writeUTF(unitsOf(std::u16string(u"A\0\u00e9\u20ac", 4))); },
         {0, 7, 0x41, 0x00, 0xC3, 0xA9, 0xE2, 0x82, 0xAC}},
        {"writeUTF of a lone surrogate",
         [](DataOutputStream& d) { d.writeUTF(unitsOf(u"\xd800")); },
         {0, 3, 0xED, 0xA0, 0x80}},
    };
    for (const Case& c : cases) EXPECT_EQ(written(c.action), c.bytes) << c.what;
}

TEST(DataOutputStream, UtfLongerThan65535BytesIsRefusedBeforeWriting) {
    std::vector<int> bytes =
        written([](DataOutputStream& d) { d.writeUTF(unitsOf(std::u16string(21845, u'\u20ac'))); });
    ASSERT_EQ(bytes.size(), 2u + 65535u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFF);

    JavaPtr<ByteArrayOutputStream> target = jnew<ByteArrayOutputStream>();
    JavaPtr<DataOutputStream> out = jnew<DataOutputStream>(target);
    EXPECT_THROW(out->writeUTF(unitsOf(std::u16string(21846, u'\u20ac'))), UTFDataFormatException);
    EXPECT_EQ(target->size(), 0);
    EXPECT_THROW(out->writeUTF(JavaPtr<String>()), java::lang::NullPointerException);
    EXPECT_THROW(out->writeChars(JavaPtr<String>()), java::lang::NullPointerException);
}

TEST(DataInputStream, ReadsUtfLenientlyAndConsumesEveryByte) {
    struct Case {
        std::vector<int> bytes;
        const char* text;
    };
    const std::vector<Case> cases = {
        {{0, 3, 0x41, 0x80, 0x42, 0x5A}, "A"},  // a bad lead byte ends the text
        {{0, 2, 0xC0, 0x80, 0x5A}, "\\u0000"},  // the overlong zero is accepted
        {{0, 3, 0xE2, 0x82, 0xAC, 0x5A}, "\\u20ac"},
        {{0, 2, 0xC3, 0x29, 0x5A}, "\\u00e9"},  // continuation bytes are not checked
        {{0, 2, 0x41, 0xC3, 0x5A}, "A"},        // a character cut off by the length
        {{0, 3, 0x41, 0xE2, 0x82, 0x5A}, "A"},
        {{0, 1, 0xF0, 0x5A}, ""},
        {{0, 0, 0x5A}, ""},
    };
    for (const Case& c : cases) {
        JavaPtr<DataInputStream> in = reading(c.bytes);
        EXPECT_EQ(narrow(in->readUTF()), c.text);
        EXPECT_EQ(in->read(), 0x5A) << "the next byte after the string's data";
    }
}

TEST(DataInputStream, UtfRoundTripsEveryUnit) {
    std::u16string all;
    for (int u = 0; u <= 0xFFFF; u += 7) all.push_back(static_cast<char16_t>(u));
    all.push_back(u'\uffff');
    std::vector<int> bytes = written([&](DataOutputStream& d) { d.writeUTF(unitsOf(all)); });
    JavaPtr<DataInputStream> in = reading(bytes);
    JavaPtr<String> back = in->readUTF();
    EXPECT_TRUE(unitsIn(back) == all);
    EXPECT_EQ(in->available(), 0);
    // The static form over any DataInput reads the same.
    JavaPtr<DataInput> asInterface = reading(bytes);
    EXPECT_TRUE(unitsIn(DataInputStream::readUTF(asInterface)) == all);
}

TEST(DataInputStream, TruncatedUtfThrowsEndOfFile) {
    EXPECT_THROW(reading({0, 3, 0x41})->readUTF(), EOFException);
    EXPECT_THROW(reading({})->readUTF(), EOFException);
    EXPECT_THROW(reading({0x41})->readUTF(), EOFException);
}

TEST(DataInputStream, OnlyByteFullyAndUtfNoticeTheEnd) {
    // Each missing byte counts as 0xFF.
    EXPECT_EQ(reading({0x12, 0x34})->readInt(), static_cast<int>(0x1234FFFF));
    EXPECT_EQ(reading({})->readInt(), -1);
    EXPECT_EQ(reading({})->readLong(), -1);
    EXPECT_EQ(reading({})->readShort(), -1);
    EXPECT_EQ(reading({})->readChar(), 0xFFFF);
    EXPECT_EQ(reading({})->readUnsignedShort(), 65535);
    EXPECT_EQ(reading({})->readUnsignedByte(), -1);
    EXPECT_TRUE(reading({})->readBoolean());
    EXPECT_EQ(std::bit_cast<uint32_t>(reading({})->readFloat()), 0xFFFFFFFFu);
    EXPECT_EQ(std::bit_cast<uint64_t>(reading({})->readDouble()), ~uint64_t{0});
    EXPECT_THROW(reading({})->readByte(), EOFException);
    EXPECT_EQ(reading({0x80})->readByte(), -128);
}

TEST(DataInputStream, ReadFully) {
    JavaPtr<JArray<signed char>> b = bytesOf({9, 9, 9, 9});
    JavaPtr<DataInputStream> in = reading({1, 2, 3});
    in->readFully(b, 0, 0);
    EXPECT_EQ(in->available(), 3);
    EXPECT_THROW(in->readFully(b, 0, -1), java::lang::IndexOutOfBoundsException);
    EXPECT_THROW(in->readFully(b), EOFException);
    EXPECT_EQ(contentsOf(b), (std::vector<int>{1, 2, 3, 9})) << "what there was is stored";
    EXPECT_THROW(in->readFully(JavaPtr<JArray<signed char>>()), java::lang::NullPointerException);

    JavaPtr<DataInputStream> exact = reading({5, 6, 7, 8, 10});
    exact->readFully(b, 1, 3);
    EXPECT_EQ(contentsOf(b), (std::vector<int>{1, 5, 6, 7}));
    EXPECT_EQ(exact->skipBytes(5), 2);
}

TEST(DataStreams, EveryWriterRoundTripsThroughItsReader) {
    const std::vector<int> ints = {0, 1, -1, INT32_MAX, INT32_MIN, 0x12345678};
    const std::vector<long long> longs = {0, -1, INT64_MAX, INT64_MIN, 0x123456789ABCDEF0LL};
    const std::vector<short> shorts = {0, -1, INT16_MAX, INT16_MIN};
    const std::vector<float> floats = {0.0f,
                                       -0.0f,
                                       1.5f,
                                       std::numeric_limits<float>::max(),
                                       std::numeric_limits<float>::denorm_min(),
                                       std::numeric_limits<float>::infinity(),
                                       -std::numeric_limits<float>::infinity(),
                                       std::numeric_limits<float>::quiet_NaN()};
    const std::vector<double> doubles = {0.0,
                                         -0.0,
                                         1e-300,
                                         std::numeric_limits<double>::max(),
                                         std::numeric_limits<double>::denorm_min(),
                                         std::numeric_limits<double>::infinity(),
                                         -std::numeric_limits<double>::infinity(),
                                         std::numeric_limits<double>::quiet_NaN()};
    std::vector<int> bytes = written([&](DataOutputStream& d) {
        for (int v : ints) d.writeInt(v);
        for (long long v : longs) d.writeLong(v);
        for (short v : shorts) d.writeShort(v);
        for (short v : shorts) d.writeChar(v);
        for (float v : floats) d.writeFloat(v);
        for (double v : doubles) d.writeDouble(v);
        for (int v : {-128, 127, 0}) d.writeByte(v);
        d.writeBoolean(true);
        d.writeBoolean(false);
    });
    JavaPtr<DataInputStream> in = reading(bytes);
    for (int v : ints) EXPECT_EQ(in->readInt(), v);
    for (long long v : longs) EXPECT_EQ(in->readLong(), v);
    for (short v : shorts) EXPECT_EQ(in->readShort(), v);
    for (short v : shorts) EXPECT_EQ(in->readChar(), static_cast<unsigned short>(v));
    for (float v : floats) EXPECT_EQ(std::bit_cast<uint32_t>(in->readFloat()), std::bit_cast<uint32_t>(v));
    for (double v : doubles) EXPECT_EQ(std::bit_cast<uint64_t>(in->readDouble()), std::bit_cast<uint64_t>(v));
    EXPECT_EQ(in->readByte(), -128);
    EXPECT_EQ(in->readUnsignedByte(), 127);
    EXPECT_EQ(in->readByte(), 0);
    EXPECT_TRUE(in->readBoolean());
    EXPECT_FALSE(in->readBoolean());
    EXPECT_EQ(in->read(), -1);
}

// A byte-array stream whose read() answers each byte inverted.
class InvertingByteArrayInputStream : public ByteArrayInputStream {
    TESL_CLASS(InvertingByteArrayInputStream, "test.InvertingByteArrayInputStream", ByteArrayInputStream)
public:
    int read() override {
        const int c = ByteArrayInputStream::read();
        return c < 0 ? c : c ^ 0xFF;
    }
    using ByteArrayInputStream::read;
};

// A data stream whose own read() answers each byte plus one.
class IncrementingDataInputStream : public DataInputStream {
    TESL_CLASS(IncrementingDataInputStream, "test.IncrementingDataInputStream", DataInputStream)
public:
    int read() override {
        const int c = DataInputStream::read();
        return c < 0 ? c : (c + 1) & 0xFF;
    }
    using DataInputStream::read;
};

TEST(DataInputStream, ReadIntTakesFourBytesAtOnceOnlyWhereNoReadIsOverridden) {
    const std::vector<int> bytes = {0x12, 0x34, 0x56, 0x78, 0x01, 0x9A, 0xBC, 0xDE, 0xF0, 0x7F};
    // Plain streams: ints, a byte between them that moves the position, and the end read as 0xFF.
    JavaPtr<ByteArrayInputStream> source = jnew<ByteArrayInputStream>(bytesOf(bytes));
    JavaPtr<DataInputStream> plain = jnew<DataInputStream>(source);
    EXPECT_EQ(plain->readInt(), 0x12345678);
    EXPECT_EQ(plain->read(), 0x01);
    EXPECT_EQ(plain->readInt(), static_cast<int>(0x9ABCDEF0));
    EXPECT_EQ(plain->readInt(), static_cast<int>(0x7FFFFFFF));
    EXPECT_EQ(plain->readInt(), -1);
    source->reset();
    EXPECT_EQ(plain->readLong(), static_cast<long long>(0x12345678019ABCDEULL));
    plain->close();
    EXPECT_EQ(plain->readInt(), -1) << "a closed source reads as its end";

    const struct {
        const char* what;
        JavaPtr<DataInputStream> in;
        int expected;
    } overridden[] = {
        {"the source's read", jnew<DataInputStream>(jnew<InvertingByteArrayInputStream>(bytesOf(bytes))),
         static_cast<int>(0xEDCBA987)},
        {"the data stream's read",
         jnew<IncrementingDataInputStream>(jnew<ByteArrayInputStream>(bytesOf(bytes))), 0x13355779},
    };
    for (const auto& row : overridden) EXPECT_EQ(row.in->readInt(), row.expected) << row.what;
}

// Logs the calls a data stream passes on.
class RecordingTarget : public OutputStream {
    TESL_CLASS(RecordingTarget, "test.DataRecordingTarget", OutputStream)
public:
    std::string calls;
    void write(int v) override { calls += "w" + std::to_string(v) + " "; }
    void write(const JavaPtr<JArray<signed char>>& b) override {
        calls += "block" + std::to_string(b->length) + " ";
    }
    void flush() override { calls += "flush "; }
    void close() override { calls += "close "; }
    using OutputStream::write;
};

TEST(DataStreams, PassCallsToTheStreamBeneath) {
    JavaPtr<RecordingTarget> target = jnew<RecordingTarget>();
    JavaPtr<DataOutputStream> out = jnew<DataOutputStream>(target);
    out->writeUTF(testsupport::jstr("ab"));
    out->flush();
    out->close();
    EXPECT_EQ(target->calls, "w0 w2 block2 flush close ")
        << "UTF bytes go as one block; close does not flush";

    JavaPtr<ByteArrayInputStream> source = jnew<ByteArrayInputStream>(bytesOf({1, 2, 3}));
    JavaPtr<DataInputStream> in = jnew<DataInputStream>(source);
    EXPECT_TRUE(in->markSupported());
    EXPECT_EQ(in->skip(1), 1);
    in->mark(0);
    EXPECT_EQ(in->read(), 2);
    in->reset();
    EXPECT_EQ(in->available(), 2);
    in->close();
    EXPECT_EQ(source->read(), -1) << "closing the data stream closes its source";

    JavaPtr<DataInputStream> empty = jnew<DataInputStream>(nullptr);
    EXPECT_EQ(empty->available(), 0);
    empty->close();
    EXPECT_THROW(empty->read(), java::lang::NullPointerException);
}

}  // namespace
