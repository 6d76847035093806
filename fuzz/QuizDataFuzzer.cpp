// libFuzzer target for the quiz's data readers. Byte 0 picks the reader, the rest is its input:
// - 0: a question bank, indexed and then asked for questions in a test and in practice.
// - 1: "topics.dat".
// - 2: a progress record, read and then written back.
// Nothing read may crash or read outside its bytes, and what a read leaves must be in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/HookCanvas.h"
#include "fuzz/FuzzBytes.h"
#include "runtime/Exception.h"
#include "runtime/String.h"

namespace {

using Bytes = JArray<signed char>;

using fuzzsupport::copyOf;

// A canvas whose files and stored record come from the fuzzer's input, and whose presentation calls
// do nothing.
class FuzzQuizCanvas : public HookCanvas {
    TESL_CLASS(FuzzQuizCanvas, "fuzz.FuzzQuizCanvas", HookCanvas)
public:
    FuzzQuizCanvas() noexcept {}
    FuzzQuizCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    JavaPtr<Bytes> loadFileFromJar(const JavaPtr<java::lang::String>&, int32_t) override { return input; }
    JavaPtr<Bytes> getRecordStoreData(int32_t) override { return input; }
    bool setRecordStoreData(const JavaPtr<Bytes>& data, int32_t) override {
        written = data;
        return true;
    }
    JavaPtr<JArray<JavaPtr<java::lang::String>>> splitString(const JavaPtr<java::lang::String>& text, int32_t,
                                                             int32_t) override {
        JavaPtr<JArray<JavaPtr<java::lang::String>>> lines = jnewArray<JavaPtr<java::lang::String>>(1);
        lines->data[0] = text;
        return lines;
    }

    JavaPtr<Bytes> input;
    JavaPtr<Bytes> written;
};

void askQuestions(FuzzQuizCanvas& canvas) {
    canvas.database_loaded = false;
    HookCanvas::want_category_to_be = HookCanvas::TEST_CATEGORY;
    HookCanvas::want_practice_mode = false;
    for (int i = 0; i < 4; ++i) canvas.getQuestion(true);
    canvas.database_loaded = false;
    HookCanvas::want_category_to_be = 3;
    HookCanvas::want_subsection_to_be = 1;
    HookCanvas::want_practice_mode = true;
    for (int i = 0; i < 3; ++i) {
        canvas.answered_this_round = i * 40000;
        if (canvas.getQuestion(true) && canvas.correct_position < 1) std::abort();
    }
}

void readTopics(FuzzQuizCanvas& canvas) {
    try {
        canvas.loadTopics();
    } catch (java::lang::Exception&) {
        return;
    }
    if (HookCanvas::practicedDBs->length != HookCanvas::CATEGORY_COUNT) std::abort();
}

void readRecord(FuzzQuizCanvas& canvas) {
    canvas.loadSavedData();
    if (HookCanvas::category_scores->length != 17 || canvas.hints < 0 || canvas.hints > 9) std::abort();
    if (canvas.saved_question && (canvas.saved_question->length != 5 || canvas.saved_correct_position < 1 ||
                                  canvas.saved_correct_position > 3))
        std::abort();
    canvas.getQuestion(false);
    canvas.saveData();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // System.err stays unset: the reports of unusable banks would only slow the run.
    static bool started = [] {
        HookCanvas::HookCanvas_globalStaticCreate();
        return true;
    }();
    (void)started;
    JavaPtr<FuzzQuizCanvas> canvas = jnew<FuzzQuizCanvas>();
    canvas->input = copyOf(data + 1, size - 1);
    // Two categories of three sections, as the topics would give them, for the record's map.
    HookCanvas::practicedDBs = jnewArray<JavaPtr<JArray<bool>>>(HookCanvas::CATEGORY_COUNT);
    for (auto& sections : *HookCanvas::practicedDBs) sections = jnewArray<bool>(3);
    HookCanvas::shuffle_db_preloaded = nullptr;
    switch (data[0]) {
        case 0:
            askQuestions(*canvas);
            break;
        case 1:
            readTopics(*canvas);
            break;
        case 2:
            readRecord(*canvas);
            break;
        default:
            break;
    }
    return 0;
}
