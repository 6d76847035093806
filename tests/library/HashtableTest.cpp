#include "library/Hashtable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "library/Enumeration.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/Integer.h"
#include "runtime/NullPointerException.h"
#include "runtime/RuntimeException.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::NullPointerException;
using java::lang::Object;
using java::util::Enumeration;
using java::util::Hashtable;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::util::Hashtable);

namespace {

// A key with a chosen hash code, equal to every key of the same id.
class ProbeKey : public Object {
    TESL_CLASS(ProbeKey, "tests.ProbeKey", Object)
public:
    ProbeKey(int id, int32_t hash) : id(id), hash(hash) {}
    bool equals(JavaPtr<Object> other) override {
        JavaPtr<ProbeKey> key = jcast<ProbeKey>(other);
        return key && key->id == id;
    }
    int32_t hashCode() override {
        if (throwOnHash) throw java::lang::RuntimeException();
        return hash;
    }
    JavaPtr<java::lang::String> toString() override { return jnew<java::lang::String>(id); }

    int id;
    int32_t hash;
    bool throwOnHash = false;
};

JavaPtr<ProbeKey> key(int id, int32_t hash) {
    return jnew<ProbeKey>(id, hash);
}
JavaPtr<ProbeKey> key(int id) {
    return key(id, id);
}

std::vector<JavaPtr<Object>> drain(const JavaPtr<Enumeration>& e) {
    std::vector<JavaPtr<Object>> out;
    while (e->hasMoreElements()) out.push_back(e->nextElement());
    return out;
}

std::vector<int> keyIds(const JavaPtr<Hashtable>& table) {
    std::vector<int> ids;
    for (const auto& k : drain(table->keys())) ids.push_back(jcast<ProbeKey>(k)->id);
    return ids;
}

// keys() walks the buckets in order, so the bucket index of the keys it lists never falls.
bool listedInBucketOrder(const JavaPtr<Hashtable>& table, uint32_t capacity) {
    uint32_t previous = 0;
    for (const auto& k : drain(table->keys())) {
        const uint32_t bucket = static_cast<uint32_t>(jcast<ProbeKey>(k)->hash) % capacity;
        if (bucket < previous) return false;
        previous = bucket;
    }
    return true;
}

TEST(Hashtable, GrowsFromElevenToFourteenAtTheNinthKey) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    EXPECT_EQ(table->size(), 0);
    EXPECT_TRUE(table->isEmpty());
    EXPECT_FALSE(table->keys()->hasMoreElements());
    for (int id = 0; id < 8; ++id) table->put(key(id), jnew<java::lang::Integer>(id));
    // Hash 13 lies in bucket 2 of 11 buckets and in bucket 13 of 14.
    table->put(key(13), nullptr);
    EXPECT_EQ(keyIds(table), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 13}));
    EXPECT_EQ(table->size(), 9);
    for (int id = 0; id < 8; ++id) EXPECT_EQ(jcast<java::lang::Integer>(table->get(key(id)))->intValue(), id);
    EXPECT_TRUE(table->containsKey(key(13)));

    JavaPtr<Hashtable> eight = jnew<Hashtable>();
    for (int id = 0; id < 7; ++id) eight->put(key(id), nullptr);
    eight->put(key(13), nullptr);
    // 13 shares bucket 2 with key 2, which came first.
    EXPECT_EQ(keyIds(eight), (std::vector<int>{0, 1, 2, 13, 3, 4, 5, 6}));
}

TEST(Hashtable, DefaultCapacitiesFollowTheFourThirdsSequence) {
    // Capacity after each new key, from the default: 14 at 9, 18 at 11, 24 at 14, 32 at 19, 42 at 25.
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    std::mt19937 random(7);
    std::vector<std::pair<int, uint32_t>> expected = {{8, 11},  {10, 14}, {13, 18},
                                                      {18, 24}, {24, 32}, {30, 42}};
    int id = 0;
    for (const auto& [entries, capacity] : expected) {
        while (id < entries) {
            table->put(key(id, static_cast<int32_t>(random())), nullptr);
            ++id;
        }
        EXPECT_TRUE(listedInBucketOrder(table, capacity)) << entries << " entries";
    }
}

