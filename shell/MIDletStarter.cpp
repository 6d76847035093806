#include "shell/MIDletStarter.h"

#include "shell/StartUp.h"

void MIDletStarter::run() {
    JavaPtr<ProxyMIDlet> proxy = jnew<ProxyMIDlet>();
    _setMyMidlet(proxy);
    proxy->startApp();
}
