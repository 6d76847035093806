// java.lang.Runtime: the memory and exit services, which here answer fixed numbers or do nothing:
// objects are freed by their counts, and the program never ends itself.
#pragma once

#include <mutex>

#include "runtime/Object.h"

namespace java::lang {

class Runtime : public Object {
    TESL_CLASS(Runtime, "java.lang.Runtime", Object)
public:
    Runtime() noexcept {}
    ~Runtime() override = default;

    // The one Runtime, made on the first call.
    static JavaPtr<Runtime> getRuntime();

    // Returns: the process goes on.
    virtual void exit(int status);
    virtual long long freeMemory();
    virtual void gc();
    virtual long long totalMemory();

    static JavaPtr<Runtime> myRuntime;

private:
    static std::mutex s_runtimeMutex;  // guards the making of myRuntime
};

}  // namespace java::lang
