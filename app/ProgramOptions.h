// The program's command line: GNU-style flags into one record.
#pragma once

#include <string>

struct ProgramOptions {
    std::string bundleDirectory;
    std::string dataDirectory;
    int widthPoints = 320;
    int heightPoints = 480;
    int scale = 2;
    std::string device = "iphone";
    int zoom = 1;
    bool headless = false;
    std::string scriptPath;
    int timeoutMilliseconds = 10000;
    bool midpKeys = false;
    std::string framesDirectory;
    int dumpEvery = 1;
    std::string locale;
    std::string locationScriptPath;
    std::string smsOutboxDirectory;
    std::string urlOpener = "xdg-open";
    bool help = false;

    // Exit status of a bad command line.
    static constexpr int kUsageError = 64;

    // Fills options from argv; false with one line naming the bad flag or value.
    static bool parse(int argc, const char* const* argv, ProgramOptions& options, std::string& error);
    static std::string usage();
};
