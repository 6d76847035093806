// javax.microedition.sensor.ChannelImpl: the channel a sensor connection hands out. It only keeps the
// (listener, condition) pairs, in two parallel arrays of exactly their length; the sensor poll tests them.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

#include "sensor/Channel.h"

namespace javax::microedition::sensor {

class ChannelImpl : public java::lang::Object, public Channel {
    TESL_CLASS(ChannelImpl, "javax.microedition.sensor.ChannelImpl", java::lang::Object, Channel)
public:
    using Pair = std::pair<JavaPtr<ConditionListener>, JavaPtr<Condition>>;

    ChannelImpl() noexcept {}
    ~ChannelImpl() override = default;

    ChannelImpl* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    void addCondition(const JavaPtr<ConditionListener>& listener,
                      const JavaPtr<Condition>& condition) override;
    JavaPtr<ChannelInfo> getChannelInfo() override { return channelInfo; }
    JavaPtr<java::lang::String> getChannelUrl() override;
    JavaPtr<JArray<JavaPtr<Condition>>> getConditions(const JavaPtr<ConditionListener>& listener) override;
    void removeAllConditions() override;
    void removeCondition(const JavaPtr<ConditionListener>& listener,
                         const JavaPtr<Condition>& condition) override;
    void removeConditionListener(const JavaPtr<ConditionListener>& listener) override;

    // The pairs as they stand, for the poll to test one by one without holding the lock during the
    // application's isMet and conditionMet.
    std::vector<Pair> pairSnapshot();
    bool hasPair(const JavaPtr<ConditionListener>& listener, const JavaPtr<Condition>& condition);
    bool hasConditions();

    // Set by the connection before the channel is handed out; not changed afterwards.
    JavaPtr<ChannelInfo> channelInfo;
    // Parallel: pair i is (conditionListeners[i], conditions[i]). Null until the first addCondition and
    // again after removeAllConditions.
    JavaPtr<JArray<JavaPtr<ConditionListener>>> conditionListeners;
    JavaPtr<JArray<JavaPtr<Condition>>> conditions;

private:
    // Keeps the pairs matching the test, in order, in two new arrays of exactly their length.
    template <class Drop>
    void keepPairsExcept(Drop drop);

    // Guards conditionListeners and conditions: applications change the pairs on their threads while
    // the poll reads them on the ticker thread.
    std::mutex m_pairsMutex;
};

}  // namespace javax::microedition::sensor
