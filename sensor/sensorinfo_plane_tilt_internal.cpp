#include "sensor/sensorinfo_plane_tilt_internal.h"

#include "sensor/channelinfo_internal.h"

namespace javax::microedition::sensor {

using java::lang::Object;
using java::lang::String;

JavaPtr<JArray<JavaPtr<ChannelInfo>>> sensorinfo_plane_tilt_internal::getChannelInfos() {
    std::lock_guard<std::mutex> lock(m_channelInfosMutex);
    if (!channelInfos) {
        JavaPtr<JArray<JavaPtr<ChannelInfo>>> infos = jnewArray<JavaPtr<ChannelInfo>>(2);
        infos->data[0] = jnew<channelinfo_internal>(0);
        infos->data[1] = jnew<channelinfo_internal>(1);
        channelInfos = infos;
    }
    return channelInfos;
}

// Literals on purpose: the manager compares quantities with the literal-only string ==.
JavaPtr<String> sensorinfo_plane_tilt_internal::getContextType() {
    return jnew<String>("device");
}

JavaPtr<String> sensorinfo_plane_tilt_internal::getDescription() {
    return jnew<String>("Tilt info returned from the iPhone accelerometer");
}

JavaPtr<String> sensorinfo_plane_tilt_internal::getModel() {
    return jnew<String>("iPhone");
}

JavaPtr<String> sensorinfo_plane_tilt_internal::getQuantity() {
    return jnew<String>("plane_angle");
}

JavaPtr<String> sensorinfo_plane_tilt_internal::getUrl() {
    JavaPtr<String> url = jnew<String>("sensor:");
    url = *url + JavaPtr<Object>(getQuantity());
    url = *url + JavaPtr<Object>(jnew<String>(";context_type="));
    url = *url + JavaPtr<Object>(getContextType());
    url = *url + JavaPtr<Object>(jnew<String>(";model="));
    return *url + JavaPtr<Object>(getModel());
}

}  // namespace javax::microedition::sensor
