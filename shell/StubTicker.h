// The body of the ticker thread: the ticker loop and the tear-down (startapp_thread).
#pragma once

#include "runtime/Object.h"
#include "runtime/Runnable.h"
#include "shell/MIDletStarter.h"

class StubTicker : public java::lang::Object, public virtual java::lang::Runnable {
    TESL_CLASS_WITH_ID(StubTicker, "StubTicker", MIDletStarter::TESLclassTypeID + 1, java::lang::Object,
                       java::lang::Runnable)
public:
    StubTicker() noexcept {}
    StubTicker* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    void run() override;
};
