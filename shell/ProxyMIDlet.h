// ProxyMIDlet: the object through which the shell reaches the application's MIDlet. Creating one
// creates the application's MIDlet; every later life-cycle call of the shell goes through it.
#pragma once

#include <mutex>

#include "runtime/Object.h"
#include "shell/MIDlet.h"

class ProxyMIDlet : public java::lang::Object {
    TESL_CLASS(ProxyMIDlet, "ProxyMIDlet", java::lang::Object)
public:
    using MIDletFactory = JavaPtr<javax::microedition::midlet::MIDlet> (*)();

    ProxyMIDlet() noexcept {}
    // Gives back the proxy's hold on the MIDlet, which goes when nothing else holds it.
    ~ProxyMIDlet() override;

    // Creates the application's MIDlet through the installed factory; IllegalStateException when
    // the program installed none.
    ProxyMIDlet* TESLinvokeconstructor();

    void startApp();
    void pauseApp();
    void destroyApp(bool unconditional);
    void notifyPaused();
    void notifyDestroyed();
    // A new reference to the application's MIDlet; null when there is none.
    JavaPtr<javax::microedition::midlet::MIDlet> getActualMidlet();

    // The program names the application's MIDlet class here at start-up (the shell cannot name it).
    static void setMIDletFactory(MIDletFactory factory);

private:
    // Guards m_pMIDlet: the MIDlet thread creates it while the platform main thread pauses or resumes.
    static inline std::mutex midletMutex;
    // The application's MIDlet, one counted reference held by the proxy.
    static inline JavaPtr<javax::microedition::midlet::MIDlet> m_pMIDlet;
    static inline MIDletFactory factory = nullptr;
};
