// The text the collections' toString builds: each element's own toString, gathered as UTF-16 units.
#pragma once

#include <string>

#include "runtime/Object.h"

namespace java::lang {
class String;
}

namespace tesl {

// Appends the object's toString, or "null" for a null object or a null text.
void appendObjectText(std::u16string& out, const JavaPtr<::java::lang::Object>& object);
JavaPtr<::java::lang::String> stringOfUnits(const std::u16string& text);

}  // namespace tesl
