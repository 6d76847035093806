// The progress record: every lasting field of the quiz in one record of store index 0, written whole
// whenever what it holds changes (an answer, a new level, the next question, a finished test) and
// read once at the first main menu. What is read is checked before it is trusted: a stored file may
// come from other content, another version or a damaged device.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "engine/HookCanvas.h"
#include "library/ByteArrayInputStream.h"
#include "library/ByteArrayOutputStream.h"
#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/PrintStream.h"
#include "library/System.h"
#include "platform/files/FileOperations.h"
#include "platform/files/FileSystemPaths.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "runtime/EOFException.h"
#include "runtime/Exception.h"

using java::io::ByteArrayInputStream;
using java::io::ByteArrayOutputStream;
using java::io::DataInputStream;
using java::io::DataOutputStream;
using java::io::EOFException;
using java::lang::String;
using javax::microedition::rms::RecordStore;

namespace {

using StringArray = JArray<JavaPtr<String>>;
using StringArrays = JArray<JavaPtr<StringArray>>;

constexpr int kScoreSlots = HookCanvas::TEST_CATEGORY + 1;
constexpr int kFreshQuestionsAsked = 48;
// No play reaches this many answers; a larger stored count would overflow as the game adds to it.
constexpr int32_t kMaxCount = 1000000000;

// The data stream's int and boolean reads give made-up values past the end; every read here fails
// there instead, so a cut record is a damaged one.
void need(DataInputStream& in, long long bytes) {
    if (bytes < 0 || in.available() < bytes) throw EOFException();
}

int32_t readInt(DataInputStream& in) {
    need(in, 4);
    return in.readInt();
}

bool readBoolean(DataInputStream& in) {
    need(in, 1);
    return in.readBoolean();
}

// Fields 5 and 6 count as set only for the byte 1.
bool readStrictFlag(DataInputStream& in) {
    return in.readByte() == 1;
}

// A length that the rest of the record could hold with at least minimumEach bytes per element.
int32_t readLength(DataInputStream& in, int minimumEach) {
    const int32_t length = readInt(in);
    if (length > 0) need(in, static_cast<long long>(length) * minimumEach);
    return length;
}

void writeStrings(DataOutputStream& out, const JavaPtr<StringArray>& strings) {
    if (!strings) {
        out.writeInt(0);
        return;
    }
    out.writeInt(strings->length);
    for (const JavaPtr<String>& s : *strings) out.writeUTF(s ? s : jnew<String>());
}

JavaPtr<StringArray> readStrings(DataInputStream& in) {
    const int32_t length = readLength(in, 2);
    JavaPtr<StringArray> strings = jnewArray<JavaPtr<String>>(std::max(length, 0));
    for (JavaPtr<String>& s : *strings) s = in.readUTF();
    return strings;
}

// Straight to the process's stderr: the runtime's System.err shares standard output with the debug
// output, where a player would never look for it.
void report(const std::string& text) {
    std::fprintf(stderr, "quill: %s\n", text.c_str());
}

std::string dataDirectory() {
    return _savePathIs != nullptr ? _savePathIs : "the data directory";
}

std::string reasonFor(int error) {
    return error != 0 ? std::strerror(error) : "the record store refused it";
}

// Save failures that have no errno of their own.
constexpr int32_t kSaveHeld = -1;
constexpr int32_t kRecordNotMade = -2;
constexpr int32_t kNoReasonKnown = -3;

JavaPtr<JArray<int32_t>> freshInts(int32_t value) {
    JavaPtr<JArray<int32_t>> array = jnewArray<int32_t>(kScoreSlots);
    std::fill(array->begin(), array->end(), value);
    return array;
}

}  // namespace

void HookCanvas::writeArray(const DataOutputStreamRef& out, const JavaPtr<JArray<int32_t>>& array) {
    if (!array) {
        out->writeInt(0);
        return;
    }
    out->writeInt(array->length);
    for (int32_t value : *array) out->writeInt(value);
}

void HookCanvas::writeArray(const DataOutputStreamRef& out, const JavaPtr<JArray<bool>>& array) {
    if (!array) {
        out->writeInt(0);
        return;
    }
    out->writeInt(array->length);
    for (bool value : *array) out->writeBoolean(value);
}

void HookCanvas::writeArrayArray(const DataOutputStreamRef& out,
                                 const JavaPtr<JArray<JavaPtr<JArray<bool>>>>& array) {
    if (!array) {
        out->writeInt(0);
        return;
    }
    out->writeInt(array->length);
    for (const JavaPtr<JArray<bool>>& inner : *array) {
        const int32_t length = inner ? inner->length : 0;
        out->writeInt(length);
        for (int32_t i = 0; i < length; ++i) out->writeBoolean(inner->data[i]);
    }
}

