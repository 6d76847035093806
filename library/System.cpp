#include "library/System.h"

#include <sys/time.h>

#include <atomic>
#include <cstring>
#include <ctime>
#include <mutex>

#include "platform/device/DeviceNatives.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/ArrayStoreException.h"
#include "runtime/NullPointerException.h"
#include "runtime/Runtime.h"
#include "runtime/RuntimeUtilities.h"
#include "runtime/String.h"
#include "runtime/Throwable.h"

namespace java::lang {

JavaPtr<::java::io::PrintStream> System::out;
JavaPtr<::java::io::PrintStream> System::err;

namespace {

// The offset from gettimeofday's milliseconds to the clock's: -1 until the first reading fixes it,
// once for the whole process however many threads read the clock first at the same moment.
std::atomic<long long> _base_time{-1};
std::once_flag baseTimeOnce;

template <class E>
void copyElements(const JavaPtr<JArray<E>>& src, int srcPos, const JavaPtr<JArray<E>>& dst, int dstPos,
                  int length) {
    if (!src || !dst) throw NullPointerException();
    const long long srcEnd = static_cast<long long>(srcPos) + length;
    const long long dstEnd = static_cast<long long>(dstPos) + length;
    if (srcPos < 0 || dstPos < 0 || length < 0 || srcEnd > src->length || dstEnd > dst->length)
        throw ArrayIndexOutOfBoundsException();
    if (length == 0) return;
    // memmove gives the same result as an element-wise copy in the safe direction when one array
    // overlaps itself.
    std::memmove(dst->data + dstPos, src->data + srcPos, sizeof(E) * static_cast<size_t>(length));
}

// Copies when src is a one-dimensional array of E; false when it is not one.
template <class E>
bool copyIfArrayOf(const JavaPtr<Object>& src, int srcPos, const JavaPtr<Object>& dst, int dstPos,
                   int length) {
    // The dimension test keeps an array of E arrays, which answers E's id too, from passing for one.
    if (!instanceofArray(src.counted(), JArray<E>::TESLclassTypeID, 1)) return false;
    if (!instanceofArray(dst.counted(), JArray<E>::TESLclassTypeID, 1)) throw ArrayStoreException();
    copyElements(jcast<JArray<E>>(src), srcPos, jcast<JArray<E>>(dst), dstPos, length);
    return true;
}

tesl::ReferenceArrayAccess* referenceAccess(const JavaPtr<Object>& object) {
    return dynamic_cast<tesl::ReferenceArrayAccess*>(object.counted());
}

// Element by element, in the direction that reads each source element before it is overwritten when
// both are one array; each element is checked against the destination's element type as it is stored.
void copyReferences(tesl::ReferenceArrayAccess* src, int srcPos, tesl::ReferenceArrayAccess* dst, int dstPos,
                    int length) {
    const long long srcEnd = static_cast<long long>(srcPos) + length;
    const long long dstEnd = static_cast<long long>(dstPos) + length;
    if (srcPos < 0 || dstPos < 0 || length < 0 || srcEnd > src->referenceCount() ||
        dstEnd > dst->referenceCount())
        throw ArrayIndexOutOfBoundsException();
    const bool downwards = src == dst && srcPos < dstPos;
    for (int k = 0; k < length; ++k) {
        const int i = downwards ? length - 1 - k : k;
        if (!dst->storeReference(dstPos + i, src->referenceAt(srcPos + i))) throw ArrayStoreException();
    }
}

bool keyIs(const JavaPtr<String>& key, const char* name) {
    return key->equals(jnew<String>(name));
}

void printThroughSystemOut(const JavaPtr<String>& text) {
    JavaPtr<::java::io::PrintStream> stream = System::out;
    if (stream) {
        stream->println(text);
    } else {
        print_native(text);
    }
}

}  // namespace

long long System::currentTimeMillis() {
    timeval now{};
    gettimeofday(&now, nullptr);
    const long long ms = static_cast<long long>(now.tv_sec) * 1000 + now.tv_usec / 1000;
    std::call_once(baseTimeOnce,
                   [ms] { _base_time.store(static_cast<long long>(std::time(nullptr)) * 1000 - ms); });
    return ms + _base_time.load(std::memory_order_relaxed);
}

void System::arraycopy(const JavaPtr<JArray<float>>& src, int srcPos, const JavaPtr<JArray<float>>& dst,
                       int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<JArray<double>>& src, int srcPos, const JavaPtr<JArray<double>>& dst,
                       int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<JArray<short>>& src, int srcPos, const JavaPtr<JArray<short>>& dst,
                       int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<JArray<bool>>& src, int srcPos, const JavaPtr<JArray<bool>>& dst,
                       int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<JArray<long long>>& src, int srcPos,
                       const JavaPtr<JArray<long long>>& dst, int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<JArray<int>>& src, int srcPos, const JavaPtr<JArray<int>>& dst,
                       int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<JArray<unsigned short>>& src, int srcPos,
                       const JavaPtr<JArray<unsigned short>>& dst, int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<JArray<signed char>>& src, int srcPos,
                       const JavaPtr<JArray<signed char>>& dst, int dstPos, int length) {
    copyElements(src, srcPos, dst, dstPos, length);
}

void System::arraycopy(const JavaPtr<Object>& src, int srcPos, const JavaPtr<Object>& dst, int dstPos,
                       int length) {
    if (!src || !dst) throw NullPointerException();
    if (copyIfArrayOf<bool>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<signed char>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<unsigned short>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<short>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<int>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<long long>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<float>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<double>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<unsigned char>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<unsigned int>(src, srcPos, dst, dstPos, length) ||
        copyIfArrayOf<unsigned long long>(src, srcPos, dst, dstPos, length))
        return;
    tesl::ReferenceArrayAccess* from = referenceAccess(src);
    tesl::ReferenceArrayAccess* to = referenceAccess(dst);
    if (from == nullptr || to == nullptr) throw ArrayStoreException();
    copyReferences(from, srcPos, to, dstPos, length);
}

JavaPtr<String> System::getProperty(const JavaPtr<String>& key) {
    if (!key) return nullptr;
    if (keyIs(key, "microedition.encoding")) return jnew<String>("ISO8859-1");
    if (keyIs(key, "microedition.configuration")) return jnew<String>("CLDC-1.1");
    if (keyIs(key, "microedition.profiles")) return jnew<String>("MIDP-2.0");
    return getDeviceProperty(key);
}

JavaPtr<String> System::getDeviceProperty(const JavaPtr<String>& key) {
    if (!key) return nullptr;
    if (keyIs(key, "microedition.locale")) return jnew<String>(_getLocale())->replace('_', '-');
    if (keyIs(key, "microedition.location.version")) return jnew<String>("1.0");
    if (keyIs(key, "microedition.platform")) {
        if (_isIPhone()) return jnew<String>("iPhone");
        return jnew<String>(_isIPad() ? "iPad" : "iPod");
    }
    if (keyIs(key, "ios.retina")) return jnew<String>(_isRetinaDisplay() ? "true" : "false");
    return nullptr;
}

int32_t System::identityHashCode(const JavaPtr<Object>& object) {
    if (!object) return 0;
    const auto address = reinterpret_cast<uintptr_t>(object.counted());
    return static_cast<int32_t>(static_cast<uint32_t>(address) ^ static_cast<uint32_t>(address >> 32));
}

void System::gc() {}

void System::exit(int status) {
    Runtime::getRuntime()->exit(status);
}

}  // namespace java::lang

void System_staticInit() {
    using java::io::OutputStream;
    using java::io::PrintStream;
    java::lang::System::err = jnew<PrintStream>(JavaPtr<OutputStream>());
    java::lang::System::out = jnew<PrintStream>(JavaPtr<OutputStream>());
    setStackTracePrinter(java::lang::printThroughSystemOut);
}

void System_staticDestroy() {
    setStackTracePrinter(nullptr);
    java::lang::System::err = nullptr;
    java::lang::System::out = nullptr;
}
