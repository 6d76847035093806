// A form end to end on the headless host: a small MIDlet makes a form of string, image and custom items
// current; the host's loop delivers taps and keys on its own thread (the platform main thread) while this
// thread runs the display's LCDUI ticks as the ticker thread does. Frames are read back as pixels and
// compared with golden PNGs drawn with the test font (QUILL_UPDATE_GOLDENS=1 rewrites them).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "forms/CustomItem.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/FormHooks.h"
#include "forms/ImageItem.h"
#include "forms/StringItem.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "platform/codecs/PngDecoder.h"
#include "platform/host/HeadlessHost.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/ScreenHooks.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/LCDUIHooks.h"
#include "shell/MIDlet.h"
#include "shell/ShellGlobals.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::Item;
using testsupport::jstr;

namespace {

using namespace std::chrono_literals;
// Only catches a hang: a loaded machine under the sanitizers can stall a thread for seconds.
constexpr auto kLimit = 60000ms;
constexpr int kWidth = 200;
constexpr int kHeight = 240;
constexpr int kTitleBar = testsupport::kTestFontHeight + 4;
constexpr int kGreen = 0x00AA00;
constexpr int kRed = 0xFF0000;

// Content 60 x 25, filled green.
class Swatch : public javax::microedition::lcdui::CustomItem {
    TESL_CLASS(Swatch, "formstest.Swatch", javax::microedition::lcdui::CustomItem)
public:
    Swatch() noexcept {}
    Swatch* TESLinvokeconstructor() {
        CustomItem::TESLinvokeconstructor(nullptr);
        return this;
    }
    int getMinContentWidth() override { return 60; }
    int getMinContentHeight() override { return 25; }
    int getPrefContentWidth(int) override { return 60; }
    int getPrefContentHeight(int) override { return 25; }
    using CustomItem::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override {
        g->setColor(kGreen);
        g->fillRect(0, 0, w, h);
    }
};

// Shows a form: a labelled text, a red 20 x 20 image, the swatch, then lines of text that make it scroll.
class FormMIDlet : public javax::microedition::midlet::MIDlet {
    TESL_CLASS(FormMIDlet, "formstest.FormMIDlet", javax::microedition::midlet::MIDlet)
public:
    FormMIDlet() noexcept {}
    FormMIDlet* TESLinvokeconstructor() {
        MIDlet::TESLinvokeconstructor();
        return this;
    }
    void startApp() override {
        JavaPtr<Form> shown = jnew<Form>(jstr("Form"));
        shown->append(jnew<javax::microedition::lcdui::StringItem>(jstr("Label"), jstr("Hello form")));
        JavaPtr<Image> red = Image::createImage(20, 20);
        JavaPtr<Graphics> g = red->getGraphics();
        g->setColor(kRed);
        g->fillRect(0, 0, 20, 20);
        shown->append(red);
        shown->append(jnew<Swatch>());
        for (int i = 0; i < 20; ++i) {
            JavaPtr<Item> line = jnew<javax::microedition::lcdui::StringItem>(
                nullptr, jstr(("line " + std::to_string(i)).c_str()));
            line->setLayout(Item::LAYOUT_NEWLINE_BEFORE);
            shown->append(line);
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_form = shown;
        }
        Display::getDisplay(nullptr)->setCurrent(JavaPtr<javax::microedition::lcdui::Displayable>(shown));
    }
    void pauseApp() override {}
    void destroyApp(bool) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_form = nullptr;
    }
    JavaPtr<Form> form() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_form;
    }

private:
    // Made on the host's thread, read by the test's.
    std::mutex m_mutex;
    JavaPtr<Form> m_form;
};

// The shell side of the host: the display over a screen buffer, the MIDlet started, input passed to the
// current canvas. Runs on the host's main thread.
class FormShell : public platform::HostEvents {
public:
    FormShell(platform::HeadlessHost& host, std::vector<uint32_t>& screenBuffer)
        : m_host(host), m_screenBuffer(screenBuffer) {}

