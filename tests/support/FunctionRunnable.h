// A Runnable that runs a C++ function, so that tests can give runtime threads small bodies inline.
#pragma once

#include <functional>
#include <utility>

#include "runtime/Object.h"
#include "runtime/Runnable.h"

namespace testsupport {

class FunctionRunnable : public java::lang::Object, public virtual java::lang::Runnable {
    TESL_CLASS(FunctionRunnable, "testsupport.FunctionRunnable", java::lang::Object, java::lang::Runnable)
public:
    FunctionRunnable() noexcept {}
    FunctionRunnable* TESLinvokeconstructor(std::function<void()> function) {
        Object::TESLinvokeconstructor();
        m_function = std::move(function);
        return this;
    }
    void run() override {
        if (m_function) m_function();
    }

private:
    std::function<void()> m_function;
};

}  // namespace testsupport
