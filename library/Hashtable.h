// java.util.Hashtable: the map from keys to values, found through the keys' hashCode and equals. Each
// bucket is a pair of parallel key and value arrays that start with one slot and grow a slot at a time;
// the table grows by a third once its entries pass three quarters of its buckets. No operation enters
// a monitor: a table shared between threads is guarded by its users.
#pragma once

#include <cstdint>

#include "library/Enumeration.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::lang {
class String;
}

namespace java::util {

class Hashtable : public ::java::lang::Object {
    TESL_CLASS(Hashtable, "java.util.Hashtable", ::java::lang::Object)
public:
    using Object = ::java::lang::Object;
    using ObjectArray = JArray<JavaPtr<Object>>;
    using BucketArray = JArray<JavaPtr<ObjectArray>>;

    Hashtable() noexcept {}
    ~Hashtable() override = default;

    // 11 buckets.
    Hashtable* TESLinvokeconstructor();
    // A capacity of 0 gives one bucket; a negative one throws IllegalArgumentException.
    Hashtable* TESLinvokeconstructor(int initialCapacity);

    // "{" then key "," value for each entry, ", " between entries, then "}"; a null value reads "null".
    JavaPtr<::java::lang::String> toString() override;

    virtual void clear();
    // Whether some value is one that value's equals accepts. Throws NullPointerException for null.
    virtual bool contains(const JavaPtr<Object>& value);
    // This and the other operations taking a key throw NullPointerException for a null key.
    virtual bool containsKey(const JavaPtr<Object>& key);
    // A snapshot of the non-null values; it has size() places, so each null value leaves a null at the end.
    virtual JavaPtr<Enumeration> elements();
    virtual JavaPtr<Object> get(const JavaPtr<Object>& key);
    virtual bool isEmpty();
    // A snapshot of the keys, by bucket and then by slot.
    virtual JavaPtr<Enumeration> keys();
    // The previous value of the key, or null for a new key; the key object given replaces the stored one.
    virtual JavaPtr<Object> put(const JavaPtr<Object>& key, const JavaPtr<Object>& value);
    // Rebuilds the buckets at the current capacity and puts every entry back.
    virtual void rehash();
    virtual JavaPtr<Object> remove(const JavaPtr<Object>& key);
    virtual int size();

private:
    int bucketOf(int32_t hash) const;
    // The slot of the key in bucket b, or -1.
    int findSlot(int bucket, const JavaPtr<Object>& key);
    // A snapshot of the entries of the key or the value buckets, in bucket and slot order.
    JavaPtr<Enumeration> enumerationOf(const BucketArray& buckets) const;

    // Slot j of value bucket b holds the value of the key in slot j of key bucket b; a null key marks
    // an empty slot.
    JavaPtr<BucketArray> m_valueBuckets;
    JavaPtr<BucketArray> m_keyBuckets;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
};

}  // namespace java::util
