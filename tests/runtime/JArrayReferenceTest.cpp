// Arrays of references and arrays of arrays: names, casts by the element class's ids, and the counts they
// hold and give back. The fixtures have the shapes of the platform's own element classes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "runtime/Integer.h"
#include "runtime/JArray.h"
#include "runtime/Runnable.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"

using java::lang::Object;
using java::lang::Runnable;
using java::lang::Smart;
using java::lang::String;

namespace arrayfixtures {

// Destruction order, by the tag each object was given.
std::vector<int> destroyedTags;

// A class chain, like Form -> Screen -> Displayable.
class Displayable : public Object {
    TESL_CLASS(Displayable, "arrayfixtures.Displayable", Object)
public:
    ~Displayable() override { destroyedTags.push_back(tag); }
    Displayable* TESLinvokeconstructor(int newTag) {
        Object::TESLinvokeconstructor();
        tag = newTag;
        return this;
    }
    int tag = 0;
};
class Screen : public Displayable {
    TESL_CLASS(Screen, "arrayfixtures.Screen", Displayable)
};
class Form : public Screen {
    TESL_CLASS(Form, "arrayfixtures.Form", Screen)
};

// An interface extending an interface, like Player -> Controllable.
class Controllable : public virtual Smart {
    TESL_INTERFACE(Controllable, "arrayfixtures.Controllable", Smart)
public:
    virtual int controls() = 0;
};
class Player : public virtual Controllable {
    TESL_INTERFACE(Player, "arrayfixtures.Player", Controllable)
public:
    virtual int state() = 0;
};
// Implements its interface non-virtually, like PlayerImpl.
class PlayerImpl : public Object, public Player {
    TESL_CLASS(PlayerImpl, "arrayfixtures.PlayerImpl", Object, Player)
public:
    int controls() override { return 3; }
    int state() override { return 4; }
};

// A listener interface straight on Smart, like RecordListener or SensorListener.
class Listener : public virtual Smart {
    TESL_INTERFACE(Listener, "arrayfixtures.Listener", Smart)
public:
    virtual void changed() = 0;
};

}  // namespace arrayfixtures

using namespace arrayfixtures;

// The nested array of unsigned int arrays is left out: it is named like an array of int arrays while its id
// is that of its rows, so it shares the id of "[UI" under another name by design.
QUILL_REGISTER_CLASSES(Displayable, Screen, Form, Controllable, Player, PlayerImpl, Listener,
                       JArray<JavaPtr<String>>, JArray<JavaPtr<Object>>, JArray<JavaPtr<Form>>,
                       JArray<JavaPtr<Player>>, JArray<JavaPtr<JArray<int>>>,
                       JArray<JavaPtr<JArray<JavaPtr<JArray<signed char>>>>>,
                       JArray<JavaPtr<JArray<JavaPtr<String>>>>);

namespace {

int count(const Smart* s) {
    return s->m_referenceCount.load();
}

// The name a Class object gives an array from its element name and dimension count.
std::string descriptorOf(Smart* array) {
    std::string name = array->getClassTypeName();
    int dimensions = array->m_dimensionCount;
    if (dimensions == 0) return name;
    if (name[0] == '[')
        --dimensions;
    else
        name = "L" + name + ";";
    return std::string(static_cast<size_t>(dimensions), '[') + name;
}

// Every id a test asks about: the small array ids, runtime classes and the fixtures.
std::vector<int32_t> probedIds() {
    std::vector<int32_t> ids = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13};
    for (int32_t id :
         {Object::TESLclassTypeID, Smart::TESLclassTypeID, String::TESLclassTypeID, Runnable::TESLclassTypeID,
          Displayable::TESLclassTypeID, Screen::TESLclassTypeID, Form::TESLclassTypeID,
          Controllable::TESLclassTypeID, Player::TESLclassTypeID, PlayerImpl::TESLclassTypeID,
          Listener::TESLclassTypeID, tesl::classTypeIdOf("java.lang.Integer"), 0, -1})
        ids.push_back(id);
    return ids;
}