TEST(Hashtable, TinyCapacitiesGrowInsteadOfRebuildingForEveryKey) {
    for (int capacity : {0, 1, 2, 3}) {
        JavaPtr<Hashtable> table = jnew<Hashtable>(capacity);
        for (int id = 0; id < 200; ++id) table->put(key(id, id * 7919), jnew<java::lang::Integer>(id));
        EXPECT_EQ(table->size(), 200);
        for (int id = 0; id < 200; ++id)
            ASSERT_EQ(jcast<java::lang::Integer>(table->get(key(id, id * 7919)))->intValue(), id) << capacity;
    }
    EXPECT_THROW(jnew<Hashtable>(-1), java::lang::IllegalArgumentException);
}

TEST(Hashtable, NullKeysAndNullSearchValuesThrow) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    table->put(key(1), jstr("one"));
    EXPECT_THROW(table->put(nullptr, jstr("x")), NullPointerException);
    EXPECT_THROW(table->get(nullptr), NullPointerException);
    EXPECT_THROW(table->containsKey(nullptr), NullPointerException);
    EXPECT_THROW(table->remove(nullptr), NullPointerException);
    EXPECT_THROW(table->contains(nullptr), NullPointerException);
    EXPECT_EQ(table->size(), 1);
}

TEST(Hashtable, PutOfAPresentKeyReplacesKeyAndValueWithoutGrowing) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    for (int id = 0; id < 8; ++id) table->put(key(id), jstr("first"));
    JavaPtr<ProbeKey> replacement = key(3);
    JavaPtr<Object> previous = table->put(replacement, jstr("second"));
    EXPECT_EQ(narrow(jcast<java::lang::String>(previous)), "first");
    EXPECT_EQ(table->size(), 8);
    EXPECT_TRUE(listedInBucketOrder(table, 11));
    auto keys = drain(table->keys());
    EXPECT_EQ(keys[3], replacement);
    EXPECT_EQ(narrow(jcast<java::lang::String>(table->get(key(3)))), "second");
}

TEST(Hashtable, RemovedSlotIsReusedInItsBucket) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    // Hashes 5, 16 and 27 share bucket 5 of 11; -1 lies in bucket 3.
    table->put(key(1, 5), jstr("a"));
    table->put(key(2, 16), jstr("b"));
    table->put(key(4, -1), jstr("d"));
    EXPECT_EQ(keyIds(table), (std::vector<int>{4, 1, 2}));
    EXPECT_EQ(narrow(jcast<java::lang::String>(table->remove(key(1, 5)))), "a");
    EXPECT_EQ(table->size(), 2);
    EXPECT_FALSE(table->get(key(1, 5)));
    EXPECT_FALSE(table->remove(key(1, 5)));
    EXPECT_EQ(table->size(), 2);
    table->put(key(3, 27), jstr("c"));
    EXPECT_EQ(keyIds(table), (std::vector<int>{4, 3, 2}));
    EXPECT_FALSE(table->get(key(9, 5)));
}

TEST(Hashtable, ClearKeepsTheCapacity) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    for (int id = 0; id < 9; ++id) table->put(key(id), nullptr);
    JavaPtr<Object> held = jnew<Object>();
    table->put(key(20), held);
    table->clear();
    EXPECT_EQ(table->size(), 0);
    EXPECT_FALSE(table->get(key(20)));
    EXPECT_EQ(held.counted()->m_referenceCount.load(), 1);
    table->put(key(13), nullptr);
    table->put(key(0), nullptr);
    // 13 before 0 would mean 13 buckets or fewer; 14 puts it last.
    EXPECT_EQ(keyIds(table), (std::vector<int>{0, 13}));
}

TEST(Hashtable, EnumerationsAreSnapshots) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    table->put(key(1), jstr("a"));
    JavaPtr<Enumeration> keys = table->keys();
    JavaPtr<Enumeration> values = table->elements();
    table->put(key(2), jstr("b"));
    table->remove(key(1));
    EXPECT_EQ(drain(keys).size(), 1u);
    auto v = drain(values);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_EQ(narrow(jcast<java::lang::String>(v[0])), "a");
}

TEST(Hashtable, ContainsLooksAtValuesAndNullValuesAreKept) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    table->put(jstr("a"), jstr("b"));
    EXPECT_TRUE(table->contains(jstr("b")));
    EXPECT_FALSE(table->contains(jstr("a")));
    EXPECT_TRUE(table->containsKey(jstr("a")));

    JavaPtr<Hashtable> nulls = jnew<Hashtable>();
    nulls->put(key(1), nullptr);
    EXPECT_FALSE(nulls->get(key(1)));
    EXPECT_TRUE(nulls->containsKey(key(1)));
    EXPECT_EQ(keyIds(nulls), (std::vector<int>{1}));
    auto values = drain(nulls->elements());
    ASSERT_EQ(values.size(), 1u);
    EXPECT_FALSE(values[0]);
    nulls->put(key(2), jstr("x"));
    values = drain(nulls->elements());
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(narrow(jcast<java::lang::String>(values[0])), "x");
    EXPECT_FALSE(values[1]);
}

