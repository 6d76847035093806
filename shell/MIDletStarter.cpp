#include "shell/MIDletStarter.h"

#include "shell/StartUp.h"

void MIDletStarter::run() {
    JavaPtr<ProxyMIDlet> proxy = jnew<ProxyMIDlet>();
    _setMyMidlet(proxy);
    if (_destroyRequested.load()) {
        _deliverDestroyOnce(proxy);
        return;
    }
    proxy->startApp();
}
