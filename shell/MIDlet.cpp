#include "shell/MIDlet.h"

#include <string>

#include "library/ThreadImp.h"
#include "runtime/NullPointerException.h"
#include "shell/TickerWake.h"
#include "shell/UrlRequest.h"

namespace javax::microedition::midlet {

namespace {

struct AppProperty {
    const char* key;
    const char* value;
};

// The application descriptor, compared in this order.
constexpr AppProperty kAppProperties[] = {
    {"MIDlet-1", "Quillet,/Icon.png,AppMidlet"},
    {"MIDlet-Data-Size", "1000"},
    {"MIDlet-Description", "Quillet"},
    {"MIDlet-Name", "Quillet"},
    {"MIDlet-Vendor", "Marrowby"},
    {"MIDlet-Info-URL", "https://example.invalid/"},
    {"MIDlet-Icon", "/Icon.png"},
    {"MIDlet-Version", "1.3"},
    {"MIDlet-Jar-URL", "Quillet.jar"},
    {"MIDlet-Jar-Size", "-1"},
    {"Manifest-Version", "1.0"},
    {"MicroEdition-Configuration", "CLDC-1.1"},
    {"MicroEdition-Profile", "MIDP-2.0"},
};

}  // namespace

MIDlet::~MIDlet() = default;

void MIDlet::destroyApp(bool) {}

void MIDlet::pauseApp() {}

void MIDlet::startApp() {}

void MIDlet::notifyDestroyed() {
    quitInvoked.store(true);
    // The ticker leaves its loop at the quit and runs the tear-down.
    TickerWake::wake();
    // Green threads asleep at tear-down are resumed, not waited out, once the application has quit.
    java::lang::ThreadImp::setQuitRequested(true);
}

void MIDlet::notifyPaused() {}

void MIDlet::resumeRequest() {}

int MIDlet::checkPermission(const JavaPtr<java::lang::String>&) {
    return -1;
}

bool MIDlet::platformRequest(const JavaPtr<java::lang::String>& url) {
    if (!url) throw java::lang::NullPointerException();
    return _URLplatformRequest(url->val());
}

JavaPtr<java::lang::String> MIDlet::getAppProperty(const JavaPtr<java::lang::String>& key) {
    if (!key) return nullptr;
    for (const AppProperty& property : kAppProperties)
        if (key->equals(jnew<java::lang::String>(property.key)))
            return jnew<java::lang::String>(property.value);
    return nullptr;
}

}  // namespace javax::microedition::midlet
