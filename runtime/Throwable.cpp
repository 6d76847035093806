#include "runtime/Throwable.h"

#include "runtime/RuntimeUtilities.h"

void throwableConstructor(JavaPtr<java::lang::String>) {}

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
    print_native(text);
}

}  // namespace java::lang
