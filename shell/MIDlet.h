// javax.microedition.midlet.MIDlet: the base of the application's MIDlet. Its life-cycle operations are
// hooks for the application; notifyDestroyed raises the quit flag that ends the ticker thread.
#pragma once

#include <atomic>

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::midlet {

class MIDlet : public java::lang::Object {
    TESL_CLASS(MIDlet, "javax.microedition.midlet.MIDlet", java::lang::Object)
public:
    MIDlet() noexcept {}
    ~MIDlet() override;

    MIDlet* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    virtual void destroyApp(bool unconditional);
    virtual void pauseApp();
    virtual void startApp();

    void notifyDestroyed();
    void notifyPaused();
    void resumeRequest();
    int checkPermission(const JavaPtr<java::lang::String>& permission);
    // Asks the host to open the address; throws NullPointerException for a null one.
    bool platformRequest(const JavaPtr<java::lang::String>& url);
    // The application descriptor's value for key, a new String; null for any other key.
    JavaPtr<java::lang::String> getAppProperty(const JavaPtr<java::lang::String>& key);

    // Set once by notifyDestroyed, never cleared; the ticker thread polls it.
    static inline std::atomic<bool> quitInvoked{false};
};

}  // namespace javax::microedition::midlet
