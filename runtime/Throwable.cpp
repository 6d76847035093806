#include "runtime/Throwable.h"

#include <atomic>

#include "runtime/RuntimeUtilities.h"

void throwableConstructor(JavaPtr<java::lang::String>) {}

namespace {

std::atomic<StackTracePrinter> stackTracePrinter{nullptr};

}  // namespace

void setStackTracePrinter(StackTracePrinter printer) {
    stackTracePrinter.store(printer, std::memory_order_release);
}

namespace java::lang {

Throwable* Throwable::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    throwableConstructor(message);
    return this;
}

Throwable* Throwable::TESLinvokeconstructor(const JavaPtr<String>& text) {
    Object::TESLinvokeconstructor();
    message = text;
    throwableConstructor(message);
    return this;
}

JavaPtr<String> Throwable::toString() {
    if (!message) return jnew<String>();
    String separator(":");
    return separator + JavaPtr<Object>(message);
}

JavaPtr<String> Throwable::getMessage() {
    return message;
}

void Throwable::printStackTrace() {
    JavaPtr<String> text = toString();
    if (StackTracePrinter printer = stackTracePrinter.load(std::memory_order_acquire)) {
        printer(text);
    } else {
        print_native(text);
    }
}

}  // namespace java::lang
