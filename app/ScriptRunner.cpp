#include "app/ScriptRunner.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

namespace {

// Command -> number of numeric arguments (-1: one file name; -2: x y #RRGGBB).
const std::map<std::string, int>& commands() {
    static const std::map<std::string, int> table = {
        {"wait-frames", 1}, {"wait-stable", 1}, {"tap", 2},         {"down", 2},          {"drag", 2},
        {"up", 2},          {"key-press", 1},   {"key-release", 1}, {"tilt", 3},          {"pause", 0},
        {"resume", 0},      {"size", 2},        {"snapshot", -1},   {"expect-pixel", -2}, {"quit", 0},
    };
    return table;
}

bool parseNumber(const std::string& word, double& value) {
    const char* end = word.data() + word.size();
    auto [rest, error] = std::from_chars(word.data(), end, value);
    return error == std::errc() && rest == end;
}

// What a numeric argument may be. Every value is finite; whole ones are also in range of the int they
// become, so no cast below is undefined.
struct NumberRange {
    const char* what;
    double lowest;
    double highest;
    bool whole;
};

constexpr NumberRange kPosition{"a position", 0, 32767, true};
constexpr NumberRange kFrames{"a number of frames", 0, 1000000, true};
constexpr NumberRange kStableFrames{"a number of frames", 1, 1000000, true};
constexpr NumberRange kKeyCode{"a key code", -2147483648.0, 2147483647.0, true};
constexpr NumberRange kAcceleration{"an acceleration in g", -16, 16, false};
constexpr NumberRange kSize{"a size in pixels", 1, 8192, true};

// The ranges of each step's numeric arguments, in order.
std::vector<NumberRange> rangesOf(const std::string& command) {
    if (command == "wait-frames") return {kFrames};
    if (command == "wait-stable") return {kStableFrames};
    if (command == "key-press" || command == "key-release") return {kKeyCode};
    if (command == "tilt") return {kAcceleration, kAcceleration, kAcceleration};
    if (command == "size") return {kSize, kSize};
    return {kPosition, kPosition};
}

// Why the value does not fit the range; empty when it does.
std::string outOfRange(double value, const std::string& word, const NumberRange& range) {
    const bool fits = std::isfinite(value) && value >= range.lowest && value <= range.highest &&
                      (!range.whole || value == std::floor(value));
    if (fits) return {};
    char bounds[96];
    std::snprintf(bounds, sizeof bounds, "%s from %.0f to %.0f", range.whole ? "a whole number" : "a number",
                  range.lowest, range.highest);
    return std::string("bad value '") + word + "': " + range.what + " is " + bounds;
}

bool parseColour(const std::string& word, double& value) {
    if (word.size() != 7 || word[0] != '#') return false;
    unsigned colour = 0;
    const char* end = word.data() + word.size();
    auto [rest, error] = std::from_chars(word.data() + 1, end, colour, 16);
    if (error != std::errc() || rest != end) return false;
    value = colour;
    return true;
}

}  // namespace

void ScriptRunner::addApplicationSteps(const std::vector<ApplicationStep>& steps) {
    for (const ApplicationStep& step : steps) {
        if (commands().count(step.name) == 0 && applicationStep(step.name) == nullptr)
            m_applicationSteps.push_back(step);
    }
}

const ScriptRunner::ApplicationStep* ScriptRunner::applicationStep(const std::string& name) const {
    for (const ApplicationStep& step : m_applicationSteps)
        if (step.name == name) return &step;
    return nullptr;
}

bool ScriptRunner::parse(const std::string& script, std::string& error) {
    m_steps.clear();
    std::istringstream lines(script);
    std::string text;
    int number = 0;
    while (std::getline(lines, text)) {
        ++number;
        if (const size_t hash = text.find('#'); hash != std::string::npos) {
            // '#' in an expected colour is not a comment.
            if (text.compare(0, 12, "expect-pixel") != 0) text.erase(hash);
        }
        std::istringstream words(text);
        std::vector<std::string> parts;
        for (std::string word; words >> word;) parts.push_back(word);
        if (parts.empty()) continue;
        auto fail = [&](const std::string& why) {
            error = "script:" + std::to_string(number) + ": " + why + ": " + text;
            return false;
        };
        Step step;
        step.line = number;
        step.command = parts[0];
        if (const ApplicationStep* own = applicationStep(parts[0])) {
            step.words.assign(parts.begin() + 1, parts.end());
            const int count = static_cast<int>(step.words.size());
            if (count < own->fewestArguments || count > own->mostArguments)
                return fail("wrong number of arguments");
            if (own->check) {
                const std::string why = own->check(step.words);
                if (!why.empty()) return fail(why);
            }
            m_steps.push_back(std::move(step));
            continue;
        }
        auto found = commands().find(parts[0]);
        if (found == commands().end()) return fail("unknown step");
        const int arity = found->second;
        if (arity == -1) {
            if (parts.size() != 2) return fail("expected one file name");
            step.text = parts[1];
        } else if (arity == -2) {
            double x = 0, y = 0, colour = 0;
            if (parts.size() != 4 || !parseNumber(parts[1], x) || !parseNumber(parts[2], y) ||
                !parseColour(parts[3], colour))
                return fail("expected X Y #RRGGBB");
            for (const std::string& why :
                 {outOfRange(x, parts[1], kPosition), outOfRange(y, parts[2], kPosition)})
                if (!why.empty()) return fail(why);
            step.numbers = {x, y, colour};
        } else {
            if (static_cast<int>(parts.size()) != arity + 1) return fail("wrong number of arguments");
            const std::vector<NumberRange> ranges = rangesOf(parts[0]);
            for (int i = 1; i <= arity; ++i) {
                double value = 0;
                if (!parseNumber(parts[i], value)) return fail("not a number '" + parts[i] + "'");
                const std::string why = outOfRange(value, parts[i], ranges[static_cast<size_t>(i - 1)]);
                if (!why.empty()) return fail(why);
                step.numbers.push_back(value);
            }
        }
        m_steps.push_back(std::move(step));
    }
    return true;
}

