// A counting canvas whose resource, image and text services answer from the test's own tables, and
// which records the input each update step latched: the stage of the input, menu and sound tests.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "runtime/String.h"
#include "tests/engine/CanvasFixtures.h"

namespace enginetest {

// What one update step saw.
struct LatchedInput {
    bool pointerPressed;
    bool pointerRepeated;
    int32_t keysPressed;
    int32_t keysRepeated;
    int32_t x;
    int32_t y;
};

class ServiceCanvas : public CountingCanvas {
    TESL_CLASS(ServiceCanvas, "enginetest.ServiceCanvas", CountingCanvas)
public:
    ServiceCanvas() noexcept {}
    ServiceCanvas* TESLinvokeconstructor() {
        CountingCanvas::TESLinvokeconstructor();
        return this;
    }

    void fixedRateUpdate() override {
        CountingCanvas::fixedRateUpdate();
        std::lock_guard<std::mutex> lock(m_lock);
        latched.push_back({pointer_pressed.load(), pointer_repeated.load(), keys_pressed.load(),
                           keys_repeated.load(), pointer_x.load(), pointer_y.load()});
    }

    // A fresh copy of the resource's bytes, as the resource map gives; null for an unknown id.
    JavaPtr<JArray<signed char>> getResourceByteArray(int32_t id) override {
        std::lock_guard<std::mutex> lock(m_lock);
        ++reads[id];
        auto found = resources.find(id);
        if (found == resources.end()) return nullptr;
        auto bytes = jnew<JArray<signed char>>(static_cast<int>(found->second.size()));
        for (size_t i = 0; i < found->second.size(); ++i)
            bytes->data[i] = static_cast<signed char>(found->second[i]);
        return bytes;
    }

    // Every image is imageWidth x imageHeight; each question is noted by its selector.
    int32_t getImageDimension(int32_t, int32_t, int32_t, int32_t selector) override {
        std::lock_guard<std::mutex> lock(m_lock);
        dimensionQuestions.push_back(selector);
        return selector == IMAGEDIMENSION_WIDTH ? imageWidth : imageHeight;
    }

    // Text id n reads "text n".
    JavaPtr<String> getString(int32_t id) override {
        return jnew<String>(("text " + std::to_string(id)).c_str());
    }

    std::vector<LatchedInput> takeLatched() {
        std::lock_guard<std::mutex> lock(m_lock);
        return std::exchange(latched, {});
    }
    int readsOf(int32_t id) {
        std::lock_guard<std::mutex> lock(m_lock);
        return reads[id];
    }

    std::map<int32_t, std::vector<uint8_t>> resources;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    std::vector<int32_t> dimensionQuestions;

private:
    std::mutex m_lock;
    std::vector<LatchedInput> latched;
    std::map<int32_t, int> reads;
};

// The input and soft-key statics as a fresh process has them.
inline void resetInputStatics() {
    HookCanvas::internal_keys_pressed.store(0);
    HookCanvas::internal_keys_repeated.store(0);
    HookCanvas::internal_pointer_pressed.store(false);
    HookCanvas::internal_pointer_repeated.store(false);
    HookCanvas::keys_pressed = 0;
    HookCanvas::keys_repeated = 0;
    HookCanvas::pointer_pressed = false;
    HookCanvas::pointer_repeated = false;
    HookCanvas::pointer_x.store(0);
    HookCanvas::pointer_y.store(0);
    HookCanvas::internal_keypress_buffer.store(0);
    HookCanvas::cheats_triggered.store(0);
    HookCanvas::internal_key_mappings = nullptr;
    HookCanvas::internal_cheat_codes = nullptr;
    HookCanvas::back_softkey_string = nullptr;
    HookCanvas::fwrd_softkey_string = nullptr;
}

// The canvas fixture with a ServiceCanvas on stage.
class ServiceCanvasFixture : public CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        resetInputStatics();
        service = jnew<ServiceCanvas>();
        canvas = service;
    }
    void TearDown() override {
        service = nullptr;
        CanvasFixture::TearDown();
        resetInputStatics();
    }

    JavaPtr<ServiceCanvas> service;
};

}  // namespace enginetest
