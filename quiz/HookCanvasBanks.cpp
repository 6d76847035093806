// Question banks: the category names of "topics.dat", loading a bank with its record index, choosing
// the next record (random without recent repeats in a test, file order in practice) and making the
// displayed question from it. Bank files are bundle data: a bank that cannot be used is reported and
// the player is sent back, never indexed past its end.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "library/ByteArrayInputStream.h"
#include "library/DataInputStream.h"
#include "library/PrintStream.h"
#include "library/System.h"
#include "runtime/EOFException.h"
#include "runtime/IOException.h"

using java::lang::String;

namespace {

using StringArray = JArray<JavaPtr<String>>;

int readU8(const JArray<signed char>& bytes, int32_t at) {
    return static_cast<uint8_t>(bytes.data[at]);
}

int readU16(const JArray<signed char>& bytes, int32_t at) {
    return (readU8(bytes, at) << 8) | readU8(bytes, at + 1);
}

// The offset just past the record at offset, or -1 when the record runs past the end.
int64_t recordEnd(const JArray<signed char>& bytes, int64_t offset) {
    if (offset + 2 > bytes.length) return -1;
    int64_t at = offset + 2 + readU16(bytes, static_cast<int32_t>(offset));
    for (int k = 0; k < 4; ++k) {
        if (at + 1 > bytes.length) return -1;
        at += 1 + readU8(bytes, static_cast<int32_t>(at));
    }
    return at > bytes.length ? -1 : at;
}

// Straight to the process's stderr: the runtime's System.err shares standard output with the debug
// output, where a player running the program would never look for it.
void reportUnavailable(const JavaPtr<String>& name, const char* why) {
    std::fprintf(stderr, "quill: question bank %s cannot be used: %s; back to the menu\n",
                 toUtf8(name).c_str(), why);
}

}  // namespace

void HookCanvas::loadTopics() {
    const JavaPtr<ByteArray> bytes = loadFileFromJar(jnew<String>("topics.dat"), -1);
    if (!bytes) throw java::io::IOException();
    JavaPtr<java::io::DataInputStream> in =
        jnew<java::io::DataInputStream>(jnew<java::io::ByteArrayInputStream>(bytes));
    JavaPtr<StringArray> categories = jnewArray<JavaPtr<String>>(CATEGORY_COUNT);
    JavaPtr<JArray<JavaPtr<StringArray>>> subsections = jnewArray<JavaPtr<StringArray>>(CATEGORY_COUNT);
    JavaPtr<JArray<JavaPtr<JArray<bool>>>> practiced = jnewArray<JavaPtr<JArray<bool>>>(CATEGORY_COUNT);
    for (int32_t c = 0; c < CATEGORY_COUNT; ++c) {
        categories->data[c] = in->readUTF();
        if (in->available() < 4) throw java::io::EOFException();
        const int32_t count = in->readInt();
        // Each name takes at least its two length bytes.
        if (count < 0 || count > in->available() / 2) throw java::io::IOException();
        subsections->data[c] = jnewArray<JavaPtr<String>>(count);
        for (JavaPtr<String>& name : *subsections->data[c]) name = in->readUTF();
        practiced->data[c] = jnewArray<bool>(count);
    }
    categoryStrings = categories;
    subsectionStrings = subsections;
    practicedDBs = practiced;
}

bool HookCanvas::indexDatabase(const JavaPtr<ByteArray>& bytes, const JavaPtr<String>& name) {
    database = nullptr;
    question_offsets = nullptr;
    database_loaded = false;
    if (!bytes) {
        reportUnavailable(name, "the file is missing");
        return false;
    }
    if (bytes->length < 2) {
        reportUnavailable(name, "the file is cut short");
        return false;
    }
    database = bytes;
    database_pos = 0;
    database_start = criticshortRead();
    const int32_t count = database_start;
    if (count == 0) {
        reportUnavailable(name, "it holds no questions");
        database = nullptr;
        return false;
    }
    JavaPtr<JArray<int32_t>> offsets = jnewArray<int32_t>(count);
    int64_t at = database_pos;
    for (int32_t i = 0; i < count; ++i) {
        offsets->data[i] = static_cast<int32_t>(at);
        at = recordEnd(*bytes, at);
        if (at < 0) {
            reportUnavailable(name, "a question runs past the end of the file");
            database = nullptr;
            return false;
        }
    }
    database_pos = static_cast<int32_t>(at);
    question_offsets = offsets;
    return true;
}

void HookCanvas::loadDatabase() {
    random_seed.store(engine::CanvasClock::currentTimeMillis());
    if (repeat_ring_b) std::fill(repeat_ring_b->begin(), repeat_ring_b->end(), static_cast<int16_t>(-1));
    JavaPtr<String> name;
    JavaPtr<ByteArray> bytes;
    if (!want_practice_mode) {
        name = jnew<String>("shuffle_db.dat");
        bytes = shuffle_db_preloaded ? shuffle_db_preloaded : loadFileFromJar(name, -1);
    } else {
        name = String("cdb") + want_category_to_be + "_" + want_subsection_to_be + ".dat";
        bytes = loadFileFromJar(name, -1);
    }
    if (!indexDatabase(bytes, name)) {
        // Nothing is loaded, so the next question asks for the bank again.
        currently_loaded_category = -1;
        currently_loaded_subsection = -1;
        return;
    }
    currently_loaded_category = want_category_to_be;
    if (want_practice_mode) currently_loaded_subsection = want_subsection_to_be;
    current_mode_practice = want_practice_mode;
    current_category = want_category_to_be;
    current_subsection = want_subsection_to_be;
    database_loaded = true;
    question_count = database_start;
}

