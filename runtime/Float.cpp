#include "runtime/Float.h"

#include "runtime/Double.h"
#include "runtime/String.h"

namespace java::lang {

Float* Float::TESLinvokeconstructor(float value) {
    Object::TESLinvokeconstructor();
    m_value = value;
    return this;
}

Float* Float::TESLinvokeconstructor(double value) {
    return TESLinvokeconstructor(tesl::doubleToFloat(value));
}

bool Float::equals(JavaPtr<Object> other) {
    JavaPtr<Float> number = jcast<Float>(other);
    return number && number->m_value == m_value;
}

JavaPtr<String> Float::toString() {
    return Double::toString(m_value);
}

JavaPtr<String> Float::toString(float value) {
    return Double::toString(value);
}

float Float::parseFloat(const JavaPtr<String>& text) {
    return tesl::doubleToFloat(Double::parseDouble(text));
}

JavaPtr<Float> Float::valueOf(const JavaPtr<String>& text) {
    return jnew<Float>(parseFloat(text));
}

}  // namespace java::lang
