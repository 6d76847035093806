#include "shell/GameCanvas.h"

#include <gtest/gtest.h>

#include "tests/shell/CanvasFixtures.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/FakeCanvas.h"
#include "tests/support/FakeMIDlet.h"

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::game::GameCanvas;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::game::GameCanvas, testsupport::FakeCanvas,
                       testsupport::FakeMIDlet);

namespace {

// Maps key 5 to FIRE, as a device with a keypad might.
class KeypadCanvas : public GameCanvas {
    TESL_CLASS(KeypadCanvas, "gamecanvastest.KeypadCanvas", GameCanvas)
public:
    KeypadCanvas() noexcept {}
    int getGameAction(int keyCode) override {
        return keyCode == 53 ? FIRE : GameCanvas::getGameAction(keyCode);
    }
};

class GameCanvasTest : public shelltest::CanvasFixture {};

TEST_F(GameCanvasTest, ClassIdAndCasts) {
    EXPECT_EQ(GameCanvas::TESLclassTypeID, static_cast<int32_t>(0xF054869D));
    JavaPtr<GameCanvas> canvas = jnew<GameCanvas>(true);
    EXPECT_NE(canvas->castAsTypeID(Canvas::TESLclassTypeID), nullptr);
    EXPECT_NE(canvas->castAsTypeID(javax::microedition::lcdui::Displayable::TESLclassTypeID), nullptr);
    EXPECT_EQ(canvas->getCorrespondingCanvas().get(), canvas.get());
    EXPECT_EQ(canvas->getKeyStates(), 0);
}

TEST_F(GameCanvasTest, EachGameKeySetsItsBitWhileHeld) {
    JavaPtr<GameCanvas> canvas = jnew<GameCanvas>(false);
    struct Case {
        int keyCode;
        int bit;
    };
    for (const Case& c :
         {Case{-1, GameCanvas::UP_PRESSED}, Case{-3, GameCanvas::LEFT_PRESSED},
          Case{-4, GameCanvas::RIGHT_PRESSED}, Case{-2, GameCanvas::DOWN_PRESSED},
          Case{-5, GameCanvas::FIRE_PRESSED}, Case{53, 0}, Case{-6, 0}, Case{Canvas::GAME_A, 0}}) {
        SCOPED_TRACE(c.keyCode);
        canvas->keyPressed(c.keyCode);
        EXPECT_EQ(canvas->getKeyStates(), c.bit);
        EXPECT_EQ(canvas->getKeyStates(), c.bit) << "reading does not clear";
        canvas->keyReleased(c.keyCode);
        EXPECT_EQ(canvas->getKeyStates(), 0);
    }
}

TEST_F(GameCanvasTest, HeldKeysCombineAndReleaseOneByOne) {
    JavaPtr<GameCanvas> canvas = jnew<GameCanvas>(false);
    canvas->keyPressed(-1);
    canvas->keyPressed(-5);
    EXPECT_EQ(canvas->getKeyStates(), 0x102);
    canvas->keyReleased(-1);
    EXPECT_EQ(canvas->getKeyStates(), 0x100);
    canvas->keyReleased(53);  // no game key: nothing changes
    EXPECT_EQ(canvas->getKeyStates(), 0x100);
    canvas->keyReleased(-5);
    EXPECT_EQ(canvas->getKeyStates(), 0);
}

TEST_F(GameCanvasTest, KeyStatesFollowTheCanvasesOwnGameActions) {
    JavaPtr<KeypadCanvas> canvas = jnew<KeypadCanvas>(false);
    canvas->keyPressed(53);
    EXPECT_EQ(canvas->getKeyStates(), GameCanvas::FIRE_PRESSED);
}

TEST_F(GameCanvasTest, GraphicsAndFlushAreCanvases) {
    JavaPtr<javax::microedition::lcdui::Graphics> g = installMasterGraphics();
    JavaPtr<GameCanvas> canvas = jnew<GameCanvas>(false);
    EXPECT_FALSE(canvas->getGraphics());
    display()->setCurrent(canvas);
    EXPECT_EQ(canvas->getGraphics().get(), g.get());
    canvas->flushGraphics();
    canvas->flushGraphics(0, 0, 1, 1);
    EXPECT_EQ(host.frameCount(), 2u);
}

}  // namespace