int ScriptRunner::run(platform::HeadlessHost& host, std::chrono::milliseconds timeout) const {
    // A program that has already ended is left to the steps, which say how.
    if (!host.waitUntilRunning(timeout) && !host.exitStatus()) return kTimedOut;
    for (const Step& step : m_steps) {
        // Once the program has been ended from outside, no step runs, and none that was under way says
        // anything: it ended because the program did.
        if (host.terminationRequested()) return kTerminated;
        const int line = step.line;
        auto fail = [&](int result, const std::string& why) {
            if (host.terminationRequested()) return kTerminated;
            if (host.exitStatus()) {
                std::fprintf(stderr, "script:%d: the program ended during the step\n", line);
                return kFailed;
            }
            std::fprintf(stderr, "script:%d: %s\n", line, why.c_str());
            return result;
        };
        const auto& n = step.numbers;
        auto integer = [&](size_t i) { return static_cast<int>(n[i]); };
        bool ok = true;
        // A touch off the screen, or a size the screen cannot take, is the script's fault, not a sign
        // that the program has stopped taking input.
        const platform::HostScreen screen = host.screen();
        const int scale = std::max(screen.scale, 1);
        const bool touch =
            step.command == "tap" || step.command == "down" || step.command == "drag" || step.command == "up";
        if (touch &&
            (integer(0) >= screen.widthPoints * scale || integer(1) >= screen.heightPoints * scale)) {
            std::fprintf(stderr, "script:%d: (%d, %d) lies outside the %d x %d screen\n", step.line,
                         integer(0), integer(1), screen.widthPoints * scale, screen.heightPoints * scale);
            return kFailed;
        }
        if (step.command == "size" && (integer(0) % scale != 0 || integer(1) % scale != 0)) {
            std::fprintf(stderr, "script:%d: %d x %d is not a whole number of points at scale %d\n",
                         step.line, integer(0), integer(1), scale);
            return kFailed;
        }
        if (const ApplicationStep* own = applicationStep(step.command)) {
            std::string failure;
            const int result = own->run(host, step.words, timeout, failure);
            if (result != kPassed) return fail(result, failure);
            continue;
        }
        if (step.command == "wait-frames") {
            // N more than were shown when the step began; a settled screen, which hands over no new
            // frames, counts each pass of its frame loop as its frame shown once more.
            if (!host.waitForPresentations(host.presentations() + static_cast<uint64_t>(n[0]), timeout))
                return fail(kTimedOut, "timed out waiting for frames");
        } else if (step.command == "wait-stable") {
            if (!host.waitForStableFrames(integer(0), timeout))
                return fail(kTimedOut, "timed out waiting for a stable screen");
        } else if (step.command == "tap") {
            ok = host.tap(integer(0), integer(1));
        } else if (step.command == "down") {
            ok = host.touchDown(integer(0), integer(1));
        } else if (step.command == "drag") {
            ok = host.touchDrag(integer(0), integer(1));
        } else if (step.command == "up") {
            ok = host.touchUp(integer(0), integer(1));
        } else if (step.command == "key-press") {
            ok = host.keyPress(integer(0));
        } else if (step.command == "key-release") {
            ok = host.keyRelease(integer(0));
        } else if (step.command == "tilt") {
            ok = host.tilt(n[0], n[1], n[2]);
        } else if (step.command == "pause") {
            ok = host.pause();
        } else if (step.command == "resume") {
            ok = host.resume();
        } else if (step.command == "size") {
            ok = host.changeSize(integer(0), integer(1));
        } else if (step.command == "snapshot") {
            std::string error;
            if (!host.writeSnapshot(step.text, error)) return fail(kFailed, error);
        } else if (step.command == "expect-pixel") {
            const auto pixel = host.pixel(integer(0), integer(1));
            const auto expected = static_cast<uint32_t>(n[2]);
            if (!pixel || *pixel != expected) {
                std::fprintf(stderr, "script:%d: expected #%06X at (%d, %d), found %s\n", step.line, expected,
                             integer(0), integer(1),
                             pixel ? ("#" +
                                      [&] {
                                          char hex[8];
                                          std::snprintf(hex, sizeof hex, "%06X", *pixel);
                                          return std::string(hex);
                                      }())
                                         .c_str()
                                   : "no pixel");
                return kFailed;
            }
        } else if (step.command == "quit") {
            break;
        }
        if (!ok) return fail(kFailed, "the program no longer takes input");
    }
    return kPassed;
}
