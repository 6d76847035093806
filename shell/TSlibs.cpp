#include "shell/TSlibs.h"

#include <atomic>
#include <cstdio>
#include <exception>

#include "library/System.h"
#include "media/Manager.h"
#include "media/MetaDataControl.h"
#include "media/PlayerListener.h"
#include "runtime/String.h"
#include "runtime/Throwable.h"
#include "sensor/Condition.h"
#include "sensor/SensorInfo.h"
#include "sensor/SensorManager.h"
#include "shell/Display.h"

using javax::microedition::media::Manager;
using javax::microedition::media::PlayerListener;
using javax::microedition::media::control::MetaDataControl;
using javax::microedition::sensor::Condition;
using javax::microedition::sensor::SensorInfo;
using javax::microedition::sensor::SensorManager;

namespace {

std::atomic<void (*)(const char*)> callLog{nullptr};

void call(const char* name, void (*hook)()) {
    TSlibs_logCall(name);
    hook();
}

// A poll that throws (a listener of the application) must not end the ticker thread: the UI and the
// tear-down run on it.
void poll(const char* name, void (*hook)()) {
    TSlibs_logCall(name);
    try {
        hook();
    } catch (java::lang::Throwable& e) {
        JavaPtr<java::lang::String> message = e.getMessage();
        std::fprintf(stderr, "quill: %s poll threw %s: %s\n", name, e.getClassTypeName(),
                     message ? toUtf8(message).c_str() : "(no message)");
    } catch (std::exception& e) {
        std::fprintf(stderr, "quill: %s poll threw %s\n", name, e.what());
    }
}

}  // namespace

void setTSlibsCallLog(void (*log)(const char* hook)) {
    callLog.store(log);
}

void TSlibs_logCall(const char* hook) {
    if (auto log = callLog.load()) log(hook);
}

void TSlibs_staticInit() {
    call("System", System_staticInit);
    // HttpConnection_staticInit() comes here when net/ lands.
    call("Manager", Manager::Manager_staticInit);
    call("PlayerListener", PlayerListener::PlayerListener_staticInit);
    call("MetaDataControl", MetaDataControl::MetaDataControl_staticInit);
    call("Condition", Condition::Condition_staticInit);
    call("SensorInfo", SensorInfo::SensorInfo_staticInit);
    call("SensorManager", SensorManager::SensorManager_staticInit);
    // LocationProvider_staticInit() comes here when location/ lands.
    // MessageConnection_staticInit() comes here when messaging/ lands.
}

void TSlibs_staticDestroy() {
    call("System", System_staticDestroy);
    // HttpConnection_staticDestroy() comes here when net/ lands.
    call("Display", javax::microedition::lcdui::Display::Display_staticDestroy);
    call("Manager", Manager::Manager_staticDestroy);
    call("PlayerListener", PlayerListener::PlayerListener_staticDestroy);
    call("MetaDataControl", MetaDataControl::MetaDataControl_staticDestroy);
    call("Condition", Condition::Condition_staticDestroy);
    call("SensorInfo", SensorInfo::SensorInfo_staticDestroy);
    call("SensorManager", SensorManager::SensorManager_staticDestroy);
    // LocationProvider_staticDestroy() comes here when location/ lands.
    // MessageConnection_staticDestroy() comes here when messaging/ lands.
}

void TSlibs_tickPolling() {
    poll("Manager.tick", Manager::tick);
    poll("SensorManager.checkListeners", SensorManager::checkListeners);
    // poll("LocationProvider.checkListeners", LocationProvider::checkListeners) when location/ lands.
}
