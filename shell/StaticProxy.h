// The application's static set-up and release: the shell cannot name the application's classes,
// so the program installs them here before the launch.
#pragma once

class StaticProxy {
public:
    struct Hooks {
        void (*initialiseAllStatics)() = nullptr;
        void (*destroyAllStatics)() = nullptr;
    };
    static void setHooks(const Hooks& hooks);
    static void initialiseAllStatics();
    static void destroyAllStatics();
};
