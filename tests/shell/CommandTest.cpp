#include <gtest/gtest.h>

#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "shell/Command.h"
#include "shell/CommandListener.h"
#include "shell/ItemCommandListener.h"
#include "shell/ItemStateListener.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

namespace {

using java::lang::String;
using javax::microedition::lcdui::Command;

using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(Command, javax::microedition::lcdui::CommandListener,
                       javax::microedition::lcdui::ItemCommandListener,
                       javax::microedition::lcdui::ItemStateListener);

TEST(CommandTest, KeepsWhatItWasGiven) {
    JavaPtr<Command> shortForm = jnew<Command>(jstr("Back"), Command::BACK, -7);
    EXPECT_EQ(narrow(shortForm->getLabel()), "Back");
    EXPECT_FALSE(shortForm->getLongLabel());
    EXPECT_EQ(shortForm->getCommandType(), Command::BACK);
    EXPECT_EQ(shortForm->getPriority(), -7);

    JavaPtr<Command> longForm = jnew<Command>(jstr("Go"), jstr("Go to the next page"), Command::ITEM, 3);
    EXPECT_EQ(narrow(longForm->getLongLabel()), "Go to the next page");
    EXPECT_EQ(longForm->getCommandType(), Command::ITEM);
}

TEST(CommandTest, ConstructionChecksTheLabelFirstThenTheType) {
    struct Case {
        const char* label;
        int type;
        bool nullPointer;
        bool illegalArgument;
    };
    const Case cases[] = {
        {nullptr, 0, true, false},
        {nullptr, 4, true, false},
        {"x", 0, false, true},
        {"x", 9, false, true},
        {"x", -1, false, true},
        {"x", Command::SCREEN, false, false},
        {"x", Command::ITEM, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.label ? c.label : "null") + " type " + std::to_string(c.type));
        JavaPtr<String> label = c.label ? jstr(c.label) : nullptr;
        bool npe = false;
        bool iae = false;
        try {
            jnew<Command>(label, c.type, 0);
        } catch (java::lang::NullPointerException&) {
            npe = true;
        } catch (java::lang::IllegalArgumentException&) {
            iae = true;
        }
        EXPECT_EQ(npe, c.nullPointer);
        EXPECT_EQ(iae, c.illegalArgument);
    }
}

}  // namespace
