#include "shell/Command.h"

#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::lcdui {

Command::~Command() = default;

Command* Command::TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, int commandType,
                                        int priority) {
    return TESLinvokeconstructor(label, nullptr, commandType, priority);
}

Command* Command::TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                        const JavaPtr<java::lang::String>& longLabel, int commandType,
                                        int priority) {
    Object::TESLinvokeconstructor();
    init(label, longLabel, commandType, priority);
    return this;
}

void Command::init(const JavaPtr<java::lang::String>& label, const JavaPtr<java::lang::String>& longLabel,
                   int commandType, int priority) {
    if (!label) throw java::lang::NullPointerException();
    if (commandType < SCREEN || commandType > ITEM) throw java::lang::IllegalArgumentException();
    m_label = label;
    m_longLabel = longLabel;
    m_commandType = commandType;
    m_priority = priority;
}

int Command::getCommandType() {
    return m_commandType;
}

JavaPtr<java::lang::String> Command::getLabel() {
    return m_label;
}

JavaPtr<java::lang::String> Command::getLongLabel() {
    return m_longLabel;
}

int Command::getPriority() {
    return m_priority;
}

}  // namespace javax::microedition::lcdui
