#include "tests/support/graphics/PixelCanvas.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "graphics/ScreenSize.h"
#include "runtime/Object.h"

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::ScreenSize;

namespace testsupport {

PixelCanvas::PixelCanvas(int width, int height, uint32_t background)
    : m_width(width),
      m_height(height),
      m_background(background),
      m_words(static_cast<size_t>(width) * height + 2 * kGuardWords, kGuardWord) {
    clear();
}

PixelCanvas::~PixelCanvas() {
    EXPECT_TRUE(guardIntact()) << "a draw wrote outside its " << m_width << " x " << m_height << " buffer";
}

void PixelCanvas::clear() {
    std::fill_n(pixels(), static_cast<size_t>(m_width) * m_height, m_background);
}

JavaPtr<Graphics> graphicsForDisplay(int width, int height) {
    const int32_t savedWidth = ScreenSize::width;
    const int32_t savedHeight = ScreenSize::height;
    ScreenSize::width = width;
    ScreenSize::height = height;
    JavaPtr<Graphics> g = jnew<Graphics>();
    ScreenSize::width = savedWidth;
    ScreenSize::height = savedHeight;
    return g;
}

JavaPtr<Graphics> PixelCanvas::makeGraphics() {
    JavaPtr<Graphics> g = graphicsForDisplay(m_width, m_height);
    g->pixels = pixels();
    return g;
}

bool PixelCanvas::guardIntact() const {
    auto intact = [](auto first, auto last) {
        return std::all_of(first, last, [](uint32_t w) { return w == kGuardWord; });
    };
    return intact(m_words.begin(), m_words.begin() + kGuardWords) &&
           intact(m_words.end() - kGuardWords, m_words.end());
}

std::string PixelCanvas::ascii() const {
    std::string text;
    text.reserve(static_cast<size_t>(m_width + 1) * m_height);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) text += at(x, y) == m_background ? '.' : '#';
        text += '\n';
    }
    return text;
}

std::string PixelCanvas::writePng(const std::string& name) const {
    const char* configured = std::getenv("QUILL_TEST_OUTPUT_DIR");
    std::filesystem::path folder = configured ? configured : ::testing::TempDir();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::string path = (folder / (name + ".png")).string();
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(m_width);
    image.height = static_cast<png_uint_32>(m_height);
    // Pixel words are bytes R, G, B, A in memory: exactly the PNG's RGBA rows.
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels(), m_width * 4, nullptr)) return {};
    return path;
}

::testing::AssertionResult showsPicture(const PixelCanvas& canvas,
                                        std::initializer_list<std::string_view> rows) {
    std::string expected;
    for (std::string_view row : rows) {
        expected += row;
        expected += '\n';
    }
    std::string actual = canvas.ascii();
    if (actual == expected && canvas.guardIntact()) return ::testing::AssertionSuccess();
    std::string name = "canvas";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
    }
    std::string path = canvas.writePng(name);
    return ::testing::AssertionFailure()
           << (canvas.guardIntact() ? "" : "guard words overwritten\n") << "expected:\n"
           << expected << "actual:\n"
           << actual << "picture: " << (path.empty() ? "(not written)" : path);
}

}  // namespace testsupport