JavaPtr<JArray<int32_t>> HookCanvas::readIntArray(const DataInputStreamRef& in) {
    const int32_t length = readLength(*in, 4);
    if (length == 0) return nullptr;
    JavaPtr<JArray<int32_t>> array = jnewArray<int32_t>(std::max(length, 0));
    for (int32_t& value : *array) value = readInt(*in);
    return array;
}

JavaPtr<JArray<bool>> HookCanvas::readBooleanArray(const DataInputStreamRef& in) {
    const int32_t length = readLength(*in, 1);
    if (length == 0) return nullptr;
    JavaPtr<JArray<bool>> array = jnewArray<bool>(std::max(length, 0));
    for (bool& value : *array) value = readBoolean(*in);
    return array;
}

JavaPtr<JArray<JavaPtr<JArray<bool>>>> HookCanvas::readBoolBoolArray(const DataInputStreamRef& in) {
    const int32_t length = readLength(*in, 4);
    if (length == 0) return nullptr;
    JavaPtr<JArray<JavaPtr<JArray<bool>>>> array = jnewArray<JavaPtr<JArray<bool>>>(std::max(length, 0));
    for (JavaPtr<JArray<bool>>& inner : *array) {
        const int32_t innerLength = readLength(*in, 1);
        inner = jnewArray<bool>(std::max(innerLength, 0));
        for (bool& value : *inner) value = readBoolean(*in);
    }
    return array;
}

void HookCanvas::saveData() {
    JavaPtr<ByteArray> record;
    try {
        JavaPtr<ByteArrayOutputStream> bytes = jnew<ByteArrayOutputStream>();
        JavaPtr<DataOutputStream> out = jnew<DataOutputStream>(bytes);
        out->writeByte(VERSION_NUMBER);
        out->writeInt(hints);
        out->writeInt(skips);
        // An answer that changes the level is saved with what it earned, though the screens show the
        // change only once its pause ends: a program killed in the pause (paused programs are) must
        // not lose it.
        int32_t savedLevel = level, savedPoints = level_points, savedAnswers = answers_in_level;
        bool savedNoTest = no_test_running;
        if (!current_mode_practice && question_answered) {
            const int32_t rank = getRanking();
            if (rank != level) {
                savedLevel = rank;
                savedPoints = 0;
                savedAnswers = 0;
                if (levelThresholds && rank >= levelThresholds->length) savedNoTest = true;
            }
        }
        out->writeInt(timer_remaining_ms);
        out->writeBoolean(savedNoTest);
        for (int32_t i = 0; i < 6; ++i) out->writeBoolean(options && i < options->length && options->data[i]);
        writeArray(out, category_scores);
        writeArray(out, category_questions_asked);
        writeArray(out, category_completed);
        out->writeInt(current_category);
        out->writeBoolean(current_mode_practice);
        out->writeInt(current_subsection);
        writeArrayArray(out, practicedDBs);
        for (int32_t value :
             {savedPoints, savedAnswers, test_right, test_wrong, answered_this_round, question_count,
              savedLevel, practice_right_total, practice_wrong, practice_right_this_game})
            out->writeInt(value);

        // The running test question: the current one in a test, the kept one while practising. A test
        // question already answered is kept by neither the record nor memory: a restart would ask it
        // again and score it twice. Continue Test then draws a new one.
        const bool test = !current_mode_practice;
        const JavaPtr<StringArray> texts = test ? (question_answered ? nullptr : question) : saved_question;
        if (!texts) {
            out->writeByte(0);
            if (test) saved_question = nullptr;
        } else {
            const JavaPtr<StringArray> lines = test ? question_lines : saved_question_lines;
            const int32_t position = test ? correct_position : saved_correct_position;
            const JavaPtr<StringArrays> answers = test ? answer_lines : saved_answer_lines;
            const JavaPtr<JArray<bool>> greyed = test ? ghosted : saved_ghosted;
            const int32_t index = test ? film_id : saved_film_id;
            out->writeByte(1);
            writeStrings(*out, texts);
            writeStrings(*out, lines);
            out->writeInt(position);
            out->writeInt(answers ? answers->length : 0);
            if (answers) {
                for (const JavaPtr<StringArray>& inner : *answers) writeStrings(*out, inner);
            }
            for (int32_t i = 0; i < 4; ++i)
                out->writeBoolean(greyed && i < greyed->length && greyed->data[i]);
            out->writeInt(index);
            saved_question = texts;
            saved_question_lines = lines;
            saved_correct_position = position;
            saved_answer_lines = answers;
            saved_ghosted = greyed;
            saved_film_id = index;
        }
        out->close();
        record = bytes->toByteArray();
    } catch (java::lang::Exception&) {
        reportSaveFailure(kRecordNotMade, "the progress could not be saved: its record could not be made");
        return;
    }
    // A store that could not be read at start-up may hold more than this session: it is not
    // overwritten.
    if (progress_store_held) {
        reportSaveFailure(kSaveHeld, "the progress is not saved: the saved progress in " + dataDirectory() +
                                         " could not be read at start-up and is kept as it is");
        return;
    }
    platform::takeLastFileFailure();
    if (progress_store_damaged) setAsideDamagedProgressStore();
    // Saving never fails outward; a failed write leaves the store as it was, and since every save
    // writes the whole record, the next one makes up for it.
    if (!progress_store_damaged && setRecordStoreData(record, 0)) {
        save_failure_reported = 0;
        return;
    }
    const int error = platform::takeLastFileFailure();
    reportSaveFailure(error != 0 ? error : kNoReasonKnown, "the progress could not be saved in " +
                                                               dataDirectory() + ": " + reasonFor(error) +
                                                               "; the next save tries again");
}

