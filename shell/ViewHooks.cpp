#include "shell/ViewHooks.h"

#include "platform/host/Host.h"

namespace {

std::atomic<iPhone::NativeViewHook> installedHook{nullptr};

void requestHook(int value) {
    _callback_value.store(value);
    _objcThreadHook();
}

}  // namespace

extern "C" void _objcThreadHook() {
    platform::Host* host = platform::currentHost();
    if (host == nullptr) {
        _objcNativeHook();
        return;
    }
    host->runOnMain([] { _objcNativeHook(); }, true);
}

extern "C" void _objcNativeHook() {
    if (iPhone::NativeViewHook hook = installedHook.load()) hook();
}

namespace iPhone {

void textOverlayStart() {
    requestHook(0);
}

void textOverlayStop() {
    requestHook(1);
}

void viewSetup() {
    requestHook(2);
}

void viewReplace() {
    requestHook(3);
}

void setNativeViewHook(NativeViewHook hook) {
    installedHook.store(hook);
}

}  // namespace iPhone