TEST(Hashtable, TextFormJoinsKeyAndValueWithABareComma) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    EXPECT_EQ(narrow(table->toString()), "{}");
    table->put(key(1), jstr("a"));
    EXPECT_EQ(narrow(table->toString()), "{1,a}");
    table->put(key(2), nullptr);
    EXPECT_EQ(narrow(table->toString()), "{1,a, 2,null}");
}

TEST(Hashtable, AFailingRebuildLeavesTheTableAsItWas) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    std::vector<JavaPtr<ProbeKey>> keys;
    for (int id = 0; id < 8; ++id) {
        keys.push_back(key(id));
        table->put(keys.back(), jnew<java::lang::Integer>(id));
    }
    keys[5]->throwOnHash = true;
    EXPECT_THROW(table->put(key(8), nullptr), java::lang::RuntimeException);
    keys[5]->throwOnHash = false;
    EXPECT_EQ(table->size(), 8);
    EXPECT_FALSE(table->containsKey(key(8)));
    for (int id = 0; id < 8; ++id) EXPECT_EQ(jcast<java::lang::Integer>(table->get(key(id)))->intValue(), id);
    table->put(key(8), nullptr);
    EXPECT_EQ(table->size(), 9);
    EXPECT_TRUE(listedInBucketOrder(table, 14));
}

TEST(Hashtable, StringKeysAreFoundByEqualText) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    for (int i = 0; i < 100; ++i) table->put(jnew<java::lang::String>(i), jnew<java::lang::Integer>(i));
    for (int i = 0; i < 100; ++i)
        EXPECT_EQ(jcast<java::lang::Integer>(table->get(jnew<java::lang::String>(i)))->intValue(), i);
    EXPECT_FALSE(table->get(jstr("100")));
}

// The table's slot layout kept by its own rules, independently of the table: ids by bucket and slot,
// -1 in an empty slot.
class SlotLayoutModel {
public:
    SlotLayoutModel(int64_t capacity, std::function<int32_t(int)> hashOf)
        : m_capacity(capacity), m_hashOf(std::move(hashOf)) {
        rebuild();
    }

    void put(int id) {
        size_t bucket = bucketOf(id);
        if (m_count > 0) {
            for (int slot : m_buckets[bucket])
                if (slot == id) return;
        }
        ++m_count;
        if (m_count > (m_capacity * 3 >> 2)) {
            m_capacity = std::max(m_capacity * 4 / 3, m_capacity + 1);
            rebuild();
            ++m_count;
            bucket = bucketOf(id);
        }
        std::vector<int>& slots = m_buckets[bucket];
        auto free = std::find(slots.begin(), slots.end(), -1);
        if (free == slots.end())
            slots.push_back(id);
        else
            *free = id;
    }
    void remove(int id) {
        std::vector<int>& slots = m_buckets[bucketOf(id)];
        auto found = std::find(slots.begin(), slots.end(), id);
        if (found == slots.end()) return;
        *found = -1;
        --m_count;
    }
    // What rehash() does: the same capacity, the entries put back in walk order.
    void rebuildInPlace() { rebuild(); }
    std::vector<int> order() const {
        std::vector<int> ids;
        for (const auto& slots : m_buckets)
            for (int slot : slots)
                if (slot >= 0) ids.push_back(slot);
        return ids;
    }

private:
    size_t bucketOf(int id) const {
        return static_cast<uint32_t>(m_hashOf(id)) % static_cast<uint64_t>(m_capacity);
    }
    // Every bucket starts with one empty slot; the old entries go back in bucket and slot order.
    void rebuild() {
        std::vector<std::vector<int>> old = std::move(m_buckets);
        m_count = 0;
        m_buckets.assign(static_cast<size_t>(m_capacity), std::vector<int>{-1});
        for (const auto& slots : old)
            for (int slot : slots)
                if (slot >= 0) put(slot);
    }

    int64_t m_capacity;
    int64_t m_count = 0;
    std::function<int32_t(int)> m_hashOf;
    std::vector<std::vector<int>> m_buckets;
};

