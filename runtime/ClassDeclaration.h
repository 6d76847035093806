// Class type ids and the generated cast members every class and interface carries.
// A class lists its superclass and the interfaces it implements once; its cast table follows from that.
#pragma once

#include <cstdint>
#include <type_traits>

namespace tesl {

// The id of a class is the String hash of its dotted name (h = 31 * h + c over 32 bits).
constexpr int32_t classTypeIdOf(const char* dottedName) {
    uint32_t h = 0;
    for (const char* c = dottedName; *c != 0; ++c) h = 31u * h + static_cast<unsigned char>(*c);
    return static_cast<int32_t>(h);
}

// The answer of a static cast probe for a null pointer and an id the class does not answer.
inline void* notAnswered() {
    return reinterpret_cast<void*>(~uintptr_t{0});
}

// Whether Base is itself an interface. A class inherits its interfaces' members, so the test is that
// the interface named is Base, not that the members can be found.
template <class Base>
inline constexpr bool isInterface = false;
template <class Base>
requires std::is_same_v<typename Base::TESLinterfaceSelf, Base>
inline constexpr bool isInterface<Base> = true;

// What a base answers as part of a class: an interface only its own list, any other base its probe.
template <class Base>
inline void* probeBase(Base* p, int id) {
    if constexpr (isInterface<Base>)
        return Base::castListedTypeIDS(p, id);
    else
        return Base::castAsTypeIDS(p, id);
}

// Asks each base in turn. For a non-null p a non-null answer wins; for a null p an answer of null
// means "the class answers this id".
template <class Self, class... Bases>
inline void* probeBases(Self* p, int id) {
    void* answer = p ? nullptr : notAnswered();
    (void)(([&] {
        void* r = probeBase<Bases>(static_cast<Bases*>(p), id);
        if (p ? r != nullptr : r == nullptr) {
            answer = r;
            return true;
        }
        return false;
    }() || ...));
    return answer;
}

}  // namespace tesl

// Members of a class whose id is the hash of its dotted name. The first base listed is the superclass,
// the others are the interfaces it implements.
#define TESL_CLASS(Self, dottedName, ...) \
    TESL_CLASS_WITH_ID(Self, dottedName, ::tesl::classTypeIdOf(dottedName), __VA_ARGS__)

// Members of a class whose id does not follow the hash rule.
#define TESL_CLASS_WITH_ID(Self, dottedName, id, ...)            \
public:                                                          \
    static constexpr int32_t TESLclassTypeID = (id);             \
    static constexpr const char* TESLclassName = dottedName;     \
    const char* getClassTypeName() override {                    \
        return TESLclassName;                                    \
    }                                                            \
    void* castAsTypeID(int typeId) override {                    \
        return castAsTypeIDS(this, typeId);                      \
    }                                                            \
    static void* castAsTypeIDS(Self* p, int typeId) {            \
        if (typeId == TESLclassTypeID) return p;                 \
        return ::tesl::probeBases<Self, __VA_ARGS__>(p, typeId); \
    }                                                            \
                                                                 \
private:

// Members of an interface. Its own list: its own id with p itself, the interfaces it extends by their own
// lists, Smart's with the Smart part, and for a null p Object's (every object is one). The probe of a
// non-null p answers any other id, Object's among them, by the object's own cast: the interface's part
// is not the Object part. Classes ask their interfaces' lists only, which keeps the two from asking
// each other in a circle.
#define TESL_INTERFACE(Self, dottedName, ...)                                     \
public:                                                                           \
    static constexpr int32_t TESLclassTypeID = ::tesl::classTypeIdOf(dottedName); \
    static constexpr const char* TESLclassName = dottedName;                      \
    using TESLinterfaceSelf = Self;                                               \
    static void* castListedTypeIDS(Self* p, int typeId) {                         \
        if (typeId == TESLclassTypeID) return p;                                  \
        if (typeId == ::java::lang::Object::TESLclassTypeID) return nullptr;      \
        return ::tesl::probeBases<Self, __VA_ARGS__>(p, typeId);                  \
    }                                                                             \
    static void* castAsTypeIDS(Self* p, int typeId) {                             \
        void* listed = castListedTypeIDS(p, typeId);                              \
        if (p == nullptr || listed != nullptr) return listed;                     \
        return p->castAsTypeID(typeId);                                           \
    }                                                                             \
                                                                                  \
private:
