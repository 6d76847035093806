#include "library/Hashtable.h"

#include <algorithm>
#include <string>
#include <utility>

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
// As many buckets as an array of references may have.
constexpr int32_t kMaxCapacity = Hashtable::ObjectArray::maxLength;

}  // namespace

Hashtable* Hashtable::TESLinvokeconstructor() {
    return TESLinvokeconstructor(kDefaultCapacity);
}

Hashtable* Hashtable::TESLinvokeconstructor(int initialCapacity) {
    Object::TESLinvokeconstructor();
    if (initialCapacity < 0 || initialCapacity > kMaxCapacity) throw ::java::lang::IllegalArgumentException();
    // Zero buckets would leave every key without a bucket to go to.
    setCapacity(std::max(initialCapacity, 1));
    rehash();
    return this;
}

void Hashtable::setCapacity(int32_t capacity) {
    m_capacity = capacity;
    m_bucketMultiplier = UINT64_MAX / static_cast<uint32_t>(capacity) + 1;
}

int32_t Hashtable::bucketOf(int32_t hash) const {
    // The hash as unsigned, modulo the capacity, without a division: the low 64 bits of the product
    // with ceil(2^64 / capacity) are the fraction hash / capacity, which times the capacity has the
    // remainder in its high 64 bits, exactly for every 32-bit hash and capacity.
    const uint64_t fraction = m_bucketMultiplier * static_cast<uint32_t>(hash);
    return static_cast<int32_t>(
        (static_cast<unsigned __int128>(fraction) * static_cast<uint32_t>(m_capacity)) >> 64);
}

int32_t Hashtable::findNode(int32_t hash, const JavaPtr<Object>& key) {
    const uint32_t rebuilds = m_rebuilds;
    const int32_t bucket = bucketOf(hash);
    if (static_cast<size_t>(bucket) >= m_heads.size()) return -1;
    const bool stringKey = jinstanceof<String>(key);
    for (int32_t node = m_heads[static_cast<size_t>(bucket)]; node != -1;
         node = m_nodes[static_cast<size_t>(node)].next) {
        const Node& slot = m_nodes[static_cast<size_t>(node)];
        if (!slot.key) continue;
        // A string equals only a string of the same text, whose stored hash is then this one.
        if (stringKey && slot.hash != hash) continue;
        // equals gets its own reference to the stored key, which a change of the table cannot take from
        // under it; the node is looked up again after the call, since the array may have moved.
        const bool equal = key->equals(slot.key);
        if (m_rebuilds != rebuilds) return -1;
        if (equal && m_nodes[static_cast<size_t>(node)].key) return node;
    }
    return -1;
}

void Hashtable::placeNew(int32_t hash, const JavaPtr<Object>& key, const JavaPtr<Object>& value) {
    const auto bucket = static_cast<size_t>(bucketOf(hash));
    int32_t last = -1;
    for (int32_t node = m_heads[bucket]; node != -1; node = m_nodes[static_cast<size_t>(node)].next) {
        Node& slot = m_nodes[static_cast<size_t>(node)];
        if (!slot.key) {
            slot.key = key;
            slot.value = value;
            slot.hash = hash;
            return;
        }
        last = node;
    }
    const auto added = static_cast<int32_t>(m_nodes.size());
    m_nodes.push_back(Node{key, value, -1, hash});
    if (last == -1)
        m_heads[bucket] = added;
    else
        m_nodes[static_cast<size_t>(last)].next = added;
}

template <class Visit>
void Hashtable::forEachNode(Visit visit) {
    const uint32_t rebuilds = m_rebuilds;
    for (size_t bucket = 0; bucket < m_heads.size(); ++bucket) {
        for (int32_t node = m_heads[bucket]; node != -1; node = m_nodes[static_cast<size_t>(node)].next) {
            if (!visit(m_nodes[static_cast<size_t>(node)])) return;
            if (m_rebuilds != rebuilds) return;
        }
    }
}