TEST(Hashtable, SlotOrderOfKeysValuesAndTextFollowsTheBucketRulesThroughGrowth) {
    // Few distinct hashes: buckets hold several slots, removals leave holes that later keys fill, and
    // every growth re-inserts them in the old walk order.
    auto hashOf = [](int id) { return static_cast<int32_t>((id % 23) * 0x9E3779B1u); };
    std::mt19937 random(46);
    for (int initial : {11, 1, 2, 5}) {
        JavaPtr<Hashtable> table = jnew<Hashtable>(initial);
        SlotLayoutModel model(initial, hashOf);
        for (int op = 0; op < 600; ++op) {
            const int id = static_cast<int>(random() % 300);
            if (random() % 4 == 0) {
                table->remove(key(id, hashOf(id)));
                model.remove(id);
            } else {
                table->put(key(id, hashOf(id)), jnew<java::lang::Integer>(id));
                model.put(id);
            }
            ASSERT_EQ(keyIds(table), model.order()) << "initial " << initial << ", operation " << op;
        }
        std::string text = "{";
        std::vector<int> values;
        for (int id : model.order()) {
            text += (text.size() > 1 ? ", " : "") + std::to_string(id) + "," + std::to_string(id);
        }
        for (const auto& value : drain(table->elements()))
            values.push_back(jcast<java::lang::Integer>(value)->intValue());
        EXPECT_EQ(values, model.order());
        EXPECT_EQ(narrow(table->toString()), text + "}");
    }
}

// Tables of string keys only are rebuilt by relinking their chains in place; a removal's empty slot
// sends the next rebuild down the general path. Both must give the layout of the bucket rules.
TEST(Hashtable, StringKeysKeepTheSlotOrderThroughRelinkedAndGeneralRebuilds) {
    auto textOf = [](int id) { return "item" + std::to_string(id * 37 % 1009); };
    auto hashOf = [&](int id) { return jstr(textOf(id).c_str())->hashCode(); };
    std::mt19937 random(4601);
    for (int initial : {11, 1, 3}) {
        JavaPtr<Hashtable> table = jnew<Hashtable>(initial);
        SlotLayoutModel model(initial, hashOf);
        for (int op = 0; op < 700; ++op) {
            const int id = static_cast<int>(random() % 400);
            // Removals are rare, so that most rebuilds find every slot full.
            if (random() % 16 == 0) {
                table->remove(jstr(textOf(id).c_str()));
                model.remove(id);
            } else {
                table->put(jstr(textOf(id).c_str()), jnew<java::lang::Integer>(id));
                model.put(id);
            }
            if (op % 7 == 0) {
                table->rehash();
                model.rebuildInPlace();
            }
            std::vector<std::string> expected, listed;
            for (int modelId : model.order()) expected.push_back(textOf(modelId));
            for (const auto& k : drain(table->keys())) listed.push_back(narrow(jcast<java::lang::String>(k)));
            ASSERT_EQ(listed, expected) << "initial " << initial << ", operation " << op;
        }
        std::string text = "{";
        for (int id : model.order())
            text += (text.size() > 1 ? ", " : "") + textOf(id) + "," + std::to_string(id);
        EXPECT_EQ(narrow(table->toString()), text + "}");
        for (const auto& value : drain(table->elements())) EXPECT_TRUE(value);
    }
}

// Big node arrays are kept by the thread that frees them and handed to its next big tables.
TEST(Hashtable, BigTablesBuiltAgainOnReusedStorageHoldEveryEntry) {
    auto buildAndCheck = [](int round) {
        JavaPtr<Hashtable> table = jnew<Hashtable>();
        constexpr int kKeys = 6000;
        for (int i = 0; i < kKeys; ++i)
            table->put(jstr(("r" + std::to_string(round) + "k" + std::to_string(i)).c_str()),
                       jnew<java::lang::Integer>(i));
        ASSERT_EQ(table->size(), kKeys);
        for (int i = 0; i < kKeys; ++i) {
            JavaPtr<Object> found =
                table->get(jstr(("r" + std::to_string(round) + "k" + std::to_string(i)).c_str()));
            ASSERT_TRUE(found) << i;
            ASSERT_EQ(jcast<java::lang::Integer>(found)->intValue(), i);
        }
        EXPECT_EQ(drain(table->keys()).size(), static_cast<size_t>(kKeys));
    };
    for (int round = 0; round < 3; ++round) buildAndCheck(round);
}

// A key whose equals empties the table it is looked up in: the scan must not go on in buckets that are gone.
class ClearingKey : public ProbeKey {
public:
    ClearingKey(int id, Hashtable* table) : ProbeKey(id, id), table(table) {}
    bool equals(JavaPtr<Object> other) override {
        if (table != nullptr) {
            Hashtable* clearing = table;
            table = nullptr;
            clearing->clear();
        }
        return ProbeKey::equals(other);
    }
    Hashtable* table;
};

