#include "app/QuizScriptSteps.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>
#include <tuple>
#include <utility>

#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "platform/codecs/PngDecoder.h"
#include "runtime/LockObject.h"

namespace {

using Clock = std::chrono::steady_clock;
using Words = std::vector<std::string>;

constexpr std::chrono::milliseconds kCounterGrace{1000};
// Starting up or loading a screen takes as long as the machine makes it; bounded only against a hang.
constexpr std::chrono::minutes kLongestLoad{5};

// The screens by the names of their states.
const std::vector<std::pair<std::string, int32_t>>& stateNames() {
    static const std::vector<std::pair<std::string, int32_t>> names = {
        {"MAIN_MENU", 1}, {"GAME_RUNNING", 2},     {"ABOUT", 3},
        {"STATS", 4},     {"CONFIRM", 5},          {"PROMOTED", 6},
        {"DEMOTED", 7},   {"COMPLETE", 9},         {"SETTINGS", 10},
        {"INFOLINK", 11}, {"CHOOSE_CATEGORY", 12}, {"CHOOSE_SUBSECTION", 13},
    };
    return names;
}

std::optional<int32_t> stateNamed(const std::string& name) {
    for (const auto& [known, value] : stateNames())
        if (known == name) return value;
    return std::nullopt;
}

std::string stateName(int32_t state) {
    std::string name;
    for (const auto& [known, value] : stateNames())
        if (value == (state & ~HookCanvas::GAMESTATEFLAG_LOADING)) name = known;
    if (name.empty()) name = std::to_string(state & ~HookCanvas::GAMESTATEFLAG_LOADING);
    if ((state & HookCanvas::GAMESTATEFLAG_LOADING) != 0) name += " (loading)";
    return name;
}

std::optional<long long> number(const std::string& word) {
    long long value = 0;
    const char* end = word.data() + word.size();
    auto [rest, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || rest != end) return std::nullopt;
    return value;
}

const std::vector<std::string>& counterNames() {
    static const std::vector<std::string> names = {
        "level", "hints", "skips", "test-right", "test-wrong", "practice-right", "no-test-running"};
    return names;
}

// Read under the canvas's monitor, which the update step and the paint hold: a step never shows half
// done.
int64_t counter(HookCanvas& canvas, const std::string& name) {
    if (name == "level") return canvas.level;
    if (name == "hints") return canvas.hints;
    if (name == "skips") return canvas.skips;
    if (name == "test-right") return canvas.test_right;
    if (name == "test-wrong") return canvas.test_wrong;
    if (name == "practice-right") return canvas.practice_right_total;
    return canvas.no_test_running ? 1 : 0;
}

// The screen is the state without the loading bit, no wipe runs, on the game screen no answer delay or
// question slide is pending, and on a ranking screen its button has come up.
bool settledIn(HookCanvas& canvas, int32_t state) {
    JavaPtr<LockObject> lock(canvas.startSync());
    if (HookCanvas::game_state.load() != state || canvas.fade_active) return false;
    if (state == HookCanvas::GAMESTATE_GAME_RUNNING)
        return canvas.next_question_delay <= 0 && !canvas.question_slide_pending;
    if (state == HookCanvas::GAMESTATE_PROMOTED || state == HookCanvas::GAMESTATE_DEMOTED)
        return canvas.ranking_screen_timer <= 0;
    return true;
}

// The quiz shows the screen, or loads it.
bool turnedTo(int32_t state) {
    return (HookCanvas::game_state.load() & ~HookCanvas::GAMESTATEFLAG_LOADING) == state;
}

// The quiz starts up or loads a screen.
bool starting() {
    const int32_t state = HookCanvas::game_state.load();
    return state == 0 || (state & HookCanvas::GAMESTATEFLAG_LOADING) != 0;
}

// Polls until the quiz turns to the screen; false once the limit has passed or the program has ended.
// Only time outside start-up and loading counts against the limit (counted carries it over calls): a
// loaded machine loads slowly, and the screen after is still to come. Loading has a bound of its own.
bool waitForTurn(platform::HeadlessHost& host, int32_t state, std::chrono::milliseconds limit,
                 Clock::duration& counted, Clock::duration& loading) {
    auto last = Clock::now();
    for (;;) {
        if (turnedTo(state)) return true;
        if (host.exitStatus()) return false;
        const bool inLoad = starting();
        const auto now = Clock::now();
        (inLoad ? loading : counted) += now - last;
        last = now;
        if (counted >= limit || loading >= kLongestLoad) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The quiz's canvas, or null with the failure said.
JavaPtr<HookCanvas> runningCanvas(std::string& failure) {
    JavaPtr<HookCanvas> canvas = AppMidlet::canvas();
    if (!canvas) failure = "no quiz is running";
    return canvas;
}

// Polls until test holds; false once the limit passes or the program has ended (a step ends with the
// program, whatever it waits for).
template <class Test>
bool waitFor(platform::HeadlessHost& host, std::chrono::milliseconds limit, Test test) {
    const auto end = Clock::now() + limit;
    for (;;) {
        if (test()) return true;
        if (Clock::now() >= end || host.exitStatus()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// What the quiz brings to rest by itself (a wipe, the answer delay, a slide, twinkles flying) takes a
// number of its update steps, not of seconds, and a loaded machine runs fewer of them a second: the
// longest is a twinkle's life. A pass steps at least once.
constexpr uint64_t kRestWithinPasses = 2 * HookCanvas::pt_longest_life;

// Polls until test holds for as long as the quiz's loop goes on stepping: false once it has made no step
// for idle, has made more than kRestWithinPasses stepped passes since the wait began, or the program
// has ended.
template <class Test>
bool waitWhileStepping(platform::HeadlessHost& host, std::chrono::milliseconds idle, Test test) {
    const uint64_t first = HookCanvas::stepped_passes.load();
    uint64_t seen = first;
    auto lastStep = Clock::now();
    for (;;) {
        if (test()) return true;
        if (host.exitStatus()) return false;
        const uint64_t passes = HookCanvas::stepped_passes.load();
        const auto now = Clock::now();
        if (passes != seen) {
            seen = passes;
            lastStep = now;
        }
        if (passes - first > kRestWithinPasses || now - lastStep >= idle) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// Until a frame painted after a moment of the game's own choosing is on show: the frame count and the
// frame loop's passes were read at that moment (under the monitor the paint holds). A frame is handed
// over after its paint lets the monitor go, so the next frame handed over may still be one painted
// before; the one after it is the first surely painted after. A settled screen hands over no new frame
// at all: once two passes with a step have finished, the second of them began after the moment and
// either painted or found the frame last handed over still standing, so the screen need only show every
// frame handed over by then. Passes without a step paint nothing: on a loaded machine two of them could
// pass while the screen still showed the last frame of a wipe.
bool waitUntilOnShow(platform::HeadlessHost& host, uint64_t handedOver, uint64_t passes,
                     std::chrono::milliseconds idle) {
    return waitWhileStepping(host, idle, [&] {
        if (host.frameCount() >= handedOver + 2) return true;
        if (HookCanvas::stepped_passes.load() < passes + 2) return false;
        const uint64_t all = host.handedOverFrames();
        return host.frameCount() >= all;
    });
}

// The screen settled and still (not loading, no wipe running or revealing, no twinkles flying, on the
// game screen no answer delay or slide pending), and then shown: a snapshot or a pixel check right after
// sees it. The quiz must turn to the screen within the limit, not counting the time it spends loading;
// from then on the screen is given as many steps as it takes to load and come to rest, however slowly
// they come.
int waitState(platform::HeadlessHost& host, const Words& words, std::chrono::milliseconds timeout,
              std::string& failure) {
    const int32_t state = *stateNamed(words[0]);
    const std::chrono::milliseconds limit =
        words.size() > 1 ? std::chrono::milliseconds(*number(words[1])) : timeout;
    Clock::duration counted{};
    Clock::duration loading{};
    uint64_t handedOver = 0;
    uint64_t passes = 0;
    for (;;) {
        if (!waitForTurn(host, state, limit, counted, loading)) break;
        bool gone = false;
        const bool still = waitWhileStepping(host, limit, [&] {
            JavaPtr<HookCanvas> canvas = AppMidlet::canvas();
            if (!canvas) return false;
            JavaPtr<LockObject> lock(canvas->startSync());
            gone = !turnedTo(state);
            // Still, too: the wipe's last segments go on widening for a few paints after its steps end,
            // and a tap's shower of twinkles can outlive the wipe.
            if (gone || !settledIn(*canvas, state) || canvas->fade_revealing || canvas->count_particles() > 0)
                return gone;
            handedOver = host.handedOverFrames();
            passes = HookCanvas::stepped_passes.load();
            return true;
        });
        if (!still) {
            failure = "timed out waiting for " + words[0] + " to come to rest";
            return ScriptRunner::kTimedOut;
        }
        if (!gone) {
            if (waitUntilOnShow(host, handedOver, passes, limit)) return ScriptRunner::kPassed;
            failure = "timed out waiting for a frame of " + words[0] + " to be shown";
            return ScriptRunner::kTimedOut;
        }
        // The quiz went on to another screen before this one came to rest: it has the rest of the limit
        // to come back.
    }
    failure = "timed out waiting for " + words[0] + ", in " + stateName(HookCanvas::game_state.load());
    if (loading >= std::chrono::seconds(1))
        failure += ": it loaded for " +
                   std::to_string(std::chrono::duration_cast<std::chrono::seconds>(loading).count()) + " s";
    return ScriptRunner::kTimedOut;
}

// Taps the middle of the right answer's button, or of the first wrong one not ghosted, then waits
// until the game has taken the answer (its answer delay has begun).
int answer(platform::HeadlessHost& host, const Words& words, std::chrono::milliseconds timeout,
           std::string& failure) {
    JavaPtr<HookCanvas> canvas = runningCanvas(failure);
    if (!canvas) return ScriptRunner::kFailed;
    const bool right = words[0] == "right";
    int x = 0, y = 0, button = -1;
    {
        JavaPtr<LockObject> lock(canvas->startSync());
        if (!settledIn(*canvas, HookCanvas::GAMESTATE_GAME_RUNNING)) {
            failure = "no question waits for an answer, in " + stateName(HookCanvas::game_state.load());
            return ScriptRunner::kFailed;
        }
        for (int32_t k = 0; k < 3 && button < 0; ++k) {
            const bool ghosted = canvas->ghosted && k < canvas->ghosted->length && canvas->ghosted->data[k];
            const bool isRight = canvas->correct_position == k + 1;
            if (right ? isRight : (!isRight && !ghosted)) button = k;
        }
        if (button < 0) {
            failure = std::string("no ") + (right ? "right" : "wrong") + " answer to choose";
            return ScriptRunner::kFailed;
        }
        std::tie(x, y) = canvas->answerButtonCentre(button);
    }
    if (!host.tap(x, y)) {
        failure = "the program no longer takes input";
        return ScriptRunner::kFailed;
    }
    const bool taken = waitFor(host, timeout, [&] {
        JavaPtr<LockObject> lock(canvas->startSync());
        return canvas->next_question_delay > 0 ||
               HookCanvas::game_state.load() != HookCanvas::GAMESTATE_GAME_RUNNING;
    });
    if (taken) return ScriptRunner::kPassed;
    failure = "the answer at (" + std::to_string(x) + ", " + std::to_string(y) + ") was not taken";
    return ScriptRunner::kTimedOut;
}

int expect(platform::HeadlessHost& host, const Words& words, std::chrono::milliseconds timeout,
           std::string& failure) {
    JavaPtr<HookCanvas> canvas = runningCanvas(failure);
    if (!canvas) return ScriptRunner::kFailed;
    const std::string& wanted = words[1];
    const int64_t value = wanted == "true" ? 1 : wanted == "false" ? 0 : *number(wanted);
    int64_t found = 0;
    // A tap is taken at the game's next step: a counter still on its way is given a second and two of
    // the quiz's steps, however long a loaded machine takes for them (the whole timeout at most, as
    // when the quiz is paused and steps no more).
    const auto graceEnd = Clock::now() + kCounterGrace;
    const uint64_t firstPass = HookCanvas::stepped_passes.load();
    bool matched = false;
    waitFor(host, timeout, [&] {
        JavaPtr<LockObject> lock(canvas->startSync());
        found = counter(*canvas, words[0]);
        matched = found == value;
        return matched || (Clock::now() >= graceEnd && HookCanvas::stepped_passes.load() >= firstPass + 2);
    });
    if (matched) return ScriptRunner::kPassed;
    failure = "expected " + words[0] + " " + wanted + ", found " + std::to_string(found);
    return ScriptRunner::kFailed;
}

// A press held for MS milliseconds and at least as many update steps, then for one frame more: the game
// counts a press in steps, a starved game loop would otherwise see less of it than was asked or none,
// and the lists go back only once the back button has been drawn pressed (and choose only on a press
// longer than a tap).
int hold(platform::HeadlessHost& host, const Words& words, std::chrono::milliseconds timeout,
         std::string& failure) {
    JavaPtr<HookCanvas> canvas = runningCanvas(failure);
    if (!canvas) return ScriptRunner::kFailed;
    const int x = static_cast<int>(*number(words[0])), y = static_cast<int>(*number(words[1]));
    const long long ms = *number(words[2]);
    if (!host.touchDown(x, y)) {
        failure = "the program no longer takes input";
        return ScriptRunner::kFailed;
    }
    waitFor(host, std::chrono::milliseconds(ms), [] { return false; });
    const int64_t steps = ms / HookCanvas::MS_PER_UPDATE + 1;
    uint64_t handedOver = 0;
    uint64_t passes = 0;
    bool held = waitWhileStepping(host, timeout, [&] {
        JavaPtr<LockObject> lock(canvas->startSync());
        handedOver = host.handedOverFrames();
        passes = HookCanvas::stepped_passes.load();
        return canvas->pointer_held_ms >= steps * HookCanvas::MS_PER_UPDATE;
    });
    // The press's picture is on show before the release.
    if (held) held = waitUntilOnShow(host, handedOver, passes, timeout);
    if (!host.touchUp(x, y)) {
        failure = "the program no longer takes input";
        return ScriptRunner::kFailed;
    }
    if (held) return ScriptRunner::kPassed;
    failure = "the quiz did not run while the press was held";
    return ScriptRunner::kTimedOut;
}

// The screen's rectangle against the same rectangle of a PNG file (a snapshot of an earlier run).
int expectRegion(platform::HeadlessHost& host, const Words& words, std::chrono::milliseconds,
                 std::string& failure) {
    const int x = static_cast<int>(*number(words[0])), y = static_cast<int>(*number(words[1]));
    const int w = static_cast<int>(*number(words[2])), h = static_cast<int>(*number(words[3]));
    std::ifstream file(words[4], std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    int32_t width = 0, height = 0;
    uint32_t* picture = platform::decodePNG(bytes.data(), bytes.size(), &width, &height);
    if (picture == nullptr) {
        failure = "cannot read the picture '" + words[4] + "'";
        return ScriptRunner::kFailed;
    }
    const platform::HeadlessFrame frame = host.latestFrame();
    int differing = 0;
    const bool inside = x >= 0 && y >= 0 && x + w <= width && y + h <= height && x + w <= frame.width &&
                        y + h <= frame.height;
    for (int row = y; inside && row < y + h; ++row)
        for (int column = x; column < x + w; ++column) {
            // Both are words of bytes red, green, blue, alpha; alpha is not compared.
            const uint32_t shown = frame.pixels[static_cast<size_t>(row) * frame.width + column];
            const uint32_t wanted = picture[static_cast<size_t>(row) * width + column];
            if (((shown ^ wanted) & 0x00FFFFFFu) != 0) ++differing;
        }
    std::free(picture);
    if (!inside) {
        failure = "the rectangle lies outside the screen or the picture";
        return ScriptRunner::kFailed;
    }
    if (differing == 0) return ScriptRunner::kPassed;
    failure = std::to_string(differing) + " pixels differ from '" + words[4] + "'";
    return ScriptRunner::kFailed;
}

constexpr long long kLargestPosition = 32767;
constexpr long long kLongestWaitMs = 3600000;

// The first count words are whole numbers from 0 to their highest (the last number's own highest,
// the others' positions); empty when they are.
std::string numbersOnly(const Words& words, size_t count, long long lastHighest = kLargestPosition) {
    for (size_t i = 0; i < count; ++i) {
        const long long highest = i + 1 == count ? lastHighest : kLargestPosition;
        if (!number(words[i]) || *number(words[i]) < 0 || *number(words[i]) > highest)
            return "bad value '" + words[i] + "': a whole number from 0 to " + std::to_string(highest);
    }
    return {};
}

}  // namespace

std::vector<ScriptRunner::ApplicationStep> QuizScriptSteps::steps() {
    std::vector<ScriptRunner::ApplicationStep> steps;
    steps.push_back({"wait-state", 1, 2,
                     [](const Words& words) -> std::string {
                         if (!stateNamed(words[0])) return "unknown state '" + words[0] + "'";
                         if (words.size() > 1 && (!number(words[1]) || *number(words[1]) < 1 ||
                                                  *number(words[1]) > kLongestWaitMs))
                             return "bad value '" + words[1] + "': milliseconds from 1 to " +
                                    std::to_string(kLongestWaitMs);
                         return {};
                     },
                     &waitState});
    steps.push_back({"answer", 1, 1,
                     [](const Words& words) -> std::string {
                         if (words[0] != "right" && words[0] != "wrong") return "expected right or wrong";
                         return {};
                     },
                     &answer});
    steps.push_back({"expect", 2, 2,
                     [](const Words& words) -> std::string {
                         bool known = false;
                         for (const std::string& name : counterNames()) known = known || name == words[0];
                         if (!known) return "unknown counter '" + words[0] + "'";
                         const std::string& value = words[1];
                         if (words[0] == "no-test-running") {
                             if (value != "true" && value != "false") return "expected true or false";
                         } else if (!number(value)) {
                             return "not a number '" + value + "'";
                         }
                         return {};
                     },
                     &expect});
    steps.push_back(
        {"hold", 3, 3, [](const Words& words) { return numbersOnly(words, 3, kLongestWaitMs); }, &hold});
    steps.push_back(
        {"expect-region", 5, 5, [](const Words& words) { return numbersOnly(words, 4); }, &expectRegion});
    return steps;
}

std::string QuizScriptSteps::usage() {
    // The names, wrapped under the step's description.
    const std::string indent(24, ' ');
    std::string states = indent, line;
    for (const auto& [name, value] : stateNames()) {
        if (!line.empty() && line.size() + 1 + name.size() > 56) {
            states += line + "\n" + indent;
            line.clear();
        }
        line += (line.empty() ? "" : " ") + name;
    }
    states += line + "\n";
    return "Script steps of the quiz (besides the shell's, see README):\n"
           "  wait-state NAME [MS]  until the quiz shows screen NAME settled: not loading, no wipe\n"
           "                        running, in GAME_RUNNING no answer delay or slide pending, in\n"
           "                        PROMOTED and DEMOTED its button shown,\n"
           "                        and a frame of it has been shown (exit 2 after MS, 1 to\n"
           "                        3600000, default --timeout-ms). NAME is one of\n" +
           states +
           "  answer right|wrong    taps the right answer, or the first wrong one not ghosted, and\n"
           "                        waits until the quiz has taken it\n"
           "  expect NAME VALUE     exit 1 unless the counter has the value (within a second\n"
           "                        and two of the quiz's steps): level, hints, skips,\n"
           "                        test-right, test-wrong, practice-right (the practice total),\n"
           "                        no-test-running (true or false)\n"
           "  hold X Y MS           a touch at output pixel (X, Y) held for MS milliseconds and at\n"
           "                        least as many of the quiz's 33 ms steps\n"
           "  expect-region X Y W H FILE.png   exit 1 unless the rectangle shows what it shows in\n"
           "                        FILE.png (a snapshot), alpha aside\n";
}
