// The 2D-over-3D screen against the software renderer, on what draws straight onto the screen: the
// high-level screens (a form of every kind of item, lists, an alert, an open menu), text, lines, arcs,
// images and RGB data, and the quiz's own frames, the game screen with its particles in flight among
// them. Each picture is drawn through the screen's GL Graphics and through a software Graphics over a
// buffer, and the two must agree pixel for pixel.
//
// The one allowance: a pixel blended translucently (a glyph's partial coverage, an alpha between 0 and
// 255) may lie up to two steps apart in a colour channel, because GL's blend computes
// a / 255 x s + (1 - a / 255) x d and rounds, where the software moves d by floor((s - d) x (a + 1) / 256).
// Only the case that draws such pixels allows it; every other case compares at 0.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "dialogs/Alert.h"
#include "dialogs/AlertType.h"
#include "engine/HookCanvas.h"
#include "forms/ChoiceGroup.h"
#include "forms/DateField.h"
#include "forms/Form.h"
#include "forms/Gauge.h"
#include "forms/ImageItem.h"
#include "forms/List.h"
#include "forms/StringItem.h"
#include "forms/TextField.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "platform/gl/EglOutput.h"
#include "runtime/LockObject.h"
#include "shell/Ticker.h"
#include "tests/dialogs/HighLevelScreensFixture.h"
#include "tests/support/QuizDriver.h"
#include "tests/support/graphics/PixelWords.h"

namespace {

using javax::microedition::lcdui::Alert;
using javax::microedition::lcdui::AlertType;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Choice;
using javax::microedition::lcdui::ChoiceGroup;
using javax::microedition::lcdui::DateField;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::Gauge;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ImageItem;
using javax::microedition::lcdui::List;
using javax::microedition::lcdui::ScreenSize;
using javax::microedition::lcdui::StringItem;
using javax::microedition::lcdui::TextField;
using javax::microedition::lcdui::Ticker;
using testsupport::channelDifference;
using testsupport::jstr;

// What a comparison found: pixels beyond the tolerance (the first one described), pixels apart at all,
// and pixels that are not black in the software picture (so that an empty picture cannot pass unseen).
struct Comparison {
    int beyond = 0;
    int apart = 0;
    int painted = 0;
    std::string first;
};

Comparison compare(const std::vector<uint32_t>& gl, const std::vector<uint32_t>& software, int width,
                   int tolerance) {
    Comparison result;
    if (gl.size() != software.size()) {
        result.beyond = -1;
        result.first = "the GL frame has " + std::to_string(gl.size()) + " pixels, the software one " +
                       std::to_string(software.size());
        return result;
    }
    for (size_t i = 0; i < gl.size(); ++i) {
        if ((software[i] & 0xFFFFFFu) != 0) ++result.painted;
        const int d = channelDifference(gl[i], software[i]);
        if (d == 0) continue;
        ++result.apart;
        if (d <= tolerance) continue;
        if (result.beyond++ == 0) {
            char text[96];
            std::snprintf(text, sizeof text, "(%zu, %zu): GL %08x, software %08x", i % width, i / width,
                          gl[i], software[i]);
            result.first = text;
        }
    }
    return result;
}

// An image whose every pixel differs, so that a wrong region, transform or row order shows.
JavaPtr<Image> patternImage(int w, int h, uint32_t alpha) {
    std::vector<int> argb(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            argb[static_cast<size_t>(y) * w + x] =
                static_cast<int>(alpha << 24 | static_cast<uint32_t>(x * 23 + 10) % 256 << 16 |
                                 static_cast<uint32_t>(y * 31 + 20) % 256 << 8 | 0x80u);
        }
    }
    return Image::createRGBImage(argb.data(), w, h, alpha != 0xFF);
}

// The high-level screens' stage (240 x 214, the test font, the stepped clock) with a GL screen beside
// the software one.
class GLAgainstSoftware : public dialogstest::HighLevelScreensFixture {
protected:
    void SetUp() override {
        HighLevelScreensFixture::SetUp();
        ScreenSize::width = kWidth;
        ScreenSize::height = kHeight;
        platform::EglOutput::setOutputSize(kWidth, kHeight);
        std::string reason;
        ASSERT_TRUE(platform::EglOutput::probe(reason)) << "no OpenGL ES 1.1 here: " << reason;
        gl = jnew<Graphics>();
        gl->isScreen = true;
        gl->pixels = nullptr;
        gl->width = kWidth;
        gl->height = kHeight;
        software = jnew<Graphics>();
        software->pixels = screenBuffer.data();
        software->width = kWidth;
        software->height = kHeight;
    }