TEST(Hashtable, AnEqualsThatClearsTheTableLeavesItEmptyAndWhole) {
    JavaPtr<Hashtable> table = jnew<Hashtable>();
    for (int id = 0; id < 4; ++id) {
        table->put(key(id), jnew<java::lang::Integer>(id));
        table->put(key(id + 11), jnew<java::lang::Integer>(id + 11));
    }
    EXPECT_FALSE(table->get(jnew<ClearingKey>(11, table.get())));
    EXPECT_EQ(table->size(), 0);
    EXPECT_FALSE(table->remove(jnew<ClearingKey>(2, table.get())));
    table->put(jnew<ClearingKey>(3, table.get()), jnew<java::lang::Integer>(3));
    table->put(key(14), nullptr);
    EXPECT_EQ(keyIds(table), (std::vector<int>{3, 14}));
}

TEST(Hashtable, RandomOperationsAgreeWithAnUnorderedMapModel) {
    std::mt19937 random(20261210);
    // Ids 0..39 with hashes that collide often and include negative values.
    auto hashOf = [](int id) { return static_cast<int32_t>((id % 13) * 0x9E3779B1u); };
    std::vector<JavaPtr<Object>> values;
    for (int i = 0; i < 8; ++i) values.push_back(jnew<java::lang::Integer>(i));
    values.push_back(nullptr);
    for (int round = 0; round < 20; ++round) {
        const int initial = static_cast<int>(random() % 14);
        JavaPtr<Hashtable> table = round == 0 ? jnew<Hashtable>() : jnew<Hashtable>(initial);
        int64_t capacity = round == 0 ? 11 : std::max(initial, 1);
        std::unordered_map<int, JavaPtr<Object>> model;
        for (int op = 0; op < 400; ++op) {
            const int id = static_cast<int>(random() % 40);
            switch (random() % 5) {
                case 0:
                case 1: {
                    JavaPtr<Object> value = values[random() % values.size()];
                    auto found = model.find(id);
                    JavaPtr<Object> previous = table->put(key(id, hashOf(id)), value);
                    if (found != model.end()) {
                        ASSERT_EQ(previous, found->second);
                        found->second = value;
                    } else {
                        ASSERT_FALSE(previous);
                        model.emplace(id, value);
                        if (static_cast<int64_t>(model.size()) > (capacity * 3 >> 2))
                            capacity = std::max(capacity * 4 / 3, capacity + 1);
                    }
                    break;
                }
                case 2: {
                    auto found = model.find(id);
                    JavaPtr<Object> removed = table->remove(key(id, hashOf(id)));
                    ASSERT_EQ(removed, found == model.end() ? nullptr : found->second);
                    if (found != model.end()) model.erase(found);
                    break;
                }
                case 3:
                    if (random() % 20 == 0) {
                        table->clear();
                        model.clear();
                    }
                    break;
                case 4: {
                    JavaPtr<Object> value = values[random() % (values.size() - 1)];
                    bool expected = false;
                    for (const auto& [k, v] : model) expected = expected || v == value;
                    ASSERT_EQ(table->contains(value), expected);
                    break;
                }
            }
            ASSERT_EQ(table->size(), static_cast<int>(model.size()));
            auto found = model.find(id);
            ASSERT_EQ(table->containsKey(key(id, hashOf(id))), found != model.end());
            ASSERT_EQ(table->get(key(id, hashOf(id))), found == model.end() ? nullptr : found->second);
        }
        std::vector<int> ids = keyIds(table);
        ASSERT_TRUE(listedInBucketOrder(table, static_cast<uint32_t>(capacity))) << "capacity " << capacity;
        std::sort(ids.begin(), ids.end());
        std::vector<int> modelIds;
        for (const auto& [k, v] : model) modelIds.push_back(k);
        std::sort(modelIds.begin(), modelIds.end());
        EXPECT_EQ(ids, modelIds);
        // elements(): every non-null value once, then one null for each null value.
        std::vector<java::lang::Smart*> listed, expected;
        for (const auto& v : drain(table->elements())) listed.push_back(v.counted());
        for (const auto& [k, v] : model) expected.push_back(v.counted());
        std::sort(listed.begin(), listed.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(listed, expected);
    }
    for (size_t i = 0; i + 1 < values.size(); ++i) EXPECT_EQ(values[i].counted()->m_referenceCount.load(), 1);
}

}  // namespace
