// java.io.DataOutputStream: writes the wire format onto any output stream, every number big-endian,
// each byte through write(int). No count of the bytes written is kept.
#pragma once

#include "library/DataOutput.h"
#include "library/OutputStream.h"

namespace java::io {

class DataOutputStream : public OutputStream, public virtual DataOutput {
    TESL_CLASS(DataOutputStream, "java.io.DataOutputStream", OutputStream, DataOutput)
public:
    DataOutputStream() noexcept {}
    // Releases the target without closing it.
    ~DataOutputStream() override = default;

    DataOutputStream* TESLinvokeconstructor(const JavaPtr<OutputStream>& out);

    // Closes the target without flushing it first.
    void close() override;
    void flush() override;
    void write(const JavaPtr<JArray<signed char>>& b) override;
    void write(const JavaPtr<JArray<signed char>>& b, int off, int len) override;
    void write(int v) override;
    void writeBoolean(bool v) override;
    void writeByte(int v) override;
    void writeChar(int v) override;
    // Two bytes per unit, no length. Throws NullPointerException for a null s.
    void writeChars(const JavaPtr<::java::lang::String>& s) override;
    void writeDouble(double v) override;
    void writeFloat(float v) override;
    void writeInt(int v) override;
    void writeLong(long long v) override;
    void writeShort(int v) override;
    // A 2-byte length, then each unit as one to three bytes (U+0000 as the single byte 0x00, surrogates
    // one by one). Throws UTFDataFormatException, having written nothing, when the encoding passes
    // 65,535 bytes, and NullPointerException for a null s.
    void writeUTF(const JavaPtr<::java::lang::String>& s) override;

private:
    OutputStream& target();

    JavaPtr<OutputStream> m_target;
};

}  // namespace java::io
