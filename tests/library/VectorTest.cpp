#include "library/Vector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "library/EnumerationImpl.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NoSuchElementException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::ArrayIndexOutOfBoundsException;
using java::lang::Object;
using java::lang::String;
using java::util::Enumeration;
using java::util::NoSuchElementException;
using java::util::Vector;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::util::Vector, java::util::Enumeration, java::util::EnumerationImpl);

namespace {

using ObjectArray = Vector::ObjectArray;

std::vector<JavaPtr<Object>> contentsOf(const JavaPtr<Vector>& v) {
    std::vector<JavaPtr<Object>> out;
    for (int i = 0; i < v->size(); ++i) out.push_back(v->elementAt(i));
    return out;
}

std::vector<JavaPtr<Object>> drain(const JavaPtr<Enumeration>& e) {
    std::vector<JavaPtr<Object>> out;
    while (e->hasMoreElements()) out.push_back(e->nextElement());
    return out;
}

std::vector<JavaPtr<Object>> freshObjects(int n) {
    std::vector<JavaPtr<Object>> out;
    for (int i = 0; i < n; ++i) out.push_back(jnew<Object>());
    return out;
}

TEST(Vector, CapacityGrowsByTheFixedIncrement) {
    const struct {
        int initial;
        int increment;                // 0: the constructor without an increment
        std::vector<int> capacities;  // after 0, 1, 2, ... insertions
    } cases[] = {
        {-1, 0, {0, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 20}},
        {4, 0, {4, 4, 4, 4, 4, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 24}},
        {3, 5, {3, 3, 3, 3, 8, 8, 8, 8, 8, 13}},
        {-2, 0, {0, 10}},
    };
    for (const auto& c : cases) {
        JavaPtr<Vector> v = c.initial == -1 ? jnew<Vector>()
                            : c.increment   ? jnew<Vector>(c.initial, c.increment)
                                            : jnew<Vector>(c.initial);
        for (size_t n = 0; n < c.capacities.size(); ++n) {
            EXPECT_EQ(v->capacity(), c.capacities[n]) << "initial " << c.initial << " after " << n;
            EXPECT_EQ(v->size(), static_cast<int>(n));
            v->addElement(jnew<Object>());
        }
    }
}

TEST(Vector, ANonPositiveIncrementDoublesInsteadOfOverrunning) {
    for (int increment : {0, -3}) {
        JavaPtr<Vector> v = jnew<Vector>(0, increment);
        std::vector<int> capacities;
        auto objects = freshObjects(9);
        for (const auto& o : objects) {
            v->addElement(o);
            capacities.push_back(v->capacity());
        }
        EXPECT_EQ(capacities, (std::vector<int>{1, 2, 4, 4, 8, 8, 8, 8, 16})) << increment;
        EXPECT_EQ(contentsOf(v), objects);
    }
}

TEST(Vector, EnsureTrimAndSetSizeGiveExactCapacities) {
    JavaPtr<Vector> v = jnew<Vector>(10);
    v->ensureCapacity(5);
    EXPECT_EQ(v->capacity(), 10);
    v->ensureCapacity(15);
    EXPECT_EQ(v->capacity(), 15);
    EXPECT_THROW(v->ensureCapacity(INT32_MAX), java::lang::IllegalArgumentException);
    EXPECT_THROW(v->setSize(INT32_MAX), java::lang::IllegalArgumentException);
    EXPECT_EQ(v->capacity(), 15);
    EXPECT_EQ(v->size(), 0);

    JavaPtr<Vector> w = jnew<Vector>(10);
    w->setSize(5);
    EXPECT_EQ(w->size(), 5);
    EXPECT_EQ(w->capacity(), 10);
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(w->elementAt(i));
    w->setSize(10);
    EXPECT_EQ(w->capacity(), 10);
    w->setSize(12);
    EXPECT_EQ(w->capacity(), 12);
    EXPECT_EQ(w->size(), 12);

    auto abcd = freshObjects(4);
    JavaPtr<Vector> t = jnew<Vector>(10);
    for (const auto& o : abcd) t->addElement(o);
    t->setSize(2);
    EXPECT_EQ(t->capacity(), 10);
    EXPECT_EQ(contentsOf(t), (std::vector<JavaPtr<Object>>{abcd[0], abcd[1]}));
    // The dropped elements are released, not kept in the spare slots.
    EXPECT_EQ(abcd[2].counted()->m_referenceCount.load(), 1);
    t->setSize(4);
    EXPECT_EQ(contentsOf(t), (std::vector<JavaPtr<Object>>{abcd[0], abcd[1], nullptr, nullptr}));
    t->trimToSize();
    EXPECT_EQ(t->capacity(), 4);
    t->removeAllElements();
    EXPECT_EQ(t->capacity(), 4);
    t->trimToSize();
    EXPECT_EQ(t->capacity(), 0);
    t->addElement(abcd[3]);
    EXPECT_EQ(t->capacity(), 10);
}

TEST(Vector, InsertAndRemoveShiftTheOtherElements) {
    auto o = freshObjects(4);
    JavaPtr<Vector> v = jnew<Vector>();
    v->addElement(o[0]);
    v->addElement(o[1]);
    v->insertElementAt(o[2], 0);
    EXPECT_EQ(contentsOf(v), (std::vector<JavaPtr<Object>>{o[2], o[0], o[1]}));
    v->insertElementAt(o[3], 3);
    v->removeElementAt(1);
    EXPECT_EQ(contentsOf(v), (std::vector<JavaPtr<Object>>{o[2], o[1], o[3]}));
    EXPECT_EQ(o[0].counted()->m_referenceCount.load(), 1);
    EXPECT_EQ(v->firstElement(), o[2]);
    EXPECT_EQ(v->lastElement(), o[3]);
}

TEST(Vector, IndexOfUsesEqualsButTheOtherSearchesUseIdentity) {
    JavaPtr<String> s1 = jstr("same");
    JavaPtr<String> s2 = jstr("same");
    JavaPtr<Object> other = jnew<Object>();
    JavaPtr<Vector> v = jnew<Vector>();
    v->addElement(other);
    v->addElement(s1);
    EXPECT_EQ(v->indexOf(s2), 1);
    EXPECT_FALSE(v->contains(s2));
    EXPECT_EQ(v->lastIndexOf(s2), -1);
    EXPECT_FALSE(v->removeElement(s2));
    EXPECT_EQ(v->size(), 2);
    EXPECT_EQ(v->indexOf(s1, 2), -1);
    EXPECT_EQ(v->indexOf(other, 1), -1);
    EXPECT_EQ(v->lastIndexOf(s1, 0), -1);
    EXPECT_EQ(v->lastIndexOf(other, -1), -1);

    v->addElement(nullptr);
    v->addElement(other);
    v->addElement(nullptr);
    EXPECT_EQ(v->indexOf(nullptr), 2);
    EXPECT_EQ(v->lastIndexOf(nullptr), 4);
    EXPECT_EQ(v->lastIndexOf(other), 3);
    EXPECT_TRUE(v->contains(nullptr));
    EXPECT_TRUE(v->removeElement(nullptr));
    EXPECT_EQ(contentsOf(v), (std::vector<JavaPtr<Object>>{other, s1, other, nullptr}));

    JavaPtr<Vector> empty = jnew<Vector>();
    EXPECT_EQ(empty->indexOf(other), -1);
    EXPECT_EQ(empty->lastIndexOf(other), -1);
    EXPECT_FALSE(empty->contains(other));
}

TEST(Vector, BadIndicesThrowAndLeaveTheVectorUnchanged) {
    auto o = freshObjects(3);
    JavaPtr<Vector> v = jnew<Vector>();
    for (const auto& x : o) v->addElement(x);
    JavaPtr<ObjectArray> shortArray = jnew<ObjectArray>(2);
    const struct {
        const char* what;
        std::function<void()> call;
    } cases[] = {
        {"elementAt(-1)", [&] { v->elementAt(-1); }},
        {"elementAt(size)", [&] { v->elementAt(3); }},
        {"removeElementAt(-1)", [&] { v->removeElementAt(-1); }},
        {"removeElementAt(size)", [&] { v->removeElementAt(3); }},
        {"insertElementAt(-1)", [&] { v->insertElementAt(o[0], -1); }},
        {"insertElementAt(size+1)", [&] { v->insertElementAt(o[0], 4); }},
        {"indexOf(o, -1)", [&] { v->indexOf(o[0], -1); }},
        {"lastIndexOf(o, size)", [&] { v->lastIndexOf(o[0], 3); }},
        {"setSize(-1)", [&] { v->setSize(-1); }},
        {"copyInto(short)", [&] { v->copyInto(shortArray); }},
    };
    for (const auto& c : cases) {
        EXPECT_THROW(c.call(), ArrayIndexOutOfBoundsException) << c.what;
        EXPECT_EQ(contentsOf(v), o) << c.what;
        EXPECT_EQ(v->capacity(), 10) << c.what;
    }
    EXPECT_FALSE(shortArray->data[0]);
    EXPECT_THROW(v->copyInto(nullptr), java::lang::NullPointerException);

    // setElementAt ignores a bad index without a word.
    v->setElementAt(o[0], 3);
    v->setElementAt(o[0], -1);
    EXPECT_EQ(contentsOf(v), o);
    v->setElementAt(o[0], 2);
    EXPECT_EQ(v->elementAt(2), o[0]);
}

TEST(Vector, FirstAndLastElementOfAnEmptyVectorThrowWithoutMessage) {
    JavaPtr<Vector> v = jnew<Vector>();
    try {
        v->firstElement();
        FAIL() << "firstElement did not throw";
    } catch (NoSuchElementException& e) {
        EXPECT_FALSE(e.getMessage());
    }
    EXPECT_THROW(v->lastElement(), NoSuchElementException);
}

TEST(Vector, EnumerationIsASnapshotAndThrowsWhenUsedUp) {
    auto o = freshObjects(2);
    JavaPtr<Vector> v = jnew<Vector>();
    v->addElement(o[0]);
    v->addElement(o[1]);
    JavaPtr<Enumeration> e = v->elements();
    v->removeAllElements();
    v->addElement(jnew<Object>());
    EXPECT_EQ(v->size(), 1);
    // The snapshot keeps the elements alive: the test's reference, plus one.
    EXPECT_EQ(o[0].counted()->m_referenceCount.load(), 2);
    EXPECT_EQ(drain(e), o);
    EXPECT_FALSE(e->hasMoreElements());
    EXPECT_THROW(e->nextElement(), NoSuchElementException);
    e = nullptr;
    EXPECT_EQ(o[0].counted()->m_referenceCount.load(), 1);

    EXPECT_FALSE(jnew<Vector>()->elements()->hasMoreElements());
    EXPECT_TRUE(jinstanceof<java::util::EnumerationImpl>(v->elements()));
}

TEST(Vector, CopyIntoFillsTheFirstSlotsOnly) {
    auto o = freshObjects(2);
    JavaPtr<Vector> v = jnew<Vector>();
    for (const auto& x : o) v->addElement(x);
    JavaPtr<ObjectArray> a = jnew<ObjectArray>(3);
    JavaPtr<Object> keep = jnew<Object>();
    a->data[2] = keep;
    v->copyInto(a);
    EXPECT_EQ(a->data[0], o[0]);
    EXPECT_EQ(a->data[1], o[1]);
    EXPECT_EQ(a->data[2], keep);
}

TEST(Vector, TextFormJoinsElementTextsWithCommaSpace) {
    JavaPtr<Vector> v = jnew<Vector>();
    EXPECT_EQ(narrow(v->toString()), "[]");
    v->addElement(jstr("a"));
    EXPECT_EQ(narrow(v->toString()), "[a]");
    v->addElement(jstr("b"));
    v->addElement(nullptr);
    JavaPtr<Vector> inner = jnew<Vector>();
    inner->addElement(jstr("c"));
    v->addElement(inner);
    EXPECT_EQ(narrow(v->toString()), "[a, b, null, [c]]");
}

TEST(Vector, RandomOperationsAgreeWithAStdVectorModel) {
    std::mt19937 random(20261210);
    auto pool = freshObjects(6);
    pool.push_back(nullptr);
    for (int round = 0; round < 40; ++round) {
        const int increment = static_cast<int>(random() % 4);  // 0 uses the default increment
        JavaPtr<Vector> v =
            increment ? jnew<Vector>(static_cast<int>(random() % 3), increment) : jnew<Vector>();
        std::vector<JavaPtr<Object>> model;
        int modelCapacity = v->capacity();
        const int step = increment ? increment : Vector::DEFAULT_CAPACITY_INCREMENT;
        auto pick = [&] { return pool[random() % pool.size()]; };
        auto modelFind = [&](const JavaPtr<Object>& o) {
            return static_cast<int>(std::find(model.begin(), model.end(), o) - model.begin());
        };
        for (int op = 0; op < 300; ++op) {
            const int size = static_cast<int>(model.size());
            switch (random() % 9) {
                case 0:
                case 1: {
                    JavaPtr<Object> o = pick();
                    if (size == modelCapacity) modelCapacity += step;
                    v->addElement(o);
                    model.push_back(o);
                    break;
                }
                case 2: {
                    JavaPtr<Object> o = pick();
                    const int at = static_cast<int>(random() % (size + 1));
                    if (size == modelCapacity) modelCapacity += step;
                    v->insertElementAt(o, at);
                    model.insert(model.begin() + at, o);
                    break;
                }
                case 3:
                    if (size > 0) {
                        const int at = static_cast<int>(random() % size);
                        v->removeElementAt(at);
                        model.erase(model.begin() + at);
                    }
                    break;
                case 4: {
                    JavaPtr<Object> o = pick();
                    const int at = modelFind(o);
                    EXPECT_EQ(v->removeElement(o), at < size);
                    if (at < size) model.erase(model.begin() + at);
                    break;
                }
                case 5: {
                    JavaPtr<Object> o = pick();
                    const int at = static_cast<int>(random() % (size + 2)) - 1;
                    v->setElementAt(o, at);
                    if (at >= 0 && at < size) model[at] = o;
                    break;
                }
                case 6: {
                    const int newSize = static_cast<int>(random() % (size + 5));
                    v->setSize(newSize);
                    modelCapacity = std::max(modelCapacity, newSize);
                    model.resize(newSize);
                    break;
                }
                case 7:
                    if (random() % 4 == 0) {
                        v->trimToSize();
                        modelCapacity = size;
                    } else {
                        const int wanted = static_cast<int>(random() % 40);
                        v->ensureCapacity(wanted);
                        modelCapacity = std::max(modelCapacity, wanted);
                    }
                    break;
                case 8:
                    if (random() % 10 == 0) {
                        v->removeAllElements();
                        model.clear();
                    }
                    break;
            }
            ASSERT_EQ(v->size(), static_cast<int>(model.size()));
            ASSERT_EQ(v->capacity(), modelCapacity);
            JavaPtr<Object> probe = pick();
            const int first = modelFind(probe);
            ASSERT_EQ(v->indexOf(probe), first < static_cast<int>(model.size()) ? first : -1);
            const auto last = std::find(model.rbegin(), model.rend(), probe);
            ASSERT_EQ(v->lastIndexOf(probe),
                      last == model.rend() ? -1 : static_cast<int>(model.rend() - last) - 1);
            ASSERT_EQ(v->contains(probe), first < static_cast<int>(model.size()));
        }
        EXPECT_EQ(contentsOf(v), model);
        EXPECT_EQ(drain(v->elements()), model);
    }
    // Everything the vectors held is released with them.
    for (size_t i = 0; i + 1 < pool.size(); ++i) EXPECT_EQ(pool[i].counted()->m_referenceCount.load(), 1);
}

}  // namespace
