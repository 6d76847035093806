// Script mode: one step a line, '#' starts a comment. The whole script is checked before the program
// starts, so a malformed line fails at once; the steps then drive a headless host from another thread.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/HeadlessHost.h"

class ScriptRunner {
public:
    struct Step {
        int line = 0;
        std::string command;
        std::vector<double> numbers;
        std::string text;  // the file of a snapshot
    };

    static constexpr int kPassed = 0;
    static constexpr int kFailed = 1;
    static constexpr int kTimedOut = 2;

    // False with "script:LINE: ..." for the first malformed line.
    bool parse(const std::string& script, std::string& error);
    // Runs the steps; kPassed, kFailed (an expectation, naming the line on stderr) or kTimedOut. A
    // `quit` step, or the end of the script, terminates the program.
    int run(platform::HeadlessHost& host, std::chrono::milliseconds timeout) const;

    const std::vector<Step>& steps() const { return m_steps; }

private:
    std::vector<Step> m_steps;
};
