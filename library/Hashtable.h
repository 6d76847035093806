// java.util.Hashtable: the map from keys to values, found through the keys' hashCode and equals. Each
// bucket is a run of key and value slots that starts with one slot and grows a slot at a time; the table
// grows by a third once its entries pass three quarters of its buckets. No operation enters a monitor: a
// table shared between threads is guarded by its users.
#pragma once

#include <cstdint>
#include <vector>

#include "library/BlockCache.h"
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
    // One slot of a bucket. The slots of all buckets lie in one array, each bucket's chained in slot
    // order; a null key marks an empty slot (its value is null too). A bucket with no node yet stands for
    // the one empty slot a new bucket has: both take the first key put into them.
    struct Node {
        JavaPtr<Object> key;
        JavaPtr<Object> value;
        int32_t next = -1;
        // The key's hashCode when it was stored: a string's never changes, so a string search skips
        // the slots of other hashes without asking equals (which for a string has no side effects).
        int32_t hash = 0;
    };

    // Large node arrays come back from a per-thread cache: a big table dropped and built again does not
    // fault in fresh pages for every rebuild.
    using NodeArray = std::vector<Node, tesl::BlockCacheAllocator<Node>>;

    void setCapacity(int32_t capacity);
    // The rebuild of a table whose keys are all strings and whose slots are all full: the nodes stay
    // where they are and only the chains are relinked. False (nothing changed) for any other table.
    bool relinkStringKeys();
    int32_t bucketOf(int32_t hash) const;
    // The node of the key, or -1. A key's equals may change the table: when it rebuilt the buckets, the
    // scan answers -1 rather than go on in a chain that is gone.
    int32_t findNode(int32_t hash, const JavaPtr<Object>& key);
    // Stores a new key in the first empty slot of its bucket, or in a new last slot.
    void placeNew(int32_t hash, const JavaPtr<Object>& key, const JavaPtr<Object>& value);
    // A snapshot of the keys or the values, in bucket and slot order.
    JavaPtr<Enumeration> enumerationOf(JavaPtr<Object> Node::*part) const;
    // Calls visit(node) for every node in bucket and slot order, reading the layout afresh after each
    // call, and stops early when the buckets are rebuilt meanwhile.
    template <class Visit>
    void forEachNode(Visit visit);

    // The first node of each bucket, -1 for none; empty only while clear or a rebuild replaces it.
    std::vector<int32_t> m_heads;
    NodeArray m_nodes;
    // Counts the rebuilds, so that a scan can tell that the chains it walks were replaced under it.
    uint32_t m_rebuilds = 0;
    int32_t m_count = 0;
    int32_t m_capacity = 0;
    // ceil(2^64 / m_capacity), wrapping to 0 for a capacity of 1: turns the bucket's division into products.
    uint64_t m_bucketMultiplier = 0;
};

}  // namespace java::util
