// java.util.Vector: the growable array of object references every package uses. A full vector grows by
// a fixed increment, never by doubling; no operation enters a monitor, so a vector shared between
// threads is guarded by its users.
#pragma once

#include <cstdint>

#include "library/Enumeration.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {
class String;
}

namespace java::util {

class Vector : public ::java::lang::Object {
    TESL_CLASS(Vector, "java.util.Vector", ::java::lang::Object)
public:
    using Object = ::java::lang::Object;
    using ObjectArray = JArray<JavaPtr<Object>>;

    static constexpr int32_t DEFAULT_CAPACITY_INCREMENT = 10;

    Vector() noexcept {}
    ~Vector() override = default;

    Vector* TESLinvokeconstructor();
    // A negative capacity gives capacity 0.
    Vector* TESLinvokeconstructor(int initialCapacity);
    // An increment of 0 or less makes a full vector double instead.
    Vector* TESLinvokeconstructor(int initialCapacity, int capacityIncrement);

    // "[" then each element's text, ", " between them, then "]"; a null element reads "null".
    JavaPtr<::java::lang::String> toString() override;

    virtual void addElement(const JavaPtr<Object>& obj);
    virtual int capacity();
    // Identity, never equals.
    virtual bool contains(const JavaPtr<Object>& elem);
    // Throws NullPointerException for a null array and ArrayIndexOutOfBoundsException, copying nothing,
    // for one shorter than size().
    virtual void copyInto(const JavaPtr<ObjectArray>& anArray);
    // Index errors of this and the following operations throw ArrayIndexOutOfBoundsException.
    virtual JavaPtr<Object> elementAt(int index);
    // A snapshot: later changes of the vector do not show in it.
    virtual JavaPtr<Enumeration> elements();
    // Throws IllegalArgumentException for more slots than an array can have.
    virtual void ensureCapacity(int minCapacity);
    // Throws NoSuchElementException on an empty vector.
    virtual JavaPtr<Object> firstElement();
    // Identity first, then elem's equals with the element as argument.
    virtual int indexOf(const JavaPtr<Object>& elem);
    virtual int indexOf(const JavaPtr<Object>& elem, int index);
    virtual void insertElementAt(const JavaPtr<Object>& obj, int index);
    virtual bool isEmpty();
    virtual JavaPtr<Object> lastElement();
    // Identity, never equals.
    virtual int lastIndexOf(const JavaPtr<Object>& elem);
    virtual int lastIndexOf(const JavaPtr<Object>& elem, int index);
    virtual void removeAllElements();
    // The first element that is the very object given; identity, never equals.
    virtual bool removeElement(const JavaPtr<Object>& obj);
    virtual void removeElementAt(int index);
    // Does nothing for an index outside 0..size()-1.
    virtual void setElementAt(const JavaPtr<Object>& obj, int index);
    virtual void setSize(int newSize);
    virtual int size();
    virtual void trimToSize();

protected:
    int32_t capacityIncrement = 0;
    int32_t elementCount = 0;
    // Never null after construction; its length is the capacity, and slots from elementCount on are null.
    JavaPtr<ObjectArray> elementData;

private:
    // Replaces the storage by an array of exactly newCapacity slots holding the elements.
    void reallocate(int newCapacity);
};

}  // namespace java::util
