// java.lang.Throwable, the root of the exception family. Exceptions are thrown by value and caught by
// class; a rethrow is `throw;`, which keeps the thrown class.
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

namespace java::lang {

class Throwable : public Object {
    TESL_CLASS(Throwable, "java.lang.Throwable", Object)
public:
    // An exception object lives in the exception runtime's storage, which owns one pin on it: a
    // handler may keep it in a JavaPtr without the release ever deleting that storage.
    static constexpr bool TESLstoragePinned = true;

    Throwable() noexcept { m_referenceCount.store(1, std::memory_order_relaxed); }
    Throwable(const Throwable& other) noexcept : Smart(other), Object(other), message(other.message) {
        m_referenceCount.store(1, std::memory_order_relaxed);
    }
    ~Throwable() override = default;

    Throwable* TESLinvokeconstructor();
    Throwable* TESLinvokeconstructor(const JavaPtr<String>& text);

    // ":" followed by the message, or the empty string when there is none.
    JavaPtr<String> toString() override;
    virtual JavaPtr<String> getMessage();
    // Writes toString() and a line end through System.out (to standard output).
    virtual void printStackTrace();

    JavaPtr<String> message;
};

}  // namespace java::lang

// Called once by every construction of an exception, with the message when Throwable's own text
// constructor is used and null otherwise. It records nothing in this build.
void throwableConstructor(JavaPtr<java::lang::String> message);

// Where printStackTrace sends its text: System.out, which the library sets up after the runtime, so the
// library installs this when System.out is made and removes it when System.out goes. Without one the
// text and a line end go straight to standard output, the same bytes System.out would write.
using StackTracePrinter = void (*)(const JavaPtr<java::lang::String>& text);
void setStackTracePrinter(StackTracePrinter printer);

// The two constructor bodies every exception class has.
#define TESL_EXCEPTION_CONSTRUCTORS(Self, Base)                              \
public:                                                                      \
    Self* TESLinvokeconstructor() {                                          \
        Base::TESLinvokeconstructor();                                       \
        return this;                                                         \
    }                                                                        \
    Self* TESLinvokeconstructor(const JavaPtr<::java::lang::String>& text) { \
        Self::TESLinvokeconstructor();                                       \
        this->message = text;                                                \
        return this;                                                         \
    }                                                                        \
                                                                             \
private:
