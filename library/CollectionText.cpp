#include "library/CollectionText.h"

#include "runtime/String.h"

namespace tesl {

void appendObjectText(std::u16string& out, const JavaPtr<::java::lang::Object>& object) {
    JavaPtr<::java::lang::String> text = object ? object->toString() : nullptr;
    if (!text) {
        out += u"null";
        return;
    }
    if (text->unitData() != nullptr)
        out.append(reinterpret_cast<const char16_t*>(text->unitData()), static_cast<size_t>(text->length()));
}

JavaPtr<::java::lang::String> stringOfUnits(const std::u16string& text) {
    return jnew<::java::lang::String>(reinterpret_cast<const unsigned short*>(text.data()),
                                      static_cast<int>(text.size()));
}

}  // namespace tesl
