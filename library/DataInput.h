// java.io.DataInput: reading the primitive types and strings of the big-endian wire format.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {
class String;
}

namespace java::io {

class DataInput : public virtual ::java::lang::Smart {
    TESL_INTERFACE(DataInput, "java.io.DataInput", ::java::lang::Smart)
public:
    virtual bool readBoolean() = 0;
    virtual signed char readByte() = 0;
    virtual unsigned short readChar() = 0;
    virtual double readDouble() = 0;
    virtual float readFloat() = 0;
    virtual void readFully(const JavaPtr<JArray<signed char>>& b) = 0;
    virtual void readFully(const JavaPtr<JArray<signed char>>& b, int off, int len) = 0;
    virtual int readInt() = 0;
    virtual long long readLong() = 0;
    virtual short readShort() = 0;
    virtual int readUnsignedByte() = 0;
    virtual int readUnsignedShort() = 0;
    virtual JavaPtr<::java::lang::String> readUTF() = 0;
    virtual int skipBytes(int n) = 0;
    ~DataInput() override = default;
};

}  // namespace java::io
