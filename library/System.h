// java.lang.System: the clock, array copies, the standard print streams and the system properties.
// It lives in the library because System.out is a library print stream and the device properties
// come from the platform.
#pragma once

#include <cstdint>

#include "library/PrintStream.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {

class String;

class System : public Object {
    TESL_CLASS(System, "java.lang.System", Object)
public:
    // Wall-clock milliseconds since 1970-01-01 UTC. The first reading of the process is a whole
    // second (time() * 1000); later ones advance from it as gettimeofday measures.
    static long long currentTimeMillis();

    // Copies length elements from src[srcPos] to dst[dstPos], as if through a temporary copy when both
    // are one array. Throws NullPointerException for a null array and ArrayIndexOutOfBoundsException
    // for a negative position or length or a range beyond either array; nothing is copied then.
    static void arraycopy(const JavaPtr<JArray<float>>& src, int srcPos, const JavaPtr<JArray<float>>& dst,
                          int dstPos, int length);
    static void arraycopy(const JavaPtr<JArray<double>>& src, int srcPos, const JavaPtr<JArray<double>>& dst,
                          int dstPos, int length);
    static void arraycopy(const JavaPtr<JArray<short>>& src, int srcPos, const JavaPtr<JArray<short>>& dst,
                          int dstPos, int length);
    static void arraycopy(const JavaPtr<JArray<bool>>& src, int srcPos, const JavaPtr<JArray<bool>>& dst,
                          int dstPos, int length);
    static void arraycopy(const JavaPtr<JArray<long long>>& src, int srcPos,
                          const JavaPtr<JArray<long long>>& dst, int dstPos, int length);
    static void arraycopy(const JavaPtr<JArray<int>>& src, int srcPos, const JavaPtr<JArray<int>>& dst,
                          int dstPos, int length);
    static void arraycopy(const JavaPtr<JArray<unsigned short>>& src, int srcPos,
                          const JavaPtr<JArray<unsigned short>>& dst, int dstPos, int length);
    static void arraycopy(const JavaPtr<JArray<signed char>>& src, int srcPos,
                          const JavaPtr<JArray<signed char>>& dst, int dstPos, int length);
    // Arrays of references, and arrays of primitives whose type is found at run time (those without an
    // overload of their own). Beyond the errors above it throws ArrayStoreException when either object
    // is not an array, when one holds primitives and the other another type, and when a reference is not
    // of the destination's element type; the elements before that one have then been copied.
    static void arraycopy(const JavaPtr<Object>& src, int srcPos, const JavaPtr<Object>& dst, int dstPos,
                          int length);

    // A new String for a key of the table, else the device's answer (getDeviceProperty); null for a
    // null key or one the table does not hold.
    static JavaPtr<String> getProperty(const JavaPtr<String>& key);
    // The locale, location version, platform and screen kind, asked of the platform at each call.
    static JavaPtr<String> getDeviceProperty(const JavaPtr<String>& key);

    // The address of the Smart part (folded to 32 bits as Object::hashCode folds); 0 for null.
    static int32_t identityHashCode(const JavaPtr<Object>& object);
    // Both return at once: objects go with their last reference, and the program never ends itself.
    static void gc();
    static void exit(int status);

    static JavaPtr<::java::io::PrintStream> out;
    static JavaPtr<::java::io::PrintStream> err;
};

}  // namespace java::lang

// Makes System.err, then System.out: print streams without a target, so both write to standard output;
// exceptions' printStackTrace then writes through System.out.
void System_staticInit();
// Drops System.err, then System.out.
void System_staticDestroy();