    void launched() override {
        _outputWidth.store(kWidth);
        _outputHeight.store(kHeight);
        m_screenBuffer.assign(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
        _frameBufferPixels.store(m_screenBuffer.data());
        _frameBufferPixelCount.store(m_screenBuffer.size());
        Display::getDisplay(nullptr);
        JavaPtr<Graphics> g = jnew<Graphics>();
        g->pixels = m_screenBuffer.data();
        Display::setMasterGraphics(g);
        JavaPtr<FormMIDlet> midlet = jnew<FormMIDlet>();
        midlet->startApp();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_midlet = midlet;
    }
    void touchDown(int x, int y) override {
        if (auto canvas = Display::currentCanvas()) canvas->pointerPressed(x, y);
    }
    void touchDragged(int x, int y) override {
        if (auto canvas = Display::currentCanvas()) canvas->pointerDragged(x, y);
    }
    void touchUp(int x, int y) override {
        if (auto canvas = Display::currentCanvas()) canvas->pointerReleased(x, y);
    }
    void keyPressed(int keyCode) override {
        if (auto canvas = Display::currentCanvas()) canvas->keyPressed(keyCode);
    }
    void keyReleased(int keyCode) override {
        if (auto canvas = Display::currentCanvas()) canvas->keyReleased(keyCode);
    }
    void accelerated(double, double, double) override {}
    void sizeChanged(int, int) override {}
    void paused() override {}
    void resumed() override {}
    void terminating() override {
        JavaPtr<FormMIDlet> midlet;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            midlet = std::move(m_midlet);
        }
        if (midlet) midlet->destroyApp(true);
        m_host.quit(0);
    }

    JavaPtr<FormMIDlet> midlet() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_midlet;
    }

private:
    platform::HeadlessHost& m_host;
    std::vector<uint32_t>& m_screenBuffer;
    std::mutex m_mutex;
    JavaPtr<FormMIDlet> m_midlet;
};

class FormHeadlessConcurrencyTest : public formstest::FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        javax::microedition::lcdui::ScreenSize::width = kWidth;
        javax::microedition::lcdui::ScreenSize::height = kHeight;
        clock = std::make_unique<testsupport::SteppedClock>();
        DisplayableCoreCanvas::init();
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
        javax::microedition::lcdui::fillScreenHooks(hooks);
        javax::microedition::lcdui::fillFormHooks(hooks);
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        javax::microedition::midlet::MIDlet::quitInvoked.store(false);
        m_previousHost = platform::currentHost();
    }
    void TearDown() override {
        platform::setCurrentHost(m_previousHost);
        Display::tidyUpLCDUI();
        FormsFixture::TearDown();
        Form::tidyUp();
        _frameBufferPixels.store(nullptr);
        _frameBufferPixelCount.store(0);
        clock.reset();
    }

    // Waits until the host's thread has handled everything asked of it so far, then runs one LCDUI tick
    // here, as the ticker thread does, and waits for the frame it paints.
    static void settle(platform::HeadlessHost& host) {
        host.runOnMain([] {}, true);
        const uint64_t before = host.handedOverFrames();
        Display::tickLCDUI(20);
        const uint64_t painted = host.handedOverFrames();
        ASSERT_GT(painted, before);
        ASSERT_TRUE(host.waitForFrames(painted, kLimit));
    }

    static void expectGolden(const platform::HeadlessHost& host, const std::string& name) {
        const char* sourceDir = std::getenv("QUILL_TEST_SOURCE_DIR");
        ASSERT_NE(sourceDir, nullptr);
        const std::filesystem::path path = std::filesystem::path(sourceDir) / "tests/forms/golden" / name;
        const std::vector<uint8_t> shot = host.snapshotPNG();
        if (const char* update = std::getenv("QUILL_UPDATE_GOLDENS"); update && std::string(update) == "1") {
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(shot.data()), static_cast<std::streamsize>(shot.size()));
        }
        std::ifstream in(path, std::ios::binary);
        ASSERT_TRUE(in) << "no golden image " << path;
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        int32_t goldenWidth = 0;
        int32_t goldenHeight = 0;
        int32_t shotWidth = 0;
        int32_t shotHeight = 0;
        uint32_t* golden = platform::decodePNG(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(),
                                               &goldenWidth, &goldenHeight);
        uint32_t* taken = platform::decodePNG(shot.data(), shot.size(), &shotWidth, &shotHeight);
        ASSERT_NE(golden, nullptr);
        ASSERT_NE(taken, nullptr);
        EXPECT_EQ(goldenWidth, shotWidth);
        EXPECT_EQ(goldenHeight, shotHeight);
        if (goldenWidth == shotWidth && goldenHeight == shotHeight) {
            const size_t n = static_cast<size_t>(shotWidth) * static_cast<size_t>(shotHeight);
            size_t differing = 0;
            for (size_t i = 0; i < n; ++i) differing += golden[i] != taken[i] ? 1 : 0;
            EXPECT_EQ(differing, 0u) << name << " differs from the golden image";
        }
        std::free(golden);
        std::free(taken);
    }

    std::unique_ptr<testsupport::SteppedClock> clock;
    platform::Host* m_previousHost = nullptr;
};

