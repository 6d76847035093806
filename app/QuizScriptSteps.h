// The quiz's own script steps, added to the shell's script reader by the program: waiting for a screen
// to settle, answering the question shown, and checking the player's counters.
#pragma once

#include <string>
#include <vector>

#include "app/ScriptRunner.h"

class QuizScriptSteps {
public:
    static std::vector<ScriptRunner::ApplicationStep> steps();
    // The lines --help shows for them.
    static std::string usage();
};
