#include "shell/ProxyMIDlet.h"

#include <utility>

#include "runtime/IllegalStateException.h"

using javax::microedition::midlet::MIDlet;

ProxyMIDlet::~ProxyMIDlet() {
    // The reference is dropped, not only counted down, so that nothing can reach a freed MIDlet
    // through the proxy afterwards.
    JavaPtr<MIDlet> old;
    std::lock_guard<std::mutex> lock(midletMutex);
    old = std::move(m_pMIDlet);
}

ProxyMIDlet* ProxyMIDlet::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    MIDletFactory make;
    {
        std::lock_guard<std::mutex> lock(midletMutex);
        make = factory;
    }
    if (make == nullptr) throw java::lang::IllegalStateException();
    JavaPtr<MIDlet> midlet = make();
    JavaPtr<MIDlet> old;
    std::lock_guard<std::mutex> lock(midletMutex);
    old = std::exchange(m_pMIDlet, std::move(midlet));
    return this;
}

void ProxyMIDlet::setMIDletFactory(MIDletFactory newFactory) {
    std::lock_guard<std::mutex> lock(midletMutex);
    factory = newFactory;
}

JavaPtr<MIDlet> ProxyMIDlet::getActualMidlet() {
    std::lock_guard<std::mutex> lock(midletMutex);
    return m_pMIDlet;
}

// The forwarders call through a counted copy, outside the lock: the application's operations may
// take long and may reach the proxy again.
void ProxyMIDlet::startApp() {
    if (JavaPtr<MIDlet> midlet = getActualMidlet()) midlet->startApp();
}

void ProxyMIDlet::pauseApp() {
    if (JavaPtr<MIDlet> midlet = getActualMidlet()) midlet->pauseApp();
}

void ProxyMIDlet::destroyApp(bool unconditional) {
    if (JavaPtr<MIDlet> midlet = getActualMidlet()) midlet->destroyApp(unconditional);
}

void ProxyMIDlet::notifyPaused() {
    if (JavaPtr<MIDlet> midlet = getActualMidlet()) midlet->notifyPaused();
}

void ProxyMIDlet::notifyDestroyed() {
    if (JavaPtr<MIDlet> midlet = getActualMidlet()) midlet->notifyDestroyed();
}