// 0xRRGGBB of an output pixel of the latest frame, -1 for none.
int at(const platform::HeadlessHost& host, int x, int y) {
    const std::optional<uint32_t> p = host.pixel(x, y);
    return p ? static_cast<int>(*p) : -1;
}

// The host's loop on a thread of its own; asked to end and joined at the end of the scope.
class HostOnItsThread {
public:
    HostOnItsThread(platform::HeadlessHost& host, platform::HostEvents& events) : m_host(host) {
        platform::setCurrentHost(&m_host);
        m_thread = std::thread([this, &events] { m_host.run(events); });
    }
    ~HostOnItsThread() {
        m_host.quit(0);
        m_thread.join();
    }

private:
    platform::HeadlessHost& m_host;
    std::thread m_thread;
};

TEST_F(FormHeadlessConcurrencyTest, TapsAndKeysMoveTheHighlightAndScrollTheForm) {
    testsupport::Watchdog watchdog;
    platform::HostScreen screen;
    screen.widthPoints = kWidth;
    screen.heightPoints = kHeight;
    screen.scale = 1;
    platform::HeadlessHost headless(screen);
    std::vector<uint32_t> screenBuffer;
    FormShell shell(headless, screenBuffer);
    HostOnItsThread running(headless, shell);
    ASSERT_TRUE(headless.waitUntilRunning(kLimit));
    headless.runOnMain([] {}, true);
    JavaPtr<Form> form = shell.midlet()->form();
    ASSERT_TRUE(form);

    // The first tick makes the form current, lays it out and paints it.
    settle(headless);
    JavaPtr<Form::ItemArray> items = form->getItems();
    Item* text = items->data[0].get();
    Item* image = items->data[1].get();
    Item* swatch = items->data[2].get();
    ASSERT_EQ(form->getHighlightedItem().get(), text);
    auto screenY = [&](Item*, int contentY) {
        return kTitleBar + contentY - form->getFormCanvas()->getVerticalScrollPos();
    };
    // Borders are probed halfway down the left edge: the title bar's line covers the first row's top.
    EXPECT_EQ(at(headless, text->m_x, screenY(text, text->m_y + text->m_height / 2)),
              formstest::kHighlightedBorder);
    EXPECT_EQ(at(headless, kWidth - 30, screenY(text, text->m_y + 5)), formstest::kBackground);
    EXPECT_EQ(at(headless, image->m_x + 3 + 10, screenY(image, image->m_y + image->m_contentY + 10)), kRed);
    EXPECT_EQ(at(headless, 1, kHeight - testsupport::kTestFontHeight - 4), 0x666666) << "soft-key bar";
    expectGolden(headless, "form_first.png");

    // A tap on the swatch highlights it.
    ASSERT_TRUE(headless.tap(swatch->m_x + 20, screenY(swatch, swatch->m_y + 10)));
    settle(headless);
    EXPECT_EQ(form->getHighlightedItem().get(), swatch);
    EXPECT_EQ(at(headless, swatch->m_x, screenY(swatch, swatch->m_y + swatch->m_height / 2)),
              formstest::kHighlightedBorder);
    EXPECT_EQ(at(headless, swatch->m_x + 20, screenY(swatch, swatch->m_y + swatch->m_contentY + 10)), kGreen);
    EXPECT_EQ(at(headless, text->m_x, screenY(text, text->m_y + text->m_height / 2)), formstest::kBackground);

    // DOWN moves row by row; the last lines are below the view, so the form scrolls to bring them in.
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(headless.keyPress(DisplayableCoreCanvas::KEY_DOWN));
        ASSERT_TRUE(headless.keyRelease(DisplayableCoreCanvas::KEY_DOWN));
    }
    settle(headless);
    Item* last = items->data[items->length - 1].get();
    EXPECT_EQ(form->getHighlightedItem().get(), last);
    const int scrolled = form->getFormCanvas()->getVerticalScrollPos();
    EXPECT_GT(scrolled, 0);
    // The last line's top goes to the view's top as far as the content allows: the content's end.
    EXPECT_EQ(scrolled, form->getFormCanvas()->m_formHeight - form->getHeight());
    EXPECT_EQ(at(headless, last->m_x, screenY(last, last->m_y + last->m_height / 2)),
              formstest::kHighlightedBorder);
    expectGolden(headless, "form_scrolled.png");

    ASSERT_TRUE(headless.terminate());
    ASSERT_TRUE(headless.waitUntilFinished(kLimit));
}

}  // namespace