    // Draws the picture through GL and presents it, then in software on black; compares the two.
    Comparison drawBoth(const std::function<void(const JavaPtr<Graphics>&)>& draw, int tolerance = 0) {
        for (const JavaPtr<Graphics>& g : {gl, software}) {
            g->setClip(0, 0, kWidth, kHeight);
            g->translate(-g->getTranslateX(), -g->getTranslateY());
            g->setStrokeStyle(Graphics::SOLID);
            g->setColor(0);
        }
        const uint64_t presented = platform::EglOutput::framesPresented();
        draw(gl);
        flushGraphics2DOver3D(nullptr);
        EXPECT_EQ(platform::EglOutput::framesPresented(), presented + 1) << "no GL frame was presented";
        int w = 0, h = 0;
        const std::vector<uint32_t> frame = platform::EglOutput::lastFrame(w, h);
        std::fill(screenBuffer.begin(), screenBuffer.end(), 0xFF000000u);
        draw(software);
        return compare(frame, screenBuffer, kWidth, tolerance);
    }

    // The current screen's canvas painting the whole screen, as a repaint does.
    Comparison paintCurrentBoth() {
        JavaPtr<Canvas> canvas = screenstest::Display::currentCanvas();
        EXPECT_TRUE(canvas);
        if (!canvas) return {};
        return drawBoth([&](const JavaPtr<Graphics>& g) { canvas->paint(g); });
    }

    JavaPtr<Graphics> gl;
    JavaPtr<Graphics> software;
};

#define EXPECT_SAME_PICTURE(result)                                                               \
    do {                                                                                          \
        const Comparison c = (result);                                                            \
        EXPECT_EQ(c.beyond, 0) << c.beyond << " pixels differ, first " << c.first;                \
        EXPECT_GT(c.painted, kWidth* kHeight / 50) << "the software picture is almost all black"; \
    } while (0)

TEST_F(GLAgainstSoftware, FormOfEveryItemKind) {
    JavaPtr<Form> form = jnew<Form>(jstr("Settings"));
    form->append(jnew<StringItem>(jstr("Name"), jstr("A string item that wraps over more than one row")));
    form->append(jnew<TextField>(jstr("Field"), jstr("typed text"), 40, TextField::ANY));
    JavaPtr<ChoiceGroup> choices = jnew<ChoiceGroup>(jstr("Pick"), Choice::EXCLUSIVE);
    choices->append(jstr("first"), nullptr);
    choices->append(jstr("second"), patternImage(9, 9, 0xFF));
    choices->append(jstr("third"), nullptr);
    choices->setSelectedIndex(1, true);
    form->append(choices);
    form->append(jnew<Gauge>(jstr("Volume"), true, 10, 6));
    form->append(jnew<ImageItem>(jstr("Picture"), patternImage(30, 12, 0xFF), 0, jstr("alt")));
    form->append(jnew<DateField>(jstr("When"), DateField::DATE_TIME));
    form->addCommand(screenstest::command("Back", screenstest::Command::BACK, 1));
    form->addCommand(screenstest::command("Save", screenstest::Command::OK, 1));
    form->setTicker(jnew<Ticker>(jstr("news of the day")));
    show(form);
    EXPECT_SAME_PICTURE(paintCurrentBoth());
    // Scrolled down, with the focus moved: another layout of the same items.
    JavaPtr<Canvas> canvas = screenstest::Display::currentCanvas();
    for (int i = 0; i < 4; ++i) key(canvas, screenstest::DisplayableCoreCanvas::KEY_DOWN);
    EXPECT_SAME_PICTURE(paintCurrentBoth());
}

TEST_F(GLAgainstSoftware, ListsAndAnOpenMenu) {
    const char* names[] = {"alpha", "beta", "gamma", "delta",  "epsilon", "zeta", "eta",
                           "theta", "iota", "kappa", "lambda", "mu",      "nu",   "xi"};
    JavaPtr<List> implicit = jnew<List>(jstr("Implicit"), Choice::IMPLICIT);
    for (int i = 0; i < 14; ++i)
        implicit->append(jstr(names[i]), i % 3 == 0 ? patternImage(8, 8, 0xFF) : nullptr);
    show(implicit);
    EXPECT_SAME_PICTURE(paintCurrentBoth());

    JavaPtr<List> multiple = jnew<List>(jstr("Multiple"), Choice::MULTIPLE);
    for (int i = 0; i < 5; ++i) multiple->append(jstr(names[i]), nullptr);
    multiple->setSelectedIndex(1, true);
    multiple->setSelectedIndex(3, true);
    // Three commands: the right soft key opens a menu of them.
    multiple->addCommand(screenstest::command("Back", screenstest::Command::BACK, 1));
    multiple->addCommand(screenstest::command("Open", screenstest::Command::SCREEN, 1));
    multiple->addCommand(screenstest::command("Delete", screenstest::Command::SCREEN, 2));
    multiple->addCommand(screenstest::command("Rename", screenstest::Command::SCREEN, 3));
    show(multiple);
    EXPECT_SAME_PICTURE(paintCurrentBoth());
    key(screenstest::Display::currentCanvas(), screenstest::DisplayableCoreCanvas::KEY_SOFTKEY_RIGHT);
    EXPECT_SAME_PICTURE(paintCurrentBoth());
}