JavaPtr<String> Hashtable::toString() {
    std::u16string text = u"{";
    bool first = true;
    forEachNode([&](const Node& node) {
        if (!node.key) return true;
        // Copies: the texts are the objects' own toString, which may change the table.
        const JavaPtr<Object> key = node.key;
        const JavaPtr<Object> value = node.value;
        if (!first) text += u", ";
        first = false;
        tesl::appendObjectText(text, key);
        text += u",";
        tesl::appendObjectText(text, value);
        return true;
    });
    text += u"}";
    return tesl::stringOfUnits(text);
}

void Hashtable::clear() {
    // The entries are released after the table is whole again.
    std::vector<int32_t> oldHeads = std::move(m_heads);
    NodeArray oldNodes = std::move(m_nodes);
    m_heads.clear();
    m_nodes.clear();
    const int32_t oldCount = m_count;
    try {
        rehash();
    } catch (...) {
        m_heads = std::move(oldHeads);
        m_nodes = std::move(oldNodes);
        m_count = oldCount;
        throw;
    }
}

bool Hashtable::contains(const JavaPtr<Object>& value) {
    if (!value) throw NullPointerException();
    bool found = false;
    forEachNode([&](const Node& node) {
        found = node.key && value->equals(node.value);
        return !found;
    });
    return found;
}

bool Hashtable::containsKey(const JavaPtr<Object>& key) {
    if (!key) throw NullPointerException();
    return findNode(key->hashCode(), key) >= 0;
}

JavaPtr<Enumeration> Hashtable::elements() {
    return enumerationOf(&Node::value);
}

JavaPtr<Enumeration> Hashtable::enumerationOf(JavaPtr<Object> Node::*part) const {
    JavaPtr<ObjectArray> snapshot = jnewArray<JavaPtr<Object>>(m_count);
    const int32_t length = snapshot->length;
    int32_t filled = 0;
    for (size_t bucket = 0; bucket < m_heads.size() && filled < length; ++bucket) {
        for (int32_t node = m_heads[bucket]; node != -1 && filled < length;
             node = m_nodes[static_cast<size_t>(node)].next) {
            const JavaPtr<Object>& element = m_nodes[static_cast<size_t>(node)].*part;
            if (element) snapshot->data[filled++] = element;
        }
    }
    return jnew<EnumerationImpl>(snapshot);
}

JavaPtr<::java::lang::Object> Hashtable::get(const JavaPtr<Object>& key) {
    if (!key) throw NullPointerException();
    const int32_t node = findNode(key->hashCode(), key);
    return node < 0 ? nullptr : m_nodes[static_cast<size_t>(node)].value;
}

bool Hashtable::isEmpty() {
    return m_count == 0;
}

JavaPtr<Enumeration> Hashtable::keys() {
    return enumerationOf(&Node::key);
}

JavaPtr<::java::lang::Object> Hashtable::put(const JavaPtr<Object>& key, const JavaPtr<Object>& value) {
    if (!key) throw NullPointerException();
    const int32_t hash = key->hashCode();
    if (m_count > 0) {
        const int32_t node = findNode(hash, key);
        if (node >= 0) {
            Node& slot = m_nodes[static_cast<size_t>(node)];
            JavaPtr<Object> previous = std::move(slot.value);
            slot.key = key;
            slot.value = value;
            slot.hash = hash;
            return previous;
        }
    }
    ++m_count;
    if (m_count > (static_cast<int64_t>(m_capacity) * 3 >> 2)) {
        // Four thirds alone would leave one or two buckets where they are, and every new key would then
        // rebuild the table, recursively.
        const int32_t oldCapacity = m_capacity;
        setCapacity(static_cast<int32_t>(std::min<int64_t>(
            std::max<int64_t>(static_cast<int64_t>(m_capacity) * 4 / 3, m_capacity + 1LL), kMaxCapacity)));
        try {
            rehash();
        } catch (...) {
            setCapacity(oldCapacity);
            --m_count;
            throw;
        }
        ++m_count;
    }
    try {
        placeNew(hash, key, value);
    } catch (...) {
        --m_count;
        throw;
    }
    return nullptr;
}

