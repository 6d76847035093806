// Progress records made by hand: every field of the record in the layout the quiz writes, with lengths
// that can be set apart from the elements that follow them.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/JArray.h"

namespace quiztest {

using Bytes = std::vector<uint8_t>;
inline constexpr int kKeep = -2;  // an array length written as the array's size

// The fields of a progress record, in the layout the quiz writes, with lengths that can be set apart
// from the elements that follow them.
struct Progress {
    int version = 10, hints = 2, skips = 3, timer = 5000, noTest = 0;
    std::vector<int> options = {1, 0, 0, 0, 0, 1};
    std::vector<int> scores = std::vector<int>(17, 1);
    int scoresLength = kKeep;
    std::vector<int> asked = std::vector<int>(17, 48);
    std::vector<int> completed = std::vector<int>(17, 0);
    int category = 16, practice = 0, subsection = 0;
    std::vector<std::vector<int>> practiced = std::vector<std::vector<int>>(16, {1, 0});
    int practicedLength = kKeep;
    // level points, answers in level, test right, test wrong, answered, question count, level,
    // practice right total, practice wrong, practice right this game
    std::vector<int> counters = {1, 2, 3, 4, 5, 6, 1, 7, 8, 9};
    int block = 1;
    std::vector<std::string> texts = {"q", "a", "b", "c", "why"};
    int textsLength = kKeep;
    std::vector<std::string> lines = {"q"};
    int position = 2;
    std::vector<std::vector<std::string>> answers = {{"a"}, {"b"}, {"c"}, {"why"}};
    std::vector<int> ghosted = {1, 0, 0, 0};
    int index = 17;
};

struct Writer {
    Bytes out;
    void u8(int v) { out.push_back(static_cast<uint8_t>(v)); }
    void s32(int v) {
        for (int shift = 24; shift >= 0; shift -= 8) u8(static_cast<int>(static_cast<uint32_t>(v) >> shift));
    }
    void utf(const std::string& s) {
        u8(static_cast<int>(s.size()) >> 8);
        u8(static_cast<int>(s.size()));
        for (char c : s) u8(c);
    }
    void strings(const std::vector<std::string>& values, int length = kKeep) {
        s32(length == kKeep ? static_cast<int>(values.size()) : length);
        for (const auto& s : values) utf(s);
    }
};

inline Bytes encode(const Progress& p) {
    Writer w;
    w.u8(p.version);
    w.s32(p.hints);
    w.s32(p.skips);
    w.s32(p.timer);
    w.u8(p.noTest);
    for (int o : p.options) w.u8(o);
    w.s32(p.scoresLength == kKeep ? static_cast<int>(p.scores.size()) : p.scoresLength);
    for (int v : p.scores) w.s32(v);
    w.s32(static_cast<int>(p.asked.size()));
    for (int v : p.asked) w.s32(v);
    w.s32(static_cast<int>(p.completed.size()));
    for (int v : p.completed) w.u8(v);
    w.s32(p.category);
    w.u8(p.practice);
    w.s32(p.subsection);
    w.s32(p.practicedLength == kKeep ? static_cast<int>(p.practiced.size()) : p.practicedLength);
    for (const auto& inner : p.practiced) {
        w.s32(static_cast<int>(inner.size()));
        for (int v : inner) w.u8(v);
    }
    for (int v : p.counters) w.s32(v);
    w.u8(p.block);
    if (p.block == 0) return w.out;
    w.strings(p.texts, p.textsLength);
    w.strings(p.lines);
    w.s32(p.position);
    w.s32(static_cast<int>(p.answers.size()));
    for (const auto& inner : p.answers) w.strings(inner);
    for (int v : p.ghosted) w.u8(v);
    w.s32(p.index);
    return w.out;
}

inline JavaPtr<JArray<signed char>> toArray(const Bytes& bytes) {
    JavaPtr<JArray<signed char>> array = jnewArray<signed char>(static_cast<int>(bytes.size()));
    if (!bytes.empty()) std::memcpy(array->data, bytes.data(), bytes.size());
    return array;
}

}  // namespace quiztest