void HookCanvas::reportSaveFailure(int32_t kind, const std::string& text) {
    // Once per kind: every answer saves, and a read-only directory would otherwise fill the terminal.
    if (kind == save_failure_reported) return;
    save_failure_reported = kind;
    report(text);
}

bool HookCanvas::setAsideDamagedProgressStore() {
    // The record store refuses the damaged file for good, and a write would only open it again: it
    // moves aside, kept for whoever can mend it, and the write creates the store anew.
    try {
        const JavaPtr<String> aside = RecordStore::setAsideDamagedStore(record_store_prefix + 1);
        progress_store_damaged = false;
        if (aside) {
            report("the saved progress in " + dataDirectory() + " is damaged: it is kept as " +
                   dataDirectory() + "/" + aside->val() + ", and the game starts afresh");
        }
        return true;
    } catch (java::lang::Exception&) {
        return false;  // the save fails and says why; the next one tries again
    }
}

void HookCanvas::loadSavedData() {
    // The progress is one record. Two are left by a save of earlier versions (add the new record,
    // then delete the old) cut between its steps: the later in the file is the newer.
    const JavaPtr<RecordList> records = getRecordStoreDataMult(0);
    JavaPtr<ByteArray> data;
    for (int32_t i = records ? records->length - 1 : -1; i >= 0 && !data; --i) data = records->data[i];
    // Records read before a failure may be older ones: a store that could not be read whole is held.
    if (last_store_read == StoreRead::Unreadable) data = nullptr;
    if (!data) {
        if (last_store_read == StoreRead::DamagedHeader) {
            progress_store_damaged = true;
            if (!setAsideDamagedProgressStore()) {
                report("the saved progress in " + dataDirectory() +
                       " is damaged: the game starts afresh, and the next save sets it aside");
            }
        } else if (last_store_read == StoreRead::Unreadable) {
            // Nothing says the progress is gone: it stays as it is, and nothing this session plays
            // replaces it. The next start reads it again.
            progress_store_held = true;
            report("the saved progress in " + dataDirectory() +
                   " could not be read: " + reasonFor(last_store_read_error) +
                   "; it is kept as it is, and this session's progress is not saved");
        }
        resetGame(true);
        validateProgress();
        return;
    }
    try {
        JavaPtr<DataInputStream> in = jnew<DataInputStream>(jnew<ByteArrayInputStream>(data));
        in->readByte();  // The version: one layout is read whatever it says.
        hints = readInt(*in);
        skips = readInt(*in);
        timer_remaining_ms = readInt(*in);
        no_test_running = readStrictFlag(*in);
        for (int32_t i = 0; i < 6; ++i) {
            const bool set = readStrictFlag(*in);
            if (options && i < options->length) options->data[i] = set;
        }
        category_scores = readIntArray(in);
        category_questions_asked = readIntArray(in);
        category_completed = readBooleanArray(in);
        current_category = readInt(*in);
        current_mode_practice = readBoolean(*in);
        current_subsection = readInt(*in);
        practicedDBs = restorePracticed(readBoolBoolArray(in));
        level_points = readInt(*in);
        answers_in_level = readInt(*in);
        test_right = readInt(*in);
        test_wrong = readInt(*in);
        answered_this_round = readInt(*in);
        question_count = readInt(*in);
        level = readInt(*in);
        practice_right_total = readInt(*in);
        practice_wrong = readInt(*in);
        practice_right_this_game = readInt(*in);
        if (in->readByte() != 0) {
            JavaPtr<StringArray> texts = readStrings(*in);
            JavaPtr<StringArray> lines = readStrings(*in);
            const int32_t position = readInt(*in);
            const int32_t answerCount = readLength(*in, 4);
            JavaPtr<StringArrays> answers = jnewArray<JavaPtr<StringArray>>(std::max(answerCount, 0));
            for (JavaPtr<StringArray>& inner : *answers) inner = readStrings(*in);
            JavaPtr<JArray<bool>> greyed = jnewArray<bool>(4);
            for (bool& value : *greyed) value = readBoolean(*in);
            const int32_t index = readInt(*in);
            // A block the game screen cannot show is dropped; the rest of the record stands.
            const bool usable = texts->length == 5 && answers->length == 4 && position >= 1 &&
                                position <= 3 && !greyed->data[position - 1];
            if (usable) {
                saved_question = texts;
                saved_question_lines = lines;
                saved_correct_position = position;
                saved_answer_lines = answers;
                saved_ghosted = greyed;
                saved_film_id = index;
            }
        }
    } catch (java::lang::Exception&) {
        resetGame(true);
    } catch (std::bad_alloc&) {
        resetGame(true);
    }
    validateProgress();
}