bool contains(const std::vector<int32_t>& ids, int32_t id) {
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

// The ids the array answers, each answered with the array itself (Smart's with its Smart part).
template <class Array>
std::vector<int32_t> answeredIds(Array* array) {
    std::vector<int32_t> answered;
    for (int32_t id : probedIds()) {
        void* answer = array->castAsTypeID(id);
        if (answer == nullptr) continue;
        answered.push_back(id);
        void* expected = id == Smart::TESLclassTypeID ? static_cast<void*>(static_cast<Smart*>(array))
                                                      : static_cast<void*>(array);
        EXPECT_EQ(answer, expected) << "id " << id;
    }
    return answered;
}

template <class X>
std::vector<int32_t> idsTheClassAnswers() {
    std::vector<int32_t> answered;
    for (int32_t id : probedIds()) {
        void* answer = X::castAsTypeIDS(nullptr, id);
        if (answer == nullptr) {
            answered.push_back(id);
        } else {
            EXPECT_EQ(answer, tesl::notAnswered()) << "a null probe answers null or all ones, id " << id;
        }
    }
    return answered;
}

const int32_t kObject = Object::TESLclassTypeID;
const int32_t kSmart = Smart::TESLclassTypeID;

struct ElementClassCase {
    const char* name;
    std::vector<int32_t> answered;  // the ids the class, and so its array, answers
    std::vector<int32_t> byTheClass;
    std::vector<int32_t> byTheArray;
    std::string arrayName;
    const char* className;
    const char* elementName;
    int32_t arrayId;
    int32_t elementId;
};

template <class X>
ElementClassCase elementClassCase(const char* name, std::vector<int32_t> answered) {
    JavaPtr<JArray<JavaPtr<X>>> array = jnew<JArray<JavaPtr<X>>>(2);
    return {name,
            std::move(answered),
            idsTheClassAnswers<X>(),
            answeredIds(array.get()),
            descriptorOf(array.get()),
            JArray<JavaPtr<X>>::TESLclassName,
            X::TESLclassName,
            JArray<JavaPtr<X>>::TESLclassTypeID,
            X::TESLclassTypeID};
}

TEST(JArrayOfReferences, ArraysAnswerExactlyTheIdsOfTheirElementClass) {
    const std::vector<ElementClassCase> cases = {
        elementClassCase<Form>("Form", {Form::TESLclassTypeID, Screen::TESLclassTypeID,
                                        Displayable::TESLclassTypeID, kObject, kSmart}),
        elementClassCase<Displayable>("Displayable", {Displayable::TESLclassTypeID, kObject, kSmart}),
        elementClassCase<Player>("Player",
                                 {Controllable::TESLclassTypeID, Player::TESLclassTypeID, kObject, kSmart}),
        elementClassCase<PlayerImpl>("PlayerImpl", {Controllable::TESLclassTypeID, Player::TESLclassTypeID,
                                                    PlayerImpl::TESLclassTypeID, kObject, kSmart}),
        elementClassCase<Listener>("Listener", {Listener::TESLclassTypeID, kObject, kSmart}),
        elementClassCase<Runnable>("Runnable", {Runnable::TESLclassTypeID, kObject, kSmart}),
        elementClassCase<String>("String", {String::TESLclassTypeID, kObject, kSmart}),
        elementClassCase<Object>("Object", {kObject, kSmart}),
    };
    for (const ElementClassCase& c : cases) {
        std::vector<int32_t> expected = c.answered;
        std::vector<int32_t> byTheClass = c.byTheClass;
        std::vector<int32_t> byTheArray = c.byTheArray;
        std::sort(expected.begin(), expected.end());
        std::sort(byTheClass.begin(), byTheClass.end());
        std::sort(byTheArray.begin(), byTheArray.end());
        EXPECT_EQ(byTheClass, expected) << c.name;
        EXPECT_EQ(byTheArray, expected) << c.name;
        EXPECT_EQ(c.arrayName, std::string("[L") + c.elementName + ";") << c.name;
        EXPECT_EQ(c.className, c.elementName) << c.name << ": the element class's own name constant";
        EXPECT_EQ(c.arrayId, c.elementId) << c.name;
    }
}

TEST(JArrayOfReferences, NewArraysHoldNullsAndBadSizesGiveEmptyArrays) {
    JavaPtr<JArray<JavaPtr<String>>> names = jnew<JArray<JavaPtr<String>>>(3);
    ASSERT_EQ(names->length, 3);
    for (const JavaPtr<String>& name : *names) EXPECT_FALSE(name);
    EXPECT_EQ(names->m_dimensionCount, 0);
    for (int size : {0, -1}) {
        JavaPtr<JArray<JavaPtr<String>>> empty = jnew<JArray<JavaPtr<String>>>(size);
        EXPECT_EQ(empty->length, 0) << size;
        EXPECT_EQ(empty->data, nullptr) << size;
    }
}

TEST(JArrayOfReferences, CastsFindTheArrayAndOnlyInstanceofArrayTellsItFromAnElement) {
    JavaPtr<JArray<JavaPtr<String>>> names = jnew<JArray<JavaPtr<String>>>(1);
    names->data[0] = jnew<String>("x");
    JavaPtr<Object> asObject = names;
    EXPECT_EQ(jcast<JArray<JavaPtr<String>>>(asObject), names);
    EXPECT_EQ(jcast<Object>(asObject).get(), static_cast<Object*>(names.get()));
    EXPECT_FALSE(jcast<JArray<JavaPtr<Form>>>(asObject));
    EXPECT_FALSE(jcast<JArray<int>>(asObject));
    EXPECT_EQ(recastObj(names.get(), kSmart), static_cast<Smart*>(names.get()));

    Smart* array = names.get();
    Smart* element = names->data[0].get();
    EXPECT_TRUE(instanceofArray(array, String::TESLclassTypeID, 1));
    EXPECT_FALSE(instanceofArray(element, String::TESLclassTypeID, 1));
    EXPECT_FALSE(instanceofArray(array, String::TESLclassTypeID, 2));
    EXPECT_TRUE(instanceofArray(array, kObject, 1));  // a String[] is an Object[]
    EXPECT_TRUE(instanceofArray(array, kObject, 0));  // and an Object
    EXPECT_FALSE(instanceofArray(array, Runnable::TESLclassTypeID, 1));
}

TEST(JArrayOfReferences, ElementsAreReleasedLastFirstAndSharedOnesSurvive) {
    destroyedTags.clear();
    JavaPtr<Form> kept = jnew<Form>(2);
    {
        JavaPtr<JArray<JavaPtr<Displayable>>> forms = jnew<JArray<JavaPtr<Displayable>>>(4);
        forms->data[0] = jnew<Form>(1);
        forms->data[1] = kept;
        forms->data[3] = jnew<Screen>(3);  // index 2 stays null
        EXPECT_EQ(count(kept.get()), 2);
        forms->data[3] = jnew<Displayable>(4);  // storing releases the old element
        EXPECT_EQ(destroyedTags, std::vector<int>({3}));
    }
    EXPECT_EQ(destroyedTags, std::vector<int>({3, 4, 1}));
    EXPECT_EQ(count(kept.get()), 1);
}

// A cast by id cannot tell an array from its element, nor a grid from its rows; a typed reference must,
// or its user reads one layout as the other.
TEST(JArrayOfReferences, TypedCastsNeverHandOutAnArrayAsItsElementOrARowAsItsGrid) {
    using Strings = JArray<JavaPtr<String>>;
    using Objects = JArray<JavaPtr<Object>>;
    using Ints = JArray<int>;
    using IntGrid = JArray<JavaPtr<Ints>>;
    JavaPtr<Object> text = jnew<String>("x");
    JavaPtr<Object> strings = jnew<Strings>(1);
    JavaPtr<Object> stringGrid = jnew<JArray<JavaPtr<Strings>>>(1);
    JavaPtr<Object> ints = jnew<Ints>(1);
    JavaPtr<Object> intGrid = jnew<IntGrid>(1);
    JavaPtr<Object> players = jnew<JArray<JavaPtr<Player>>>(1);
    JavaPtr<Object> forms = jnew<JArray<JavaPtr<Form>>>(1);
    struct Case {
        const char* name;
        bool cast;
        bool instance;
        bool expected;
    };
    const std::vector<Case> cases = {
        {"String[] as String", bool(jcast<String>(strings)), jinstanceof<String>(strings), false},
        {"String as String[]", bool(jcast<Strings>(text)), jinstanceof<Strings>(text), false},
        {"String as Object[]", bool(jcast<Objects>(text)), jinstanceof<Objects>(text), false},
        {"String[][] as String[]", bool(jcast<Strings>(stringGrid)), jinstanceof<Strings>(stringGrid), false},
        {"int[][] as int[]", bool(jcast<Ints>(intGrid)), jinstanceof<Ints>(intGrid), false},
        {"int[] as int[][]", bool(jcast<IntGrid>(ints)), jinstanceof<IntGrid>(ints), false},
        {"Player[] as Player", bool(jcast<Player>(players)), jinstanceof<Player>(players), false},
        {"String[] as String[]", bool(jcast<Strings>(strings)), jinstanceof<Strings>(strings), true},
        {"String[] as Object", bool(jcast<Object>(strings)), jinstanceof<Object>(strings), true},
        {"String[] as Smart", bool(jcast<Smart>(strings)), jinstanceof<Smart>(strings), true},
        {"String[] as Object[]", bool(jcast<Objects>(strings)), jinstanceof<Objects>(strings), true},
        {"String[][] as Object[]", bool(jcast<Objects>(stringGrid)), jinstanceof<Objects>(stringGrid), true},
        {"Form[] as Displayable[]", bool(jcast<JArray<JavaPtr<Displayable>>>(forms)),
         jinstanceof<JArray<JavaPtr<Displayable>>>(forms), true},
        {"int[][] as int[][]", bool(jcast<IntGrid>(intGrid)), jinstanceof<IntGrid>(intGrid), true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.cast, c.expected) << c.name;
        EXPECT_EQ(c.instance, c.expected) << c.name;
    }
    // The wrappers' equals cast their argument the same way.
    JavaPtr<Strings> holder = jcast<Strings>(strings);
    holder->data[0] = jcast<String>(text);
    EXPECT_FALSE(text->equals(strings));
    JavaPtr<JArray<JavaPtr<java::lang::Integer>>> numbers = jnew<JArray<JavaPtr<java::lang::Integer>>>(1);
    numbers->data[0] = jnew<java::lang::Integer>(7);
    EXPECT_FALSE(numbers->data[0]->equals(numbers));
}

TEST(JArrayOfReferences, AppendKeepsCountsAndTakesTheSameObjectTwice) {
    JavaPtr<JArray<JavaPtr<Player>>> players = jnew<JArray<JavaPtr<Player>>>();
    JavaPtr<PlayerImpl> first = jnew<PlayerImpl>();
    JavaPtr<PlayerImpl> second = jnew<PlayerImpl>();
    players->append(first);
    ASSERT_EQ(players->length, 1);
    EXPECT_EQ(count(first.get()), 2);
    players->append(second);
    players->append(second);
    players->append(players->data[0]);  // an element of the array itself
    ASSERT_EQ(players->length, 4);
    EXPECT_EQ(count(first.get()), 3);
    EXPECT_EQ(count(second.get()), 3);
    EXPECT_EQ(players->data[1].counted(), second.counted());
    EXPECT_EQ(players->data[3].counted(), first.counted());
    EXPECT_EQ(players->data[2]->state(), 4);
    players = nullptr;
    EXPECT_EQ(count(first.get()), 1);
    EXPECT_EQ(count(second.get()), 1);
}

TEST(JArrayOfReferences, ANonVirtualImplementationAnswersThroughItsInterfaceParts) {
    JavaPtr<PlayerImpl> impl = jnew<PlayerImpl>();
    PlayerImpl* p = impl.get();
    EXPECT_EQ(PlayerImpl::castAsTypeIDS(p, Player::TESLclassTypeID), static_cast<Player*>(p));
    EXPECT_EQ(PlayerImpl::castAsTypeIDS(p, Controllable::TESLclassTypeID), static_cast<Controllable*>(p));
    EXPECT_EQ(PlayerImpl::castAsTypeIDS(p, kSmart), static_cast<Smart*>(p));
    EXPECT_EQ(PlayerImpl::castAsTypeIDS(p, Listener::TESLclassTypeID), nullptr);
    JavaPtr<Controllable> controllable = jcast<Controllable>(JavaPtr<Object>(impl));
    ASSERT_TRUE(controllable);
    EXPECT_EQ(controllable->controls(), 3);
    EXPECT_EQ(jcast<PlayerImpl>(controllable).get(), p);
    EXPECT_STREQ(controllable->getClassTypeName(), "arrayfixtures.PlayerImpl");
}

// Arrays of arrays, two and three dimensions deep, over every kind of row element.
template <class E>
struct RowKind;

struct RowExpectation {
    const char* grid;  // the name of E[][]
    const char* cube;  // the name of E[][][]
    std::vector<int32_t> answered;
};

// clang-format off
template <> struct RowKind<bool> { static RowExpectation get() { return {"[[Z", "[[[Z", {1}}; } };
template <> struct RowKind<signed char> { static RowExpectation get() { return {"[[B", "[[[B", {2}}; } };
template <> struct RowKind<unsigned short> { static RowExpectation get() { return {"[[C", "[[[C", {3}}; } };
template <> struct RowKind<short> { static RowExpectation get() { return {"[[S", "[[[S", {4}}; } };
template <> struct RowKind<int> { static RowExpectation get() { return {"[[I", "[[[I", {5}}; } };
template <> struct RowKind<long long> { static RowExpectation get() { return {"[[J", "[[[J", {6}}; } };
template <> struct RowKind<float> { static RowExpectation get() { return {"[[F", "[[[F", {7}}; } };
template <> struct RowKind<double> { static RowExpectation get() { return {"[[D", "[[[D", {8}}; } };
template <> struct RowKind<unsigned char> { static RowExpectation get() { return {"[[UB", "[[[UB", {9}}; } };
// The font's glyph tables: named like int arrays, answering the id of their unsigned int rows.
template <> struct RowKind<unsigned int> { static RowExpectation get() { return {"[[I", "[[[I", {12}}; } };
template <> struct RowKind<unsigned long long> { static RowExpectation get() { return {"[[UJ", "[[[UJ", {13}}; } };
template <> struct RowKind<JavaPtr<String>> { static RowExpectation get() {
    return {"[[Ljava.lang.String;", "[[[Ljava.lang.String;", {String::TESLclassTypeID, kObject, kSmart}}; } };
template <> struct RowKind<JavaPtr<Object>> { static RowExpectation get() {
    return {"[[Ljava.lang.Object;", "[[[Ljava.lang.Object;", {kObject, kSmart}}; } };
template <> struct RowKind<JavaPtr<Player>> { static RowExpectation get() {
    return {"[[Larrayfixtures.Player;", "[[[Larrayfixtures.Player;",
            {Player::TESLclassTypeID, Controllable::TESLclassTypeID, kObject, kSmart}}; } };
// clang-format on

template <class E>
class NestedArrays : public testing::Test {};

using RowElements =
    testing::Types<bool, signed char, unsigned short, short, int, long long, float, double, unsigned char,
                   unsigned int, unsigned long long, JavaPtr<String>, JavaPtr<Object>, JavaPtr<Player>>;
TYPED_TEST_SUITE(NestedArrays, RowElements);

TYPED_TEST(NestedArrays, NamesDimensionsAndCastsFollowTheInnermostElement) {
    using Row = JArray<TypeParam>;
    using Grid = JArray<JavaPtr<Row>>;
    using Cube = JArray<JavaPtr<Grid>>;
    const RowExpectation expected = RowKind<TypeParam>::get();
    std::vector<int32_t> answered = expected.answered;
    std::sort(answered.begin(), answered.end());

    JavaPtr<Grid> grid = jnew<Grid>(2);
    JavaPtr<Cube> cube = jnew<Cube>(1);
    EXPECT_EQ(descriptorOf(grid.get()), expected.grid);
    EXPECT_EQ(grid->m_dimensionCount, 2);
    EXPECT_EQ(descriptorOf(cube.get()), expected.cube);
    EXPECT_EQ(cube->m_dimensionCount, 3);
    EXPECT_EQ(Grid::dimensionCount, 2);
    EXPECT_EQ(Cube::dimensionCount, 3);

    for (Smart* array : {static_cast<Smart*>(grid.get()), static_cast<Smart*>(cube.get())}) {
        std::vector<int32_t> byTheArray;
        for (int32_t id : probedIds())
            if (array->castAsTypeID(id) != nullptr) byTheArray.push_back(id);
        std::sort(byTheArray.begin(), byTheArray.end());
        EXPECT_EQ(byTheArray, answered) << array->getClassTypeName();
    }
    EXPECT_EQ(answeredIds(grid.get()).size(), answered.size());
    EXPECT_TRUE(contains(answered, Grid::TESLclassTypeID));

    // Each array type casts to itself, and instanceofArray tells the dimensions apart.
    EXPECT_EQ(jcast<Grid>(JavaPtr<Object>(grid)), grid);
    EXPECT_EQ(jcast<Cube>(JavaPtr<Object>(cube)), cube);
    EXPECT_TRUE(instanceofArray(grid.get(), Grid::TESLclassTypeID, 2));
    // Only an Object[][] is also an Object[] by its own id.
    EXPECT_EQ(instanceofArray(grid.get(), Grid::TESLclassTypeID, 1), Grid::TESLclassTypeID == kObject);
    EXPECT_TRUE(instanceofArray(cube.get(), Cube::TESLclassTypeID, 3));
    EXPECT_TRUE(instanceofArray(grid.get(), kObject, 1));
    EXPECT_EQ(instanceofArray(grid.get(), kObject, 2), contains(answered, kObject));
    EXPECT_FALSE(instanceofArray(grid.get(), kObject, 3));
}

TYPED_TEST(NestedArrays, RowsAreCountedAndGoWithTheOuterArray) {
    using Row = JArray<TypeParam>;
    using Grid = JArray<JavaPtr<Row>>;
    using Cube = JArray<JavaPtr<Grid>>;

    // new E[2][]: two null rows, then rows of different lengths.
    JavaPtr<Grid> grid = jnew<Grid>(2);
    ASSERT_EQ(grid->length, 2);
    EXPECT_FALSE(grid->data[0]);
    EXPECT_FALSE(grid->data[1]);
    JavaPtr<Row> kept = jnew<Row>(3);
    grid->data[0] = kept;
    grid->data[1] = jnew<Row>(1);
    EXPECT_EQ(count(kept.get()), 2);
    EXPECT_EQ(grid->data[0]->length, 3);
    EXPECT_EQ(grid->data[1]->length, 1);

    JavaPtr<Cube> cube = jnew<Cube>(2);
    cube->data[1] = grid;
    cube->data[0] = jnew<Grid>(1);
    cube->data[0]->data[0] = jnew<Row>(2);
    EXPECT_EQ(count(grid.get()), 2);

    grid = nullptr;  // the cube now holds the only reference to the grid
    EXPECT_EQ(count(kept.get()), 2);
    cube = nullptr;  // frees both grids and every row but the kept one; LSan reports any that is lost
    EXPECT_EQ(count(kept.get()), 1);
}

TEST(NestedArrays, RowsAndTheirObjectsGoLastFirst) {
    destroyedTags.clear();
    using Row = JArray<JavaPtr<Displayable>>;
    JavaPtr<JArray<JavaPtr<Row>>> grid = jnew<JArray<JavaPtr<Row>>>(2);
    grid->data[0] = jnew<Row>(2);
    grid->data[0]->data[0] = jnew<Form>(1);
    grid->data[0]->data[1] = jnew<Form>(2);
    grid->data[1] = jnew<Row>(1);
    grid->data[1]->data[0] = jnew<Screen>(3);
    grid = nullptr;
    EXPECT_EQ(destroyedTags, std::vector<int>({3, 2, 1}));
}

TEST(NestedArrays, TheInstancesOfTheProgramHaveTheirNamesAndIds) {
    struct Instance {
        const char* name;
        int32_t dimensions;
        int32_t id;
        const char* expectedName;
        int32_t expectedDimensions;
        int32_t expectedId;
    };
    const std::vector<Instance> instances = {
        {JArray<JavaPtr<JArray<bool>>>::TESLclassName, JArray<JavaPtr<JArray<bool>>>::dimensionCount,
         JArray<JavaPtr<JArray<bool>>>::TESLclassTypeID, "[Z", 2, 1},
        {JArray<JavaPtr<JArray<signed char>>>::TESLclassName,
         JArray<JavaPtr<JArray<signed char>>>::dimensionCount,
         JArray<JavaPtr<JArray<signed char>>>::TESLclassTypeID, "[B", 2, 2},
        {JArray<JavaPtr<JArray<JavaPtr<JArray<signed char>>>>>::TESLclassName,
         JArray<JavaPtr<JArray<JavaPtr<JArray<signed char>>>>>::dimensionCount,
         JArray<JavaPtr<JArray<JavaPtr<JArray<signed char>>>>>::TESLclassTypeID, "[B", 3, 2},
        {JArray<JavaPtr<JArray<short>>>::TESLclassName, JArray<JavaPtr<JArray<short>>>::dimensionCount,
         JArray<JavaPtr<JArray<short>>>::TESLclassTypeID, "[S", 2, 4},
        {JArray<JavaPtr<JArray<int>>>::TESLclassName, JArray<JavaPtr<JArray<int>>>::dimensionCount,
         JArray<JavaPtr<JArray<int>>>::TESLclassTypeID, "[I", 2, 5},
        {JArray<JavaPtr<JArray<unsigned int>>>::TESLclassName,
         JArray<JavaPtr<JArray<unsigned int>>>::dimensionCount,
         JArray<JavaPtr<JArray<unsigned int>>>::TESLclassTypeID, "[I", 2, 12},
        {JArray<JavaPtr<JArray<JavaPtr<Object>>>>::TESLclassName,
         JArray<JavaPtr<JArray<JavaPtr<Object>>>>::dimensionCount,
         JArray<JavaPtr<JArray<JavaPtr<Object>>>>::TESLclassTypeID, "java.lang.Object", 2, kObject},
        {JArray<JavaPtr<JArray<JavaPtr<String>>>>::TESLclassName,
         JArray<JavaPtr<JArray<JavaPtr<String>>>>::dimensionCount,
         JArray<JavaPtr<JArray<JavaPtr<String>>>>::TESLclassTypeID, "java.lang.String", 2,
         String::TESLclassTypeID},
    };
    for (const Instance& instance : instances) {
        EXPECT_STREQ(instance.name, instance.expectedName);
        EXPECT_EQ(instance.dimensions, instance.expectedDimensions) << instance.expectedName;
        EXPECT_EQ(instance.id, instance.expectedId) << instance.expectedName;
    }
}

}  // namespace
