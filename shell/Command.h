// javax.microedition.lcdui.Command: an immutable action a user can invoke on a screen or a form item.
// Commands are told apart by identity, never by their fields.
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class Command : public java::lang::Object {
    TESL_CLASS(Command, "javax.microedition.lcdui.Command", java::lang::Object)
public:
    static constexpr int SCREEN = 1;
    static constexpr int BACK = 2;
    static constexpr int CANCEL = 3;
    static constexpr int OK = 4;
    static constexpr int HELP = 5;
    static constexpr int STOP = 6;
    static constexpr int EXIT = 7;
    static constexpr int ITEM = 8;

    Command() noexcept {}
    ~Command() override;

    Command* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, int commandType, int priority);
    Command* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                   const JavaPtr<java::lang::String>& longLabel, int commandType,
                                   int priority);

    virtual int getCommandType();
    virtual JavaPtr<java::lang::String> getLabel();
    virtual JavaPtr<java::lang::String> getLongLabel();
    virtual int getPriority();

private:
    void init(const JavaPtr<java::lang::String>& label, const JavaPtr<java::lang::String>& longLabel,
              int commandType, int priority);

    // Written once by the constructor body, before any other thread can see the command.
    JavaPtr<java::lang::String> m_label;
    JavaPtr<java::lang::String> m_longLabel;
    int m_priority = 0;
    int m_commandType = 0;
};

}  // namespace javax::microedition::lcdui
