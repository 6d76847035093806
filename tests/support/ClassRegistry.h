// A registry of the classes under test: every test executable checks that the registered type ids
// are distinct and that each class reports its own name (a class that forgot its declaration helper
// reports its base's).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

struct RegisteredClass {
    std::string className;
    int32_t typeId;
    // Names the class of a fresh instance, or is empty for interfaces and abstract classes.
    std::function<std::string()> instanceClassName;
};

std::vector<RegisteredClass>& classRegistry();

template <class T>
RegisteredClass describeClass() {
    RegisteredClass entry{T::TESLclassName, T::TESLclassTypeID, {}};
    if constexpr (requires { T::TESLstoragePinned; }) {
        entry.instanceClassName = [] { return std::string(T().getClassTypeName()); };
    } else if constexpr (!std::is_abstract_v<T> && std::is_default_constructible_v<T> &&
                         requires(T* t) { t->getClassTypeName(); }) {
        entry.instanceClassName = [] {
            T* object = new T();
            std::string name = object->getClassTypeName();
            delete object;
            return name;
        };
    }
    return entry;
}

template <class... T>
bool registerClasses() {
    (classRegistry().push_back(describeClass<T>()), ...);
    return true;
}

}  // namespace testsupport

#define QUILL_CONCAT_INNER(a, b) a##b
#define QUILL_CONCAT(a, b) QUILL_CONCAT_INNER(a, b)
// Registers classes at static initialisation: QUILL_REGISTER_CLASSES(java::lang::String, ...);
#define QUILL_REGISTER_CLASSES(...) \
    static const bool QUILL_CONCAT(registered_, __LINE__) = ::testsupport::registerClasses<__VA_ARGS__>()
