#include "library/Hashtable.h"

#include <algorithm>
#include <new>
#include <string>

#include "library/CollectionText.h"
#include "library/EnumerationImpl.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"

namespace java::util {

using ::java::lang::NullPointerException;
using ::java::lang::String;

namespace {

constexpr int32_t kDefaultCapacity = 11;

JavaPtr<Hashtable::BucketArray> freshBuckets(int capacity) {
    JavaPtr<Hashtable::BucketArray> buckets = jnew<Hashtable::BucketArray>(capacity);
    if (buckets->length != capacity) throw std::bad_alloc();
    for (int32_t b = 0; b < capacity; ++b) {
        buckets->data[b] = jnew<Hashtable::ObjectArray>(1);
        if (buckets->data[b]->length != 1) throw std::bad_alloc();
    }
    return buckets;
}

}  // namespace

Hashtable* Hashtable::TESLinvokeconstructor() {
    return TESLinvokeconstructor(kDefaultCapacity);
}

Hashtable* Hashtable::TESLinvokeconstructor(int initialCapacity) {
    Object::TESLinvokeconstructor();
    if (initialCapacity < 0 || initialCapacity > BucketArray::maxLength)
        throw ::java::lang::IllegalArgumentException();
    // Zero buckets would leave every key without a bucket to go to.
    m_capacity = std::max(initialCapacity, 1);
    rehash();
    return this;
}

int Hashtable::bucketOf(int32_t hash) const {
    return static_cast<int>(static_cast<uint32_t>(hash) % static_cast<uint32_t>(m_capacity));
}

int Hashtable::findSlot(int bucket, const JavaPtr<Object>& key) {
    // Held here, so that an equals that changes the table cannot free the bucket under the scan.
    JavaPtr<ObjectArray> keys = m_keyBuckets->data[bucket];
    for (int32_t slot = 0; slot < keys->length; ++slot) {
        if (keys->data[slot] && key->equals(keys->data[slot])) return slot;
    }
    return -1;
}

JavaPtr<String> Hashtable::toString() {
    std::u16string text = u"{";
    bool first = true;
    for (int32_t b = 0; b < m_capacity; ++b) {
        const ObjectArray& keys = *m_keyBuckets->data[b];
        const ObjectArray& values = *m_valueBuckets->data[b];
        for (int32_t slot = 0; slot < keys.length; ++slot) {
            if (!keys.data[slot]) continue;
            if (!first) text += u", ";
            first = false;
            tesl::appendObjectText(text, keys.data[slot]);
            text += u",";
            tesl::appendObjectText(text, values.data[slot]);
        }
    }
    text += u"}";
    return tesl::stringOfUnits(text);
}

void Hashtable::clear() {
    // The entries are released after the table is whole again.
    JavaPtr<BucketArray> oldKeys = std::move(m_keyBuckets);
    JavaPtr<BucketArray> oldValues = std::move(m_valueBuckets);
    const int32_t oldCount = m_count;
    try {
        rehash();
    } catch (...) {
        m_keyBuckets = std::move(oldKeys);
        m_valueBuckets = std::move(oldValues);
        m_count = oldCount;
        throw;
    }
}

bool Hashtable::contains(const JavaPtr<Object>& value) {
    if (!value) throw NullPointerException();
    for (int32_t b = 0; b < m_capacity; ++b) {
        JavaPtr<ObjectArray> keys = m_keyBuckets->data[b];
        JavaPtr<ObjectArray> values = m_valueBuckets->data[b];
        for (int32_t slot = 0; slot < keys->length; ++slot) {
            if (keys->data[slot] && value->equals(values->data[slot])) return true;
        }
    }
    return false;
}

bool Hashtable::containsKey(const JavaPtr<Object>& key) {
    if (!key) throw NullPointerException();
    return findSlot(bucketOf(key->hashCode()), key) >= 0;
}

JavaPtr<Enumeration> Hashtable::elements() {
    return enumerationOf(*m_valueBuckets);
}

JavaPtr<Enumeration> Hashtable::enumerationOf(const BucketArray& buckets) const {
    JavaPtr<ObjectArray> snapshot = jnew<ObjectArray>(m_count);
    int32_t filled = 0;
    for (int32_t b = 0; b < m_capacity && filled < m_count; ++b) {
        const ObjectArray& bucket = *buckets.data[b];
        for (int32_t slot = 0; slot < bucket.length && filled < m_count; ++slot) {
            if (bucket.data[slot]) snapshot->data[filled++] = bucket.data[slot];
        }
    }
    return jnew<EnumerationImpl>(snapshot);
}

JavaPtr<::java::lang::Object> Hashtable::get(const JavaPtr<Object>& key) {
    if (!key) throw NullPointerException();
    const int bucket = bucketOf(key->hashCode());
    const int slot = findSlot(bucket, key);
    return slot < 0 ? nullptr : m_valueBuckets->data[bucket]->data[slot];
}

bool Hashtable::isEmpty() {
    return m_count == 0;
}

JavaPtr<Enumeration> Hashtable::keys() {
    return enumerationOf(*m_keyBuckets);
}

JavaPtr<::java::lang::Object> Hashtable::put(const JavaPtr<Object>& key, const JavaPtr<Object>& value) {
    if (!key) throw NullPointerException();
    const int32_t hash = key->hashCode();
    int bucket = bucketOf(hash);
    if (m_count > 0) {
        const int slot = findSlot(bucket, key);
        if (slot >= 0) {
            JavaPtr<Object> previous = std::move(m_valueBuckets->data[bucket]->data[slot]);
            m_keyBuckets->data[bucket]->data[slot] = key;
            m_valueBuckets->data[bucket]->data[slot] = value;
            return previous;
        }
    }
    ++m_count;
    if (m_count > (static_cast<int64_t>(m_capacity) * 3 >> 2)) {
        // Four thirds alone would leave one or two buckets where they are, and every new key would then
        // rebuild the table, recursively.
        const int32_t oldCapacity = m_capacity;
        m_capacity = static_cast<int32_t>(
            std::min<int64_t>(std::max<int64_t>(static_cast<int64_t>(m_capacity) * 4 / 3, m_capacity + 1LL),
                              BucketArray::maxLength));
        try {
            rehash();
        } catch (...) {
            m_capacity = oldCapacity;
            --m_count;
            throw;
        }
        ++m_count;
        bucket = bucketOf(hash);
    }
    ObjectArray& keys = *m_keyBuckets->data[bucket];
    ObjectArray& values = *m_valueBuckets->data[bucket];
    int32_t slot = 0;
    while (slot < keys.length && keys.data[slot]) ++slot;
    if (slot == keys.length) {
        values.append(nullptr);
        keys.append(nullptr);
        if (keys.length == slot) {
            --m_count;
            throw std::bad_alloc();
        }
    }
    keys.data[slot] = key;
    values.data[slot] = value;
    return nullptr;
}

void Hashtable::rehash() {
    JavaPtr<BucketArray> oldKeys = std::move(m_keyBuckets);
    JavaPtr<BucketArray> oldValues = std::move(m_valueBuckets);
    const int32_t oldCount = m_count;
    m_count = 0;
    try {
        m_keyBuckets = freshBuckets(m_capacity);
        m_valueBuckets = freshBuckets(m_capacity);
        if (!oldKeys) return;
        for (int32_t b = 0; b < oldKeys->length; ++b) {
            const ObjectArray& keys = *oldKeys->data[b];
            const ObjectArray& values = *oldValues->data[b];
            for (int32_t slot = 0; slot < keys.length; ++slot) {
                if (keys.data[slot]) put(keys.data[slot], values.data[slot]);
            }
        }
    } catch (...) {
        // A hashCode or equals that throws, or exhausted memory: the table stays as it was.
        m_keyBuckets = std::move(oldKeys);
        m_valueBuckets = std::move(oldValues);
        m_count = oldCount;
        throw;
    }
}

JavaPtr<::java::lang::Object> Hashtable::remove(const JavaPtr<Object>& key) {
    if (!key) throw NullPointerException();
    const int bucket = bucketOf(key->hashCode());
    const int slot = findSlot(bucket, key);
    if (slot < 0) return nullptr;
    // Released on return, once the table is consistent again.
    JavaPtr<Object> removedKey = std::move(m_keyBuckets->data[bucket]->data[slot]);
    JavaPtr<Object> removedValue = std::move(m_valueBuckets->data[bucket]->data[slot]);
    --m_count;
    return removedValue;
}

int Hashtable::size() {
    return m_count;
}

}  // namespace java::util