TEST_F(GLAgainstSoftware, AlertWithImageIndicatorAndText) {
    JavaPtr<Alert> alert =
        jnew<Alert>(jstr("Warning"), jstr("The file could not be saved: the disk is full."),
                    patternImage(24, 16, 0xFF), AlertType::WARNING);
    alert->setIndicator(jnew<Gauge>(nullptr, false, 20, 7));
    alert->setTimeout(Alert::FOREVER);
    JavaPtr<Form> next = jnew<Form>(jstr("Next"));
    display->setCurrent(alert, next);
    screenstest::Display::tickLCDUI(50);
    ASSERT_EQ(screenstest::Display::currentDisplayable().get(),
              static_cast<screenstest::Displayable*>(alert.get()));
    EXPECT_SAME_PICTURE(paintCurrentBoth());
}

TEST_F(GLAgainstSoftware, TextAtEveryAnchorAndClipped) {
    EXPECT_SAME_PICTURE(drawBoth([](const JavaPtr<Graphics>& g) {
        g->setColor(0x204080);
        g->fillRect(0, 0, kWidth, kHeight);
        g->setColor(0xFFE0A0);
        const int anchors[] = {Graphics::TOP | Graphics::LEFT, Graphics::TOP | Graphics::HCENTER,
                               Graphics::BASELINE | Graphics::RIGHT, Graphics::BOTTOM | Graphics::HCENTER};
        for (int i = 0; i < 4; ++i) g->drawString(jstr("Anchored text 123"), 120, 20 + i * 24, anchors[i]);
        g->drawSubstring(jstr("...a substring..."), 3, 11, 5, 120, Graphics::TOP | Graphics::LEFT);
        g->drawChar('Q', 200, 120, Graphics::TOP | Graphics::LEFT);
        // Cut by the clip through the middle of the glyphs, and translated.
        g->setClip(30, 150, 90, 9);
        g->translate(7, 3);
        g->setColor(0x00FF80);
        g->drawString(jstr("clipped across the glyphs"), 10, 150, Graphics::TOP | Graphics::LEFT);
    }));
}

TEST_F(GLAgainstSoftware, LinesInEveryDirectionAndClipped) {
    EXPECT_SAME_PICTURE(drawBoth([](const JavaPtr<Graphics>& g) {
        g->setColor(0x101010);
        g->fillRect(0, 0, kWidth, kHeight);
        // A star of lines from one centre: every octant, steep and shallow, and the axes.
        const int cx = 110, cy = 100;
        for (int i = 0; i < 24; ++i) {
            const int dx[] = {90,  90, 90, 60, 30, 0,   -30, -60, -90, -90, -90, -60,
                              -30, 0,  30, 60, 17, -43, 5,   -3,  89,  -89, 1,   -1};
            const int dy[] = {0,   30,  60,  90,  90, 90, 90,  90, 60, 30, -30, -90,
                              -90, -90, -90, -90, 71, 13, -88, 87, 1,  -2, 90,  -90};
            g->setColor(0x3000FF + i * 0x0A0A00);
            g->drawLine(cx, cy, cx + dx[i], cy + dy[i]);
        }
        g->setColor(0xFFFFFF);
        g->drawLine(3, 3, 3, 3);
        g->drawRect(5, 190, 40, 15);
        g->setStrokeStyle(Graphics::DOTTED);
        g->drawLine(60, 200, 230, 170);
        g->setStrokeStyle(Graphics::SOLID);
        // Clipped: the visible steps of the whole line, not a line between cut ends.
        g->setClip(150, 120, 60, 50);
        g->setColor(0xFF4040);
        g->drawLine(100, 110, 239, 190);
        g->drawLine(239, 100, 140, 213);
    }));
}

