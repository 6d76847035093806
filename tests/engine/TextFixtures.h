// The stage of the text tests: a canvas whose characters measure by a fixed table (so wrap cases read
// in round numbers), ENC strings built byte by byte, and the class statics made and released per test.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/HookCanvas.h"
#include "tests/engine/ResourceFixtures.h"
#include "tests/support/StringText.h"

namespace texttest {

// Letters and digits measure 10, a space 4, a hyphen 3; every other character 10 too. The slot is
// ignored.
class MeasuredCanvas : public HookCanvas {
    TESL_CLASS(MeasuredCanvas, "texttest.MeasuredCanvas", HookCanvas)
public:
    MeasuredCanvas() noexcept {}
    static constexpr int kLetter = 10;
    static constexpr int kSpace = 4;
    static constexpr int kHyphen = 3;
    int32_t getCharWidth(int32_t, unsigned short c) override {
        if (c == ' ') return kSpace;
        if (c == '-') return kHyphen;
        return kLetter;
    }
};

inline JavaPtr<JArray<signed char>> bytes(const std::vector<uint8_t>& values) {
    auto array = jnew<JArray<signed char>>(static_cast<int>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) array->data[i] = static_cast<signed char>(values[i]);
    return array;
}

inline std::vector<uint8_t> values(const JavaPtr<JArray<signed char>>& array) {
    std::vector<uint8_t> out;
    for (int i = 0; i < array->length; ++i) out.push_back(static_cast<uint8_t>(array->data[i]));
    return out;
}

inline std::vector<std::string> narrowLines(const JavaPtr<JArray<JavaPtr<java::lang::String>>>& lines) {
    std::vector<std::string> out;
    for (int i = 0; i < lines->length; ++i) out.push_back(testsupport::narrow(lines->data[i]));
    return out;
}

inline JavaPtr<java::lang::String> units(const std::u16string& text) {
    return jnew<java::lang::String>(reinterpret_cast<const unsigned short*>(text.data()),
                                    static_cast<int>(text.size()));
}

class TextStaticsTest : public ::testing::Test {
protected:
    void SetUp() override {
        HookCanvas::HookCanvas_globalStaticCreate();
        canvas = jnew<MeasuredCanvas>();
    }
    void TearDown() override {
        canvas = nullptr;
        HookCanvas::HookCanvas_globalStaticDestroy();
        HookCanvas::set_font = -1;
    }
    JavaPtr<MeasuredCanvas> canvas;
};

// A canvas over a bundle (see ResourceFixture) with its fields and the class statics made, and the
// screen height that the text cull reads.
class TextResourceFixture : public enginetest::ResourceFixture {
protected:
    static constexpr int kScreenHeight = 40;
    void SetUp() override {
        ResourceFixture::SetUp();
        HookCanvas::HookCanvas_globalStaticCreate();
        canvas->TESLinitconstructor();
        m_savedHeight = HookCanvas::PARAM_TS_BASE_SCREEN_HEIGHT.exchange(kScreenHeight);
    }
    void TearDown() override {
        HookCanvas::PARAM_TS_BASE_SCREEN_HEIGHT.store(m_savedHeight);
        HookCanvas::HookCanvas_globalStaticDestroy();
        HookCanvas::set_font = -1;
        ResourceFixture::TearDown();
    }

private:
    int32_t m_savedHeight = 0;
};

}  // namespace texttest
