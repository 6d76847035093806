// Fixtures of the sensor tests: a clean package state per test, and recording listeners and conditions.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

#include "sensor/Condition.h"
#include "sensor/ConditionListener.h"
#include "sensor/Data.h"
#include "sensor/DataListener.h"
#include "sensor/SensorConnection.h"
#include "sensor/SensorListener.h"
#include "sensor/SensorManager.h"
#include "sensor/TiltFeed.h"
#include "tests/sensor/FakeClock.h"

namespace sensortest {

using namespace javax::microedition::sensor;

// Every test starts with no sensor list, registrations, connections or pending sample.
struct SensorPackageTest : ::testing::Test {
    SensorPackageTest() { reset(); }
    ~SensorPackageTest() override { reset(); }
    static void reset() {
        SensorManager::SensorManager_staticDestroy();
        if (TiltFeed::samplePending()) TiltFeed::consume(TiltFeed::read());
    }
    FakeClock clock{5'000'000'000LL};
};

// One call of dataReceived, with the values of each Data copied out.
struct Delivery {
    java::lang::Smart* connection;
    std::vector<JavaPtr<Data>> data;
    bool dataLost;
    std::vector<std::vector<double>> values;
};

class RecordingDataListener : public java::lang::Object, public DataListener {
    TESL_CLASS(RecordingDataListener, "sensortest.RecordingDataListener", java::lang::Object, DataListener)
public:
    void dataReceived(const JavaPtr<SensorConnection>& connection, const JavaPtr<JArray<JavaPtr<Data>>>& data,
                      bool isDataLost) override {
        Delivery delivery{connection.counted(), {}, isDataLost, {}};
        for (auto& d : *data) {
            delivery.data.push_back(d);
            JavaPtr<JArray<double>> values = d->getDoubleValues();
            delivery.values.emplace_back(values->begin(), values->end());
        }
        {
            std::lock_guard<std::mutex> lock(mutex);
            deliveries.push_back(delivery);
        }
        if (onReceive) onReceive();
    }
    std::vector<Delivery> received() {
        std::lock_guard<std::mutex> lock(mutex);
        return deliveries;
    }
    std::function<void()> onReceive;

private:
    std::mutex mutex;
    std::vector<Delivery> deliveries;
};

class RecordingSensorListener : public java::lang::Object, public SensorListener {
    TESL_CLASS(RecordingSensorListener, "sensortest.RecordingSensorListener", java::lang::Object,
               SensorListener)
public:
    void sensorAvailable(const JavaPtr<SensorInfo>& info) override {
        told.push_back(info.counted());
        if (onTold) onTold();
    }
    std::vector<java::lang::Smart*> told;
    std::function<void()> onTold;
};

// Met by values above the threshold; counts how often it was asked.
class AboveCondition : public java::lang::Object, public Condition {
    TESL_CLASS(AboveCondition, "sensortest.AboveCondition", java::lang::Object, Condition)
public:
    AboveCondition* TESLinvokeconstructor(double threshold) {
        Object::TESLinvokeconstructor();
        this->threshold = threshold;
        return this;
    }
    bool isMet(double value) override {
        ++asked;
        return value > threshold;
    }
    double threshold = 0;
    std::atomic<int> asked{0};
};

struct MetCall {
    java::lang::Smart* connection;
    JavaPtr<Data> data;
    java::lang::Smart* condition;
};

class RecordingConditionListener : public java::lang::Object, public ConditionListener {
    TESL_CLASS(RecordingConditionListener, "sensortest.RecordingConditionListener", java::lang::Object,
               ConditionListener)
public:
    void conditionMet(const JavaPtr<SensorConnection>& connection, const JavaPtr<Data>& data,
                      const JavaPtr<Condition>& condition) override {
        calls.push_back({connection.counted(), data, condition.counted()});
        if (onMet) onMet(condition);
    }
    std::vector<MetCall> calls;
    std::function<void(const JavaPtr<Condition>&)> onMet;
};

inline JavaPtr<SensorConnection> openTiltConnection() {
    JavaPtr<SensorInfo> sensor = SensorManager::findAllSensors()->data[0];
    return jcast<SensorConnection>(SensorManager::openConnection(sensor->getUrl(), 1, false));
}

}  // namespace sensortest
