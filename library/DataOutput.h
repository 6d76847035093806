// java.io.DataOutput: writing the primitive types and strings of the big-endian wire format.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {
class String;
}

namespace java::io {

class DataOutput : public virtual ::java::lang::Smart {
    TESL_INTERFACE(DataOutput, "java.io.DataOutput", ::java::lang::Smart)
public:
    virtual void write(const JavaPtr<JArray<signed char>>& b) = 0;
    virtual void write(const JavaPtr<JArray<signed char>>& b, int off, int len) = 0;
    virtual void write(int v) = 0;
    virtual void writeBoolean(bool v) = 0;
    virtual void writeByte(int v) = 0;
    virtual void writeChar(int v) = 0;
    virtual void writeChars(const JavaPtr<::java::lang::String>& s) = 0;
    virtual void writeDouble(double v) = 0;
    virtual void writeFloat(float v) = 0;
    virtual void writeInt(int v) = 0;
    virtual void writeLong(long long v) = 0;
    virtual void writeShort(int v) = 0;
    virtual void writeUTF(const JavaPtr<::java::lang::String>& s) = 0;
    ~DataOutput() override = default;
};

}  // namespace java::io