TEST_F(GLAgainstSoftware, ArcsRoundRectsAndTriangles) {
    EXPECT_SAME_PICTURE(drawBoth([](const JavaPtr<Graphics>& g) {
        g->setColor(0x002030);
        g->fillRect(0, 0, kWidth, kHeight);
        g->setColor(0xF0C000);
        g->drawArc(10, 10, 60, 40, 0, 360);
        g->drawArc(80, 10, 50, 50, 30, 200);
        g->drawArc(140, 10, 35, 61, -45, -270);
        g->fillArc(10, 80, 50, 50, 45, 90);
        g->fillArc(70, 80, 61, 37, 0, 360);
        g->fillArc(140, 80, 40, 40, 200, -120);
        g->setColor(0x40C0FF);
        g->drawRoundRect(10, 140, 70, 40, 16, 12);
        g->fillRoundRect(90, 140, 60, 50, 30, 30);
        g->fillTriangle(160, 140, 235, 150, 180, 210);
    }));
}

TEST_F(GLAgainstSoftware, ImagesAndRGBDataWithoutTranslucency) {
    JavaPtr<Image> opaque = patternImage(13, 9, 0xFF);
    const int binaryPixels[] = {0, static_cast<int>(0xFFFF0000u), static_cast<int>(0xFF00FF00u),
                                0, static_cast<int>(0xFF0000FFu), 0};
    JavaPtr<Image> binary = Image::createRGBImage(binaryPixels, 3, 2, true);
    // An image drawn into in software, then shown: its texture must follow.
    JavaPtr<Image> mutableImage = Image::createImage(20, 20);
    mutableImage->getGraphics()->setColor(0xC03060);
    mutableImage->getGraphics()->fillArc(0, 0, 20, 20, 0, 360);
    EXPECT_SAME_PICTURE(drawBoth([&](const JavaPtr<Graphics>& g) {
        g->setColor(0x303030);
        g->fillRect(0, 0, kWidth, kHeight);
        for (int transform = 0; transform < 8; ++transform)
            g->drawRegion(opaque, 2, 1, 9, 7, transform, 10 + (transform % 4) * 20, 10 + (transform / 4) * 20,
                          0);
        g->drawImage(opaque, 235, 100, 0);  // half outside the screen
        g->drawImage(binary, 100, 60, 0);
        g->drawImage(mutableImage, 130, 60, 0);
        std::vector<int> values(40 * 30);
        for (size_t i = 0; i < values.size(); ++i)
            values[i] = static_cast<int>(((i % 2) != 0 ? 0xFF000000u : 0u) |
                                         (static_cast<uint32_t>(i) * 2654435761u >> 8));
        JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(static_cast<int>(values.size()));
        for (size_t i = 0; i < values.size(); ++i) rgb->data[i] = values[i];
        g->drawRGB(rgb, 0, 40, 10, 100, 40, 30, false);
        g->drawRGB(rgb, 5, 40, 60, 100, 30, 25, true);
        g->setClip(120, 110, 20, 20);
        g->drawRGB(rgb, 0, 40, 110, 100, 40, 30, false);
    }));
}

TEST_F(GLAgainstSoftware, TranslucentPixelsAreTheOnlyOnesAllowedTwoSteps) {
    // A font whose glyphs carry every coverage step, translucent RGB data and a translucent image.
    fonttools::FontDescription font = testsupport::testFontDescription();
    for (fonttools::GlyphMask& glyph : font.glyphs) {
        for (size_t i = 0; i < glyph.coverage.size(); ++i)
            glyph.coverage[i] = static_cast<uint8_t>((i * 37 + glyph.code) % 256);
    }
    std::string error;
    const std::vector<uint8_t> bytes = fonttools::writeBitmapFont(font, {}, &error);
    ASSERT_FALSE(bytes.empty()) << error;
    ASSERT_TRUE(javax::microedition::lcdui::BitmapFontSystem::initFromData(bytes.data(), bytes.size()));
    JavaPtr<Image> translucent = patternImage(30, 20, 0x7F);
    const Comparison result = drawBoth(
        [&](const JavaPtr<Graphics>& g) {
            g->setColor(0x5080B0);
            g->fillRect(0, 0, kWidth, kHeight);
            g->setColor(0xFFFF40);
            for (int row = 0; row < 6; ++row)
                g->drawString(jstr("Soft edges: the quick brown fox"), 4, 4 + row * 12,
                              Graphics::TOP | Graphics::LEFT);
            g->drawImage(translucent, 20, 100, 0);
            g->drawRegion(translucent, 3, 2, 20, 12, 5, 80, 100, 0);
            JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(64 * 32);
            for (int i = 0; i < 64 * 32; ++i)
                rgb->data[i] = static_cast<int>(static_cast<uint32_t>(i * 4 % 256) << 24 | 0xE02010u);
            g->drawRGB(rgb, 0, 64, 130, 120, 64, 32, true);
        },
        2);
    EXPECT_SAME_PICTURE(result);
    // The allowance is used: without translucent pixels apart this case would prove nothing about it.
    EXPECT_GT(result.apart, 0);
    testsupport::loadTestFont();
}

