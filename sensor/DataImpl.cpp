#include "sensor/DataImpl.h"

#include "runtime/IllegalStateException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::sensor {

using java::lang::Object;

namespace {

// The null test comes before the index test.
template <class E>
E elementOf(const JavaPtr<JArray<E>>& array, int index) {
    if (!array) throw java::lang::IllegalStateException();
    if (index < 0 || index >= array->length) throw java::lang::IndexOutOfBoundsException();
    return array->data[index];
}

}  // namespace

DataImpl* DataImpl::TESLinvokeconstructor(const JavaPtr<ChannelInfo>& channelInfo,
                                          const JavaPtr<JArray<double>>& doubleValues,
                                          const JavaPtr<JArray<int>>& intValues,
                                          const JavaPtr<JArray<JavaPtr<Object>>>& objectValues,
                                          const JavaPtr<JArray<long long>>& timestamps,
                                          const JavaPtr<JArray<float>>& uncertainties,
                                          const JavaPtr<JArray<bool>>& validities) {
    Object::TESLinvokeconstructor();
    this->channelInfo = channelInfo;
    this->doubleValues = doubleValues;
    this->intValues = intValues;
    this->objectValues = objectValues;
    this->timestamps = timestamps;
    this->uncertainties = uncertainties;
    this->validities = validities;
    return this;
}

void DataImpl::requireDataType(int32_t type) {
    if (!channelInfo) throw java::lang::NullPointerException();
    if (channelInfo->getDataType() != type) throw java::lang::IllegalStateException();
}

JavaPtr<JArray<double>> DataImpl::getDoubleValues() {
    requireDataType(ChannelInfo::TYPE_DOUBLE);
    return doubleValues;
}

JavaPtr<JArray<int>> DataImpl::getIntValues() {
    requireDataType(ChannelInfo::TYPE_INT);
    return intValues;
}

JavaPtr<JArray<JavaPtr<Object>>> DataImpl::getObjectValues() {
    requireDataType(ChannelInfo::TYPE_OBJECT);
    return objectValues;
}

long long DataImpl::getTimestamp(int index) {
    return elementOf(timestamps, index);
}

float DataImpl::getUncertainty(int index) {
    return elementOf(uncertainties, index);
}

bool DataImpl::isValid(int index) {
    return elementOf(validities, index);
}

}  // namespace javax::microedition::sensor
