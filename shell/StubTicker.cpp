#include "shell/StubTicker.h"

#include "shell/StartUp.h"

void StubTicker::run() {
    startapp_thread(nullptr);
}
