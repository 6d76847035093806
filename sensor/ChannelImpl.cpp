#include "sensor/ChannelImpl.h"

#include <utility>

namespace javax::microedition::sensor {

using java::lang::String;

namespace {

bool sameObject(const JavaPtr<ConditionListener>& a, const JavaPtr<ConditionListener>& b) {
    return a.counted() == b.counted();
}
bool sameObject(const JavaPtr<Condition>& a, const JavaPtr<Condition>& b) {
    return a.counted() == b.counted();
}

}  // namespace

void ChannelImpl::addCondition(const JavaPtr<ConditionListener>& listener,
                               const JavaPtr<Condition>& condition) {
    std::lock_guard<std::mutex> lock(m_pairsMutex);
    if (!conditionListeners) {
        conditions = jnew<JArray<JavaPtr<Condition>>>();
        conditionListeners = jnew<JArray<JavaPtr<ConditionListener>>>();
    } else {
        for (int32_t i = 0; i < conditionListeners->length; ++i) {
            if (sameObject(conditionListeners->data[i], listener) &&
                sameObject(conditions->data[i], condition))
                return;
        }
    }
    conditions->append(condition);
    conditionListeners->append(listener);
}

JavaPtr<String> ChannelImpl::getChannelUrl() {
    JavaPtr<String> name = channelInfo ? channelInfo->getName() : JavaPtr<String>();
    return *jnew<String>("channel=") + JavaPtr<java::lang::Object>(name);
}

JavaPtr<JArray<JavaPtr<Condition>>> ChannelImpl::getConditions(const JavaPtr<ConditionListener>& listener) {
    JavaPtr<JArray<JavaPtr<Condition>>> result = jnew<JArray<JavaPtr<Condition>>>();
    std::lock_guard<std::mutex> lock(m_pairsMutex);
    if (!conditionListeners) return result;
    for (int32_t i = 0; i < conditionListeners->length; ++i) {
        if (sameObject(conditionListeners->data[i], listener)) result->append(conditions->data[i]);
    }
    return result;
}

void ChannelImpl::removeAllConditions() {
    // Released after the lock is let go: a condition's end may call back into this channel.
    JavaPtr<JArray<JavaPtr<ConditionListener>>> oldListeners;
    JavaPtr<JArray<JavaPtr<Condition>>> oldConditions;
    std::lock_guard<std::mutex> lock(m_pairsMutex);
    oldListeners = std::move(conditionListeners);
    oldConditions = std::move(conditions);
}

template <class Drop>
void ChannelImpl::keepPairsExcept(Drop drop) {
    JavaPtr<JArray<JavaPtr<ConditionListener>>> oldListeners;
    JavaPtr<JArray<JavaPtr<Condition>>> oldConditions;
    std::lock_guard<std::mutex> lock(m_pairsMutex);
    if (!conditionListeners) return;
    const int32_t count = conditionListeners->length;
    int32_t kept = 0;
    for (int32_t i = 0; i < count; ++i) {
        if (!drop(conditionListeners->data[i], conditions->data[i])) ++kept;
    }
    // Both made before either list changes: a failed allocation leaves every pair in place.
    JavaPtr<JArray<JavaPtr<ConditionListener>>> listeners = jnewArray<JavaPtr<ConditionListener>>(kept);
    JavaPtr<JArray<JavaPtr<Condition>>> keptConditions = jnewArray<JavaPtr<Condition>>(kept);
    oldListeners = std::exchange(conditionListeners, std::move(listeners));
    oldConditions = std::exchange(conditions, std::move(keptConditions));
    for (int32_t i = 0, k = 0; i < count && k < kept; ++i) {
        if (drop(oldListeners->data[i], oldConditions->data[i])) continue;
        conditionListeners->data[k] = oldListeners->data[i];
        conditions->data[k] = oldConditions->data[i];
        ++k;
    }
}

void ChannelImpl::removeCondition(const JavaPtr<ConditionListener>& listener,
                                  const JavaPtr<Condition>& condition) {
    keepPairsExcept([&](const JavaPtr<ConditionListener>& l, const JavaPtr<Condition>& c) {
        return sameObject(l, listener) && sameObject(c, condition);
    });
}

void ChannelImpl::removeConditionListener(const JavaPtr<ConditionListener>& listener) {
    keepPairsExcept([&](const JavaPtr<ConditionListener>& l, const JavaPtr<Condition>&) {
        return sameObject(l, listener);
    });
}

std::vector<ChannelImpl::Pair> ChannelImpl::pairSnapshot() {
    std::lock_guard<std::mutex> lock(m_pairsMutex);
    std::vector<Pair> pairs;
    if (!conditionListeners) return pairs;
    pairs.reserve(static_cast<size_t>(conditionListeners->length));
    for (int32_t i = 0; i < conditionListeners->length; ++i)
        pairs.emplace_back(conditionListeners->data[i], conditions->data[i]);
    return pairs;
}

bool ChannelImpl::hasPair(const JavaPtr<ConditionListener>& listener, const JavaPtr<Condition>& condition) {
    std::lock_guard<std::mutex> lock(m_pairsMutex);
    if (!conditionListeners) return false;
    for (int32_t i = 0; i < conditionListeners->length; ++i) {
        if (sameObject(conditionListeners->data[i], listener) && sameObject(conditions->data[i], condition))
            return true;
    }
    return false;
}

bool ChannelImpl::hasConditions() {
    std::lock_guard<std::mutex> lock(m_pairsMutex);
    return static_cast<bool>(conditions);
}

}  // namespace javax::microedition::sensor