// The quiz's frames: the program in this process on the test bundle, its frame loop stepped by hand,
// every frame drawn through GL and, at the same moment, in software.
class QuizFramesAgainstSoftware : public ::testing::Test {
protected:
    static std::filesystem::path bundle() {
        const char* dir = std::getenv("QUILL_TEST_BUNDLE_DIR");
        return dir != nullptr ? dir : "";
    }
};

TEST_F(QuizFramesAgainstSoftware, MenuGameScreenAndParticlesInFlight) {
    ASSERT_FALSE(bundle().empty())
        << "QUILL_TEST_BUNDLE_DIR must name a test bundle (scripts/test.sh gives the asan build's)";
    testsupport::QuizDriver quiz(bundle());
    ASSERT_TRUE(quiz.waitForLoading());
    constexpr int kW = 320, kH = 480;
    std::vector<uint32_t> buffer(kW * kH);
    JavaPtr<Graphics> software = jnew<Graphics>();
    software->pixels = buffer.data();
    software->width = kW;
    software->height = kH;
    // The last GL frame against the picture painted now in software; no step runs in between.
    auto sameAsSoftware = [&](const char* what) {
        SCOPED_TRACE(what);
        JavaPtr<HookCanvas> canvas = quiz.canvas();
        ASSERT_TRUE(canvas);
        int w = 0, h = 0;
        const std::vector<uint32_t> frame = platform::EglOutput::lastFrame(w, h);
        ASSERT_EQ(w, kW);
        ASSERT_EQ(h, kH);
        std::fill(buffer.begin(), buffer.end(), 0xFF000000u);
        software->setClip(0, 0, kW, kH);
        canvas->paint(software);
        const Comparison c = compare(frame, buffer, kW, 0);
        EXPECT_EQ(c.beyond, 0) << c.beyond << " pixels differ, first " << c.first;
        EXPECT_GT(c.painted, kW * kH / 4);
    };
    auto settledIn = [&](int32_t state) {
        JavaPtr<HookCanvas> canvas = quiz.canvas();
        JavaPtr<LockObject> lock(canvas->startSync());
        return HookCanvas::game_state.load() == state && !canvas->fade_active && !canvas->fade_revealing &&
               canvas->count_particles() == 0 &&
               (state != HookCanvas::GAMESTATE_GAME_RUNNING ||
                (canvas->next_question_delay <= 0 && !canvas->question_slide_pending));
    };
    auto passUntil = [&](int32_t state) {
        for (int i = 0; i < 600 && !settledIn(state); ++i) {
            quiz.runPasses(1);
            quiz.waitForLoading();
        }
        ASSERT_TRUE(settledIn(state)) << "never settled in state " << state;
        // One more pass paints the settled picture (the first settled one may not have painted yet).
        const JavaPtr<HookCanvas> canvas = quiz.canvas();
        canvas->last_frame_repeats.store(false);
        quiz.runPasses(1);
    };

    passUntil(HookCanvas::GAMESTATE_MAIN_MENU);
    sameAsSoftware("main menu");
    quiz.tap(159, 200);  // New Test
    passUntil(HookCanvas::GAMESTATE_GAME_RUNNING);
    sameAsSoftware("game screen");

    // The right answer: a shower of particles from the finger, and the next question sliding in.
    JavaPtr<HookCanvas> canvas = quiz.canvas();
    int x = 0, y = 0;
    {
        JavaPtr<LockObject> lock(canvas->startSync());
        std::tie(x, y) = canvas->answerButtonCentre(canvas->correct_position - 1);
    }
    quiz.tap(x, y);
    int comparedWithParticles = 0;
    for (int pass = 0; pass < 12; ++pass) {
        const uint64_t presented = platform::EglOutput::framesPresented();
        quiz.runPasses(1);
        // A wipe's reveal moves with each paint: the software paint would show the next step of it.
        if (platform::EglOutput::framesPresented() == presented || canvas->fade_active ||
            canvas->fade_revealing)
            continue;
        if (canvas->count_particles() > 0) ++comparedWithParticles;
        sameAsSoftware("after the answer");
    }
    EXPECT_GT(comparedWithParticles, 3) << "too few frames with particles in flight were compared";
}

}  // namespace