int32_t HookCanvas::criticshortRead() {
    const int32_t value = readU16(*database, database_pos);
    database_pos += 2;
    return value;
}

JavaPtr<String> HookCanvas::criticnameReadQuestion() {
    const int32_t length = readU16(*database, database_pos);
    return jnew<String>(database, database_pos + 2, length);
}

JavaPtr<String> HookCanvas::criticnameRead() {
    const int32_t length = readU8(*database, database_pos);
    return jnew<String>(database, database_pos + 1, length);
}

bool HookCanvas::inRecentDraws(int32_t index, int32_t count) {
    // The ring holds shorts: compared unsigned, indexes up to 65534 fit and -1 (empty) matches none.
    for (int32_t back = 0; back < count; ++back) {
        int32_t slot = repeat_ring_pos - back;
        if (slot < 0) slot += REPEAT_FILM_ARRAY_LENGTH;
        if (static_cast<uint16_t>(repeat_ring_b->data[slot]) == static_cast<uint32_t>(index)) return true;
    }
    return false;
}

JavaPtr<JArray<JavaPtr<String>>> HookCanvas::criticQuestionPlease(int32_t) {
    if (!database_loaded || currently_loaded_category != want_category_to_be ||
        currently_loaded_subsection != want_subsection_to_be || want_practice_mode != current_mode_practice) {
        loadDatabase();
        if (!database_loaded) return nullptr;
        resetScores(current_category);
    }
    const int32_t count = question_count;
    int32_t index = 0;
    if (current_mode_practice) {
        index = std::min(std::max(answered_this_round, 0), count - 1);
    } else {
        // Only the last min(435, N - 1) draws are kept out, so a record is always left to draw, and a
        // collision draws again at once: reseeding from the clock would spin until the millisecond
        // changed. After a few collisions the pick is made among the records that are left, so even an
        // unlucky run of draws ends.
        const int32_t kept = std::min(REPEAT_FILM_ARRAY_LENGTH, count - 1);
        constexpr int kRandomTries = 64;
        bool found = false;
        for (int attempt = 0; attempt < kRandomTries && !found; ++attempt) {
            index = random(count);
            found = !inRecentDraws(index, kept);
        }
        if (!found) {
            std::vector<bool> recent(static_cast<size_t>(count), false);
            for (int32_t back = 0; back < kept; ++back) {
                const int32_t slot =
                    (repeat_ring_pos - back + REPEAT_FILM_ARRAY_LENGTH) % REPEAT_FILM_ARRAY_LENGTH;
                const uint16_t entry = static_cast<uint16_t>(repeat_ring_b->data[slot]);
                if (entry < count) recent[entry] = true;
            }
            int32_t skip = random(count - kept);
            for (index = 0; index < count; ++index) {
                if (!recent[static_cast<size_t>(index)] && skip-- == 0) break;
            }
        }
    }
    repeat_ring_pos = (repeat_ring_pos + 1) % REPEAT_FILM_ARRAY_LENGTH;
    repeat_ring_b->data[repeat_ring_pos] = static_cast<int16_t>(index);

    JavaPtr<StringArray> result = jnewArray<JavaPtr<String>>(5);
    film_id = index;
    database_pos = question_offsets->data[index];
    result->data[0] = criticnameReadQuestion();
    database_pos += 2 + readU16(*database, database_pos);
    for (int32_t k = 1; k <= 3; ++k) {
        result->data[k] = criticnameRead();
        database_pos += 1 + readU8(*database, database_pos);
    }
    result->data[4] = criticnameRead();
    return result;
}

bool HookCanvas::getQuestion(bool fresh) {
    random_seed.store(engine::CanvasClock::currentTimeMillis());
    hint_earned = false;
    skip_earned = false;
    hint_used = false;
    chosen_answer = -1;
    question_answered = false;
    if (saved_question && !fresh) {
        question = saved_question;
        question_lines = saved_question_lines;
        correct_position = saved_correct_position;
        answer_lines = saved_answer_lines;
        ghosted = saved_ghosted;
        if (ghosted) hint_used = std::find(ghosted->begin(), ghosted->end(), true) != ghosted->end();
        film_id = saved_film_id;
        return true;
    }

    timer_remaining_ms = QUESTION_TIMER_MAX_MS;
    timer_warning_played = false;
    previous_question = question;
    previous_question_lines = question_lines;
    previous_correct_position = correct_position;
    previous_answer_lines = answer_lines;
    previous_ghosted = ghosted;
    previous_film_id = film_id;
    const JavaPtr<StringArray> texts = criticQuestionPlease(random(3));
    if (!texts) {
        startFade(1, want_practice_mode ? GAMESTATE_CHOOSE_SUBSECTION : GAMESTATE_MAIN_MENU);
        return false;
    }
    question = texts;
    question_lines =
        splitString(question->data[0], font_main,
                    getParam(PARAM_QUESTION_BOX_WIDTH) - 2 * getParam(PARAM_QUESTION_BOX_BORDER));
    correct_position = random(30000) / 10000 + 1;
    std::swap(question->data[1], question->data[correct_position]);
    answer_lines = jnewArray<JavaPtr<StringArray>>(4);
    for (int32_t k = 0; k < 4; ++k)
        answer_lines->data[k] =
            splitString(question->data[k + 1], font_main, getParam(PARAM_ANSWER_SPLIT_TEXT_LIMIT));
    ghosted = jnewArray<bool>(4);
    if (!current_mode_practice) {
        saved_question = question;
        saved_question_lines = question_lines;
        saved_correct_position = correct_position;
        saved_answer_lines = answer_lines;
        saved_ghosted = ghosted;
    }
    return true;
}