bool Hashtable::relinkStringKeys() {
    // Exact only when no slot is empty (a rebuild drops empty slots) and the entries fit the new
    // capacity without another growth on the way. The count may include a key that put has yet to place.
    const auto entries = static_cast<int64_t>(m_nodes.size());
    if (entries > (static_cast<int64_t>(m_capacity) * 3 >> 2)) return false;
    for (const Node& node : m_nodes)
        if (!jinstanceof<String>(node.key)) return false;
    // Everything that may throw comes before the first change. The node array grows geometrically here
    // (its size is no part of the rules), so most rebuilds allocate no nodes at all.
    std::vector<int32_t> heads(static_cast<size_t>(m_capacity), -1);
    std::vector<int32_t> tails(static_cast<size_t>(m_capacity), -1);
    const size_t wanted = static_cast<size_t>((static_cast<int64_t>(m_capacity) * 3 >> 2) + 1);
    if (m_nodes.capacity() < wanted) m_nodes.reserve(std::max(wanted, m_nodes.capacity() * 2));
    ++m_rebuilds;
    // The old walk order, each entry appended to its new bucket's chain: the order a rebuild by puts
    // gives, since a put finds no empty slot to fill. Those puts would only ask String's hashCode (the
    // stored hash) and equals, which have no side effects, and no two stored strings are equal, so the
    // answers are known without asking.
    for (const int32_t head : m_heads) {
        int32_t node = head;
        while (node != -1) {
            Node& slot = m_nodes[static_cast<size_t>(node)];
            const int32_t next = slot.next;
            const auto bucket = static_cast<size_t>(bucketOf(slot.hash));
            slot.next = -1;
            if (tails[bucket] == -1)
                heads[bucket] = node;
            else
                m_nodes[static_cast<size_t>(tails[bucket])].next = node;
            tails[bucket] = node;
            node = next;
        }
    }
    m_heads = std::move(heads);
    m_count = static_cast<int32_t>(entries);
    return true;
}

void Hashtable::rehash() {
    if (relinkStringKeys()) return;
    std::vector<int32_t> oldHeads = std::move(m_heads);
    NodeArray oldNodes = std::move(m_nodes);
    m_heads.clear();
    m_nodes.clear();
    ++m_rebuilds;
    const int32_t oldCount = m_count;
    m_count = 0;
    try {
        m_heads.assign(static_cast<size_t>(m_capacity), -1);
        // Room for every entry the table may take before it grows again: one array per rebuild.
        m_nodes.reserve(static_cast<size_t>(
            std::max<int64_t>(oldCount, (static_cast<int64_t>(m_capacity) * 3 >> 2) + 1)));
        // Bucket by bucket and slot by slot, so that the entries of a new bucket keep the order in which
        // the old ones were walked. The old nodes are this call's own: a put cannot change them.
        for (const int32_t head : oldHeads) {
            for (int32_t node = head; node != -1; node = oldNodes[static_cast<size_t>(node)].next) {
                const Node& slot = oldNodes[static_cast<size_t>(node)];
                if (slot.key) put(slot.key, slot.value);
            }
        }
    } catch (...) {
        // A hashCode or equals that throws, or exhausted memory: the table stays as it was.
        m_heads = std::move(oldHeads);
        m_nodes = std::move(oldNodes);
        m_count = oldCount;
        ++m_rebuilds;
        throw;
    }
}

JavaPtr<::java::lang::Object> Hashtable::remove(const JavaPtr<Object>& key) {
    if (!key) throw NullPointerException();
    const int32_t node = findNode(key->hashCode(), key);
    if (node < 0) return nullptr;
    Node& slot = m_nodes[static_cast<size_t>(node)];
    // Released on return, once the table is consistent again.
    JavaPtr<Object> removedKey = std::move(slot.key);
    JavaPtr<Object> removedValue = std::move(slot.value);
    --m_count;
    return removedValue;
}

int Hashtable::size() {
    return m_count;
}

}  // namespace java::util