JavaPtr<JArray<JavaPtr<JArray<bool>>>> HookCanvas::restorePracticed(
    const JavaPtr<JArray<JavaPtr<JArray<bool>>>>& stored) {
    // The sections come from the bundle's "topics.dat": the stored flags are laid onto that shape, so
    // a record from content with other sections neither indexes past an array nor loses what fits.
    const JavaPtr<JArray<JavaPtr<JArray<bool>>>> shape = practicedDBs;
    JavaPtr<JArray<JavaPtr<JArray<bool>>>> fitted = jnewArray<JavaPtr<JArray<bool>>>(CATEGORY_COUNT);
    for (int32_t c = 0; c < CATEGORY_COUNT; ++c) {
        const JavaPtr<JArray<bool>> current = shape && c < shape->length ? shape->data[c] : nullptr;
        const JavaPtr<JArray<bool>> read = stored && c < stored->length ? stored->data[c] : nullptr;
        const int32_t sections = current ? current->length : 0;
        fitted->data[c] = jnewArray<bool>(sections);
        for (int32_t s = 0; s < sections; ++s)
            fitted->data[c]->data[s] = read && s < read->length && read->data[s];
    }
    return fitted;
}

void HookCanvas::validateProgress() {
    if (!category_scores || category_scores->length != kScoreSlots) category_scores = freshInts(0);
    if (!category_questions_asked || category_questions_asked->length != kScoreSlots)
        category_questions_asked = freshInts(kFreshQuestionsAsked);
    if (!category_completed || category_completed->length != kScoreSlots)
        category_completed = jnewArray<bool>(kScoreSlots);
    if (!practicedDBs || practicedDBs->length != CATEGORY_COUNT)
        practicedDBs = restorePracticed(practicedDBs);
    for (JavaPtr<JArray<bool>>& sections : *practicedDBs) {
        if (!sections) sections = jnewArray<bool>(0);
    }
    // Hints and skips pick a digit icon, the level a badge.
    hints = std::clamp(hints, 0, MAX_HINTS_OR_SKIPS);
    skips = std::clamp(skips, 0, MAX_HINTS_OR_SKIPS);
    level = std::max(level, 0);
    if (levelThresholds) level = std::min(level, levelThresholds->length);
    if (current_category < -1 || current_category > TEST_CATEGORY) current_category = -1;
    timer_remaining_ms = std::clamp(timer_remaining_ms, 0, QUESTION_TIMER_MAX_MS);
    for (int32_t* counter :
         {&level_points, &answers_in_level, &test_right, &test_wrong, &answered_this_round, &question_count,
          &practice_right_total, &practice_wrong, &practice_right_this_game})
        *counter = std::clamp(*counter, 0, kMaxCount);
    for (const JavaPtr<JArray<int32_t>>& counts : {category_scores, category_questions_asked}) {
        for (int32_t& count : *counts) count = std::clamp(count, 0, kMaxCount);
    }
}
