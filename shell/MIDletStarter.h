// The body of the MIDlet thread: creates the application's MIDlet through the proxy and starts it.
#pragma once

#include "runtime/Object.h"
#include "runtime/Runnable.h"

class MIDletStarter : public java::lang::Object, public virtual java::lang::Runnable {
    TESL_CLASS_WITH_ID(MIDletStarter, "MIDletStarter", 0x0DF84A1C, java::lang::Object, java::lang::Runnable)
public:
    MIDletStarter() noexcept {}
    MIDletStarter* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    void run() override;
};
