#include "library/Vector.h"

#include <algorithm>
#include <string>

#include "library/CollectionText.h"
#include "library/EnumerationImpl.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NoSuchElementException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

namespace java::util {

using ::java::lang::ArrayIndexOutOfBoundsException;
using ::java::lang::String;

Vector* Vector::TESLinvokeconstructor() {
    return TESLinvokeconstructor(0, DEFAULT_CAPACITY_INCREMENT);
}

Vector* Vector::TESLinvokeconstructor(int initialCapacity) {
    return TESLinvokeconstructor(initialCapacity, DEFAULT_CAPACITY_INCREMENT);
}

Vector* Vector::TESLinvokeconstructor(int initialCapacity, int increment) {
    Object::TESLinvokeconstructor();
    if (initialCapacity > ObjectArray::maxLength) throw ::java::lang::IllegalArgumentException();
    capacityIncrement = increment;
    elementCount = 0;
    elementData = jnewArray<JavaPtr<Object>>(std::max(initialCapacity, 0));
    return this;
}

void Vector::reallocate(int newCapacity) {
    if (newCapacity > ObjectArray::maxLength) throw ::java::lang::IllegalArgumentException();
    JavaPtr<ObjectArray> grown = jnewArray<JavaPtr<Object>>(newCapacity);
    for (int32_t i = 0; i < elementCount; ++i) grown->data[i] = std::move(elementData->data[i]);
    elementData = std::move(grown);
}

JavaPtr<String> Vector::toString() {
    std::u16string text = u"[";
    for (int32_t i = 0; i < elementCount; ++i) {
        if (i > 0) text += u", ";
        tesl::appendObjectText(text, elementData->data[i]);
    }
    text += u"]";
    return tesl::stringOfUnits(text);
}

void Vector::addElement(const JavaPtr<Object>& obj) {
    insertElementAt(obj, size());
}

int Vector::capacity() {
    return elementData->length;
}

bool Vector::contains(const JavaPtr<Object>& elem) {
    for (int32_t i = 0; i < elementCount; ++i)
        if (elementData->data[i] == elem) return true;
    return false;
}

void Vector::copyInto(const JavaPtr<ObjectArray>& anArray) {
    if (!anArray) throw ::java::lang::NullPointerException();
    if (anArray->length < elementCount) throw ArrayIndexOutOfBoundsException();
    for (int32_t i = 0; i < elementCount; ++i) anArray->data[i] = elementData->data[i];
}

JavaPtr<::java::lang::Object> Vector::elementAt(int index) {
    if (index < 0 || index >= elementCount) throw ArrayIndexOutOfBoundsException();
    return elementData->data[index];
}

JavaPtr<Enumeration> Vector::elements() {
    JavaPtr<ObjectArray> snapshot = jnew<ObjectArray>(elementCount);
    for (int32_t i = 0; i < elementCount; ++i) snapshot->data[i] = elementData->data[i];
    return jnew<EnumerationImpl>(snapshot);
}

void Vector::ensureCapacity(int minCapacity) {
    if (capacity() >= minCapacity) return;
    reallocate(minCapacity);
}

JavaPtr<::java::lang::Object> Vector::firstElement() {
    if (elementCount == 0) throw NoSuchElementException();
    return elementData->data[0];
}

int Vector::indexOf(const JavaPtr<Object>& elem) {
    return indexOf(elem, 0);
}

int Vector::indexOf(const JavaPtr<Object>& elem, int index) {
    if (index < 0) throw ArrayIndexOutOfBoundsException();
    for (int32_t i = index; i < elementCount; ++i) {
        const JavaPtr<Object>& element = elementData->data[i];
        if (element == elem) return i;
        if (elem && elem->equals(element)) return i;
    }
    return -1;
}

void Vector::insertElementAt(const JavaPtr<Object>& obj, int index) {
    if (index < 0 || index > elementCount) throw ArrayIndexOutOfBoundsException();
    if (elementCount == capacity()) {
        // A vector made with no positive increment would never gain room: it doubles instead.
        long long wanted = capacityIncrement > 0 ? static_cast<long long>(elementCount) + capacityIncrement
                                                 : std::max(2LL * elementCount, elementCount + 1LL);
        ensureCapacity(static_cast<int>(std::min<long long>(wanted, ObjectArray::maxLength)));
        if (elementCount == capacity()) throw ::java::lang::IllegalArgumentException();
    }
    for (int32_t j = elementCount - 1; j >= index; --j)
        elementData->data[j + 1] = std::move(elementData->data[j]);
    elementData->data[index] = obj;
    ++elementCount;
}

bool Vector::isEmpty() {
    return elementCount == 0;
}

JavaPtr<::java::lang::Object> Vector::lastElement() {
    if (elementCount == 0) throw NoSuchElementException();
    return elementData->data[elementCount - 1];
}

int Vector::lastIndexOf(const JavaPtr<Object>& elem) {
    return lastIndexOf(elem, elementCount - 1);
}

int Vector::lastIndexOf(const JavaPtr<Object>& elem, int index) {
    if (index >= elementCount) throw ArrayIndexOutOfBoundsException();
    for (int32_t i = index; i >= 0; --i)
        if (elementData->data[i] == elem) return i;
    return -1;
}

void Vector::removeAllElements() {
    for (int32_t i = 0; i < elementCount; ++i) elementData->data[i] = nullptr;
    elementCount = 0;
}

bool Vector::removeElement(const JavaPtr<Object>& obj) {
    for (int32_t i = 0; i < elementCount; ++i) {
        if (elementData->data[i] == obj) {
            removeElementAt(i);
            return true;
        }
    }
    return false;
}

void Vector::removeElementAt(int index) {
    if (index < 0 || index >= elementCount) throw ArrayIndexOutOfBoundsException();
    // Released only once the vector is whole again, in case its destruction looks at the vector.
    JavaPtr<Object> removed = std::move(elementData->data[index]);
    for (int32_t j = index + 1; j < elementCount; ++j)
        elementData->data[j - 1] = std::move(elementData->data[j]);
    --elementCount;
}

void Vector::setElementAt(const JavaPtr<Object>& obj, int index) {
    if (index < 0 || index >= elementCount) return;
    elementData->data[index] = obj;
}

void Vector::setSize(int newSize) {
    if (newSize < 0) throw ArrayIndexOutOfBoundsException();
    if (newSize > capacity()) {
        ensureCapacity(newSize);
    } else {
        for (int32_t i = newSize; i < elementCount; ++i) elementData->data[i] = nullptr;
    }
    elementCount = newSize;
}

int Vector::size() {
    return elementCount;
}

void Vector::trimToSize() {
    if (elementCount < capacity()) reallocate(elementCount);
}

}  // namespace java::util
