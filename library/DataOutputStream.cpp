#include "library/DataOutputStream.h"

#include "library/ByteArrayOutputStream.h"
#include "runtime/Double.h"
#include "runtime/Float.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "runtime/UTFDataFormatException.h"

namespace java::io {

using ::java::lang::String;

DataOutputStream* DataOutputStream::TESLinvokeconstructor(const JavaPtr<OutputStream>& out) {
    OutputStream::TESLinvokeconstructor();
    m_target = out;
    return this;
}

OutputStream& DataOutputStream::target() {
    if (!m_target) throw ::java::lang::NullPointerException();
    return *m_target;
}

void DataOutputStream::close() {
    target().close();
}

void DataOutputStream::flush() {
    target().flush();
}

void DataOutputStream::write(const JavaPtr<JArray<signed char>>& b) {
    target().write(b);
}

void DataOutputStream::write(const JavaPtr<JArray<signed char>>& b, int off, int len) {
    target().write(b, off, len);
}

void DataOutputStream::write(int v) {
    target().write(v);
}

void DataOutputStream::writeBoolean(bool v) {
    write(v ? 1 : 0);
}

void DataOutputStream::writeByte(int v) {
    write(v & 0xFF);
}

void DataOutputStream::writeChar(int v) {
    write((v >> 8) & 0xFF);
    write(v & 0xFF);
}

void DataOutputStream::writeChars(const JavaPtr<String>& s) {
    if (!s) throw ::java::lang::NullPointerException();
    const unsigned short* units = s->unitData();
    for (int i = 0; i < s->length(); ++i) writeChar(units[i]);
}

void DataOutputStream::writeDouble(double v) {
    writeLong(::java::lang::Double::doubleToLongBits(v));
}

void DataOutputStream::writeFloat(float v) {
    writeInt(::java::lang::Float::floatToIntBits(v));
}

void DataOutputStream::writeInt(int v) {
    write((v >> 24) & 0xFF);
    write((v >> 16) & 0xFF);
    write((v >> 8) & 0xFF);
    write(v & 0xFF);
}

void DataOutputStream::writeLong(long long v) {
    writeInt(static_cast<int>(static_cast<unsigned long long>(v) >> 32));
    writeInt(static_cast<int>(v));
}

void DataOutputStream::writeShort(int v) {
    write((v >> 8) & 0xFF);
    write(v & 0xFF);
}

void DataOutputStream::writeUTF(const JavaPtr<String>& s) {
    if (!s) throw ::java::lang::NullPointerException();
    JavaPtr<ByteArrayOutputStream> encoded = jnew<ByteArrayOutputStream>();
    const unsigned short* units = s->unitData();
    for (int i = 0; i < s->length(); ++i) {
        const unsigned u = units[i];
        if (u <= 0x7F) {
            encoded->write(static_cast<int>(u));
        } else if (u <= 0x7FF) {
            encoded->write(static_cast<int>(0xC0 | (u >> 6)));
            encoded->write(static_cast<int>(0x80 | (u & 0x3F)));
        } else {
            encoded->write(static_cast<int>(0xE0 | (u >> 12)));
            encoded->write(static_cast<int>(0x80 | ((u >> 6) & 0x3F)));
            encoded->write(static_cast<int>(0x80 | (u & 0x3F)));
        }
    }
    JavaPtr<JArray<signed char>> bytes = encoded->toByteArray();
    if (bytes->length > 0xFFFF) throw UTFDataFormatException();
    write((bytes->length >> 8) & 0xFF);
    write(bytes->length & 0xFF);
    write(bytes);
}

}  // namespace java::io
