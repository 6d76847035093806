#include "shell/StaticProxy.h"

#include <atomic>

namespace {
std::atomic<void (*)()> initialiseHook{nullptr};
std::atomic<void (*)()> destroyHook{nullptr};
}  // namespace

void StaticProxy::setHooks(const Hooks& hooks) {
    initialiseHook.store(hooks.initialiseAllStatics);
    destroyHook.store(hooks.destroyAllStatics);
}

void StaticProxy::initialiseAllStatics() {
    if (auto hook = initialiseHook.load()) hook();
}

void StaticProxy::destroyAllStatics() {
    if (auto hook = destroyHook.load()) hook();
}
