// Script mode: one step a line, '#' starts a comment. The whole script is checked before the program
// starts, so a malformed line fails at once; the steps then drive a headless host from another thread.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/host/HeadlessHost.h"

class ScriptRunner {
public:
    struct Step {
        int line = 0;
        std::string command;
        std::vector<double> numbers;
        std::string text;                // the file of a snapshot
        std::vector<std::string> words;  // the arguments of an application's step
    };

    // A step the application adds to the reader. check sees the arguments when the script is read
    // and answers why they are wrong (empty when they are fine); run answers kPassed, or kFailed or
    // kTimedOut with the reason in failure.
    struct ApplicationStep {
        std::string name;
        int fewestArguments = 0;
        int mostArguments = 0;
        std::function<std::string(const std::vector<std::string>&)> check;
        std::function<int(platform::HeadlessHost&, const std::vector<std::string>&, std::chrono::milliseconds,
                          std::string& failure)>
            run;
    };

    static constexpr int kPassed = 0;
    static constexpr int kFailed = 1;
    static constexpr int kTimedOut = 2;
    // The program was ended from outside (HeadlessHost::terminate: SIGINT, SIGTERM) while the script ran:
    // the step under way ended with it, and the program's exit status is its tear-down's.
    static constexpr int kTerminated = -1;

    // Adds steps before the script is read; a name the reader already knows is not taken.
    void addApplicationSteps(const std::vector<ApplicationStep>& steps);
    // False with "script:LINE: ..." for the first malformed line.
    bool parse(const std::string& script, std::string& error);
    // Runs the steps; kPassed, kFailed (an expectation, or the program ending by itself, naming the line
    // on stderr), kTimedOut or kTerminated (saying nothing). A `quit` step, or the end of the script,
    // terminates the program.
    int run(platform::HeadlessHost& host, std::chrono::milliseconds timeout) const;

    const std::vector<Step>& steps() const { return m_steps; }

private:
    const ApplicationStep* applicationStep(const std::string& name) const;

    std::vector<Step> m_steps;
    std::vector<ApplicationStep> m_applicationSteps;
};
