// Channels and their condition pairs, conditions' operator names and measurement ranges.
#include <gtest/gtest.h>

#include <vector>

#include "sensor/ChannelImpl.h"
#include "sensor/Condition.h"
#include "sensor/ConditionListener.h"
#include "sensor/MeasurementRange.h"
#include "sensor/channelinfo_internal.h"
#include "tests/support/StringText.h"

using namespace javax::microedition::sensor;
using testsupport::narrow;

namespace {

class AlwaysMet : public java::lang::Object, public Condition {
    TESL_CLASS(AlwaysMet, "sensortest.AlwaysMet", java::lang::Object, Condition)
public:
    bool isMet(double) override { return true; }
};

class SilentListener : public java::lang::Object, public ConditionListener {
    TESL_CLASS(SilentListener, "sensortest.SilentListener", java::lang::Object, ConditionListener)
public:
    void conditionMet(const JavaPtr<SensorConnection>&, const JavaPtr<Data>&,
                      const JavaPtr<Condition>&) override {}
};

// The conditions of a listener as the objects they are.
std::vector<java::lang::Smart*> conditionsOf(const JavaPtr<ChannelImpl>& channel,
                                             const JavaPtr<ConditionListener>& listener) {
    std::vector<java::lang::Smart*> out;
    JavaPtr<JArray<JavaPtr<Condition>>> conditions = channel->getConditions(listener);
    EXPECT_TRUE(conditions);
    for (auto& c : *conditions) out.push_back(c.counted());
    return out;
}

struct ChannelFixture : ::testing::Test {
    JavaPtr<ChannelImpl> channel = jnew<ChannelImpl>();
    JavaPtr<ConditionListener> l = jnew<SilentListener>();
    JavaPtr<ConditionListener> m = jnew<SilentListener>();
    JavaPtr<Condition> c1 = jnew<AlwaysMet>();
    JavaPtr<Condition> c2 = jnew<AlwaysMet>();
};

}  // namespace

TEST_F(ChannelFixture, ChannelUrlNamesItsChannel) {
    channel->channelInfo = jnew<channelinfo_internal>(1);
    EXPECT_EQ(narrow(channel->getChannelUrl()), "channel=roll");
    channel->channelInfo = jnew<channelinfo_internal>(0);
    EXPECT_EQ(narrow(channel->getChannelUrl()), "channel=pitch");
}

TEST_F(ChannelFixture, NewChannelHasNoPairsAndAnEmptyConditionList) {
    EXPECT_FALSE(channel->conditions);
    EXPECT_FALSE(channel->conditionListeners);
    JavaPtr<JArray<JavaPtr<Condition>>> none = channel->getConditions(l);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->length, 0);
}

TEST_F(ChannelFixture, PairsAreKeptOnceInOrderOfAdding) {
    channel->addCondition(l, c1);
    channel->addCondition(l, c1);
    EXPECT_EQ(channel->conditions->length, 1);
    channel->addCondition(l, c2);
    channel->addCondition(m, c1);
    EXPECT_EQ(conditionsOf(channel, l), (std::vector<java::lang::Smart*>{c1.counted(), c2.counted()}));
    EXPECT_EQ(conditionsOf(channel, m), (std::vector<java::lang::Smart*>{c1.counted()}));
    EXPECT_EQ(channel->conditions->length, 3);
    EXPECT_EQ(channel->conditionListeners->length, 3);
}

TEST_F(ChannelFixture, RemovalsDropEveryMatchingPairAndLeaveEmptyArrays) {
    channel->addCondition(l, c1);
    channel->addCondition(l, c2);
    channel->addCondition(m, c1);

    channel->removeCondition(m, c2);  // never added: the same pairs remain
    EXPECT_EQ(channel->conditions->length, 3);

    channel->removeConditionListener(l);
    ASSERT_EQ(channel->conditions->length, 1);
    EXPECT_EQ(channel->conditionListeners->data[0], m);
    EXPECT_EQ(channel->conditions->data[0], c1);

    channel->removeCondition(m, c1);
    ASSERT_TRUE(channel->conditions);
    ASSERT_TRUE(channel->conditionListeners);
    EXPECT_EQ(channel->conditions->length, 0);
    EXPECT_EQ(channel->conditionListeners->length, 0);
    EXPECT_TRUE(conditionsOf(channel, m).empty());
}

TEST_F(ChannelFixture, RemoveAllConditionsForgetsEveryPair) {
    channel->addCondition(l, c1);
    channel->addCondition(m, c2);
    channel->removeAllConditions();
    EXPECT_FALSE(channel->conditions);
    EXPECT_TRUE(conditionsOf(channel, l).empty());
    EXPECT_TRUE(conditionsOf(channel, m).empty());
}

TEST_F(ChannelFixture, PairsHoldTheirObjectsUntilRemoved) {
    channel->addCondition(l, c1);
    EXPECT_EQ(c1.counted()->m_referenceCount.load(), 2);
    channel->removeCondition(l, c1);
    EXPECT_EQ(c1.counted()->m_referenceCount.load(), 1);
    EXPECT_EQ(l.counted()->m_referenceCount.load(), 1);
}

TEST(MeasurementRangeTest, StoresItsValuesUnchecked) {
    JavaPtr<MeasurementRange> range = jnew<MeasurementRange>(5.0, -5.0, -1.0);
    EXPECT_EQ(range->getSmallestValue(), 5.0);
    EXPECT_EQ(range->getLargestValue(), -5.0);
    EXPECT_EQ(range->getResolution(), -1.0);
}

TEST(ConditionTest, OperatorNamesLiveBetweenInitAndDestroy) {
    Condition::Condition_staticInit();
    EXPECT_EQ(narrow(Condition::OP_EQUALS), "eq");
    EXPECT_EQ(narrow(Condition::OP_GREATER_THAN), "gt");
    EXPECT_EQ(narrow(Condition::OP_GREATER_THAN_OR_EQUALS), "ge");
    EXPECT_EQ(narrow(Condition::OP_LESS_THAN), "lt");
    EXPECT_EQ(narrow(Condition::OP_LESS_THAN_OR_EQUALS), "le");
    Condition::Condition_staticDestroy();
    for (auto* op :
         {&Condition::OP_EQUALS, &Condition::OP_GREATER_THAN, &Condition::OP_GREATER_THAN_OR_EQUALS,
          &Condition::OP_LESS_THAN, &Condition::OP_LESS_THAN_OR_EQUALS})
        EXPECT_FALSE(*op);
}
