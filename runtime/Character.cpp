#include "runtime/Character.h"

#include "runtime/String.h"

namespace java::lang {

Character* Character::TESLinvokeconstructor(unsigned short unit) {
    Object::TESLinvokeconstructor();
    m_value = unit;
    return this;
}

bool Character::equals(JavaPtr<Object> other) {
    JavaPtr<Character> character = jcast<Character>(other);
    return character && character->m_value == m_value;
}

JavaPtr<String> Character::toString() {
    return String::valueOf(m_value);
}

}  // namespace java::lang
