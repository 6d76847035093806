#include "runtime/Runtime.h"

namespace java::lang {

JavaPtr<Runtime> Runtime::myRuntime;
std::mutex Runtime::s_runtimeMutex;

JavaPtr<Runtime> Runtime::getRuntime() {
    std::lock_guard<std::mutex> lock(s_runtimeMutex);
    if (!myRuntime) myRuntime = jnew<Runtime>();
    return myRuntime;
}

void Runtime::exit(int) {}

long long Runtime::freeMemory() {
    return 1048576;
}

void Runtime::gc() {}

long long Runtime::totalMemory() {
    return 2097152;
}

}  // namespace java::lang
