#include "tools/resbuild/ArtCatalogue.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

namespace resbuild {

namespace {

// The palette of the whole bundle: deep blue backgrounds, light panels, warm accents.
constexpr uint32_t kNight = argb(255, 18, 32, 68);
constexpr uint32_t kDusk = argb(255, 44, 72, 140);
constexpr uint32_t kSky = argb(255, 92, 140, 214);
constexpr uint32_t kPaper = argb(255, 246, 242, 228);
constexpr uint32_t kPaperEdge = argb(255, 206, 196, 170);
constexpr uint32_t kButton = argb(255, 214, 228, 250);
constexpr uint32_t kButtonLight = argb(255, 250, 226, 150);
constexpr uint32_t kRight = argb(255, 150, 222, 160);
constexpr uint32_t kWrong = argb(255, 242, 160, 160);
constexpr uint32_t kGhost = argb(170, 150, 150, 160);
constexpr uint32_t kWhite = argb(255, 255, 255, 255);
constexpr uint32_t kAccent = argb(255, 250, 190, 60);
constexpr uint32_t kShadow = argb(90, 0, 0, 0);
// Words on the backdrop: white, and a pale blue for the smaller print; both read on every shade of it.
constexpr uint32_t kPale = argb(255, 214, 226, 248);
// The backdrop: a gradient from the top of the screen to the bar, and the darker bar below it.
constexpr uint32_t kFieldTop = argb(255, 22, 38, 84);
constexpr uint32_t kFieldBottom = argb(255, 50, 82, 152);
constexpr uint32_t kBarTop = argb(255, 20, 34, 74);
constexpr uint32_t kBarBottom = argb(255, 10, 20, 46);
constexpr uint32_t kBarEdge = argb(255, 74, 104, 172);
constexpr uint32_t kBubble = argb(34, 255, 255, 255);

constexpr uint32_t kMetals[3] = {argb(255, 196, 120, 60), argb(255, 200, 204, 214), argb(255, 246, 200, 50)};
constexpr uint32_t kTwinkles[5] = {argb(255, 255, 255, 255), argb(255, 120, 240, 120),
                                   argb(255, 250, 100, 100), argb(255, 255, 230, 90),
                                   argb(255, 110, 170, 255)};

// The screens whose backdrops the pictures are cut from.
enum Scene {
    kMainMenu,
    kMainMenuAboutPressed,
    kList,
    kAbout,
    kStats,
    kConfirm,
    kGame,
    kGameInfo,
    kPromoted,
    kDemoted,
    kComplete,
    kCompletePractice,
};

// Button symbols; a button picture's variant is its symbol, with kPressed for the pressed look.
enum Symbol {
    kSymbolHint,
    kSymbolSkip,
    kSymbolInfo,
    kSymbolMenu,
    kSymbolBack,
    kSymbolNext,
    kSymbolMore,
};
constexpr int kPressed = 16;

// The top of the loading animation on the splash, as the quiz draws it.
constexpr int kLoadingTop = 347;

// The statistics rows, drawn by the quiz 48 apart from (9, 99): tall enough for the label and the value
// under it, the eighth still clear of the bottom edge; wide enough that the longest label keeps off the
// right rim, yet inside the column the side column starts at 240.
constexpr int kStatsRowWidth = 227;
constexpr int kStatsRowHeight = 40;
// The little stars of the statistics, centred by the quiz on (139 + k x their width, 454).
constexpr int kLittleStar = 24;
// A level badge: the ring on the left, what the next star asks on the right. The quiz centres it on
// (120, 170) when promoted and on (120, 425) when demoted, so it must stay well inside 96 rows.
constexpr int kBadgeWidth = 224;
constexpr int kBadgeHeight = 96;
constexpr double kBadgeRing = 46;
constexpr const char* kSymbolLabels[] = {"Hint", "Skip", "Info", "Menu", "Back", "Next", "More"};

const std::vector<PictureSpec> kPictures = {
    {9, 157, "TWINKLE0_WHITE", 16, 16, PictureKind::Twinkle, 0},
    {10, 158, "TWINKLE0_GREEN", 16, 16, PictureKind::Twinkle, 1},
    {11, 159, "TWINKLE0_RED", 16, 16, PictureKind::Twinkle, 2},
    {12, 160, "TWINKLE0_YELLOW", 16, 16, PictureKind::Twinkle, 3},
    {13, 161, "TWINKLE0_BLUE", 16, 16, PictureKind::Twinkle, 4},
    {14, 162, "TWINKLE1_WHITE", 16, 16, PictureKind::Twinkle, 8},
    {15, 163, "TWINKLE1_GREEN", 16, 16, PictureKind::Twinkle, 9},
    {16, 164, "TWINKLE1_RED", 16, 16, PictureKind::Twinkle, 10},
    {17, 165, "TWINKLE1_YELLOW", 16, 16, PictureKind::Twinkle, 11},
    {18, 166, "TWINKLE1_BLUE", 16, 16, PictureKind::Twinkle, 12},
    {19, 167, "TWINKLE2_WHITE", 16, 16, PictureKind::Twinkle, 16},
    {20, 168, "TWINKLE2_GREEN", 16, 16, PictureKind::Twinkle, 17},
    {21, 169, "TWINKLE2_RED", 16, 16, PictureKind::Twinkle, 18},
    {22, 170, "TWINKLE2_YELLOW", 16, 16, PictureKind::Twinkle, 19},
    {23, 171, "TWINKLE2_BLUE", 16, 16, PictureKind::Twinkle, 20},
    {24, 172, "TWINKLE3_WHITE", 16, 16, PictureKind::Twinkle, 24},
    {25, 173, "TWINKLE3_GREEN", 16, 16, PictureKind::Twinkle, 25},
    {26, 174, "TWINKLE3_RED", 16, 16, PictureKind::Twinkle, 26},
    {27, 175, "TWINKLE3_YELLOW", 16, 16, PictureKind::Twinkle, 27},
    {28, 176, "TWINKLE3_BLUE", 16, 16, PictureKind::Twinkle, 28},
    {29, 177, "MENU_BG_0", 320, 17, PictureKind::Backdrop, kMainMenu, 0, 0},
    {30, 178, "MENU_BG_1", 320, 63, PictureKind::Backdrop, kMainMenu, 0, 17},
    {31, 179, "MENU_BG_2", 320, 315, PictureKind::Backdrop, kMainMenu, 0, 80},
    {32, 180, "MENU_BG_3", 320, 85, PictureKind::Backdrop, kMainMenu, 0, 395},
    {33, 181, "THREE_BOXES_0", 66, 22, PictureKind::Boxes, 0},
    {34, 182, "THREE_BOXES_1", 66, 22, PictureKind::Boxes, 1},
    {35, 183, "THREE_BOXES_2", 66, 22, PictureKind::Boxes, 2},
    {36, 184, "THREE_BOXES_3", 66, 22, PictureKind::Boxes, 3},
    {37, 185, "ONE_BOX_ON", 22, 22, PictureKind::Boxes, 11},
    {38, 186, "ONE_BOX_OFF", 22, 22, PictureKind::Boxes, 10},
    {39, 187, "PRACTICE_MENU_HEADER", 320, 63, PictureKind::Backdrop, kList, 0, 17},
    {40, 188, "PRACTICE_MENU_FOOTER", 320, 85, PictureKind::Backdrop, kList, 0, 395},
    {41, 189, "PRACTICE_MENU_BACK_OFF", 79, 85, PictureKind::CornerButton, kSymbolBack, 241, 395, kList},
    {42, 190, "PRACTICE_MENU_BACK_ON", 79, 85, PictureKind::CornerButton, kSymbolBack | kPressed, 241, 395,
     kList},
    {44, 191, "CHOOSER_BG_2", 320, 315, PictureKind::Backdrop, kList, 0, 80},
    {45, 192, "ABOUT_BG_0", 240, 17, PictureKind::Backdrop, kAbout, 0, 0},
    {46, 193, "ABOUT_BG_1", 240, 63, PictureKind::Backdrop, kAbout, 0, 17},
    {47, 194, "ABOUT_BG_2", 240, 400, PictureKind::Backdrop, kAbout, 0, 80},
    {48, 195, "ABOUT_BG_3", 80, 80, PictureKind::Backdrop, kAbout, 240, 0},
    {49, 196, "ABOUT_BG_4", 80, 315, PictureKind::Backdrop, kAbout, 240, 80},
    {50, 197, "ABOUT_BG_5", 80, 85, PictureKind::Backdrop, kAbout, 240, 395},
    {52, 198, "STATS_BG_0", 240, 17, PictureKind::Backdrop, kStats, 0, 0},
    {53, 199, "STATS_BG_1", 240, 63, PictureKind::Backdrop, kStats, 0, 17},
    {54, 200, "STATS_BG_2", 240, 400, PictureKind::Backdrop, kStats, 0, 80},
    {55, 201, "STATS_BG_3", 80, 80, PictureKind::Backdrop, kStats, 240, 0},
    {56, 202, "STATS_BG_4", 80, 315, PictureKind::Backdrop, kStats, 240, 80},
    {57, 203, "STATS_BG_5", 80, 85, PictureKind::Backdrop, kStats, 240, 395},
    {58, 204, "STATS_BOX_OVERLAY", kStatsRowWidth, kStatsRowHeight, PictureKind::Panel, 0},
    {60, 205, "STATS_STAR_BRONZE", kLittleStar, kLittleStar, PictureKind::Star, 0},
    {61, 206, "STATS_STAR_SILVER", kLittleStar, kLittleStar, PictureKind::Star, 1},
    {62, 207, "STATS_STAR_GOLD", kLittleStar, kLittleStar, PictureKind::Star, 2},
    {63, 208, "CONFIRM_BG_0", 320, 79, PictureKind::Backdrop, kConfirm, 0, 0},
    {64, 209, "CONFIRM_BG_1", 41, 317, PictureKind::Backdrop, kConfirm, 0, 79},
    {65, 210, "CONFIRM_BG_2", 238, 317, PictureKind::Backdrop, kConfirm, 41, 79},
    {66, 211, "CONFIRM_BG_3", 41, 317, PictureKind::Backdrop, kConfirm, 279, 79},
    {67, 212, "CONFIRM_BG_4", 320, 84, PictureKind::Backdrop, kConfirm, 0, 396},
    {69, 213, "ICON_ABOUT", 80, 85, PictureKind::Backdrop, kMainMenu, 0, 395},
    {70, 214, "ICON_CLICK_ABOUT", 80, 85, PictureKind::Backdrop, kMainMenuAboutPressed, 0, 395},
    // A row taller than the title panel it sits under: the timer column starts at 109, so no row is left
    // undrawn between them.
    {71, 215, "GAME_BG_0", 81, 109, PictureKind::Backdrop, kGame, 0, 0},
    {72, 216, "GAME_BG_1", 239, 108, PictureKind::Panel, 1, 81, 0, kGame},
    // The timer column and the answer area reach one row into the bar: the explanation screen draws no
    // bar over them, and the count badges, centred on the bar's top, would leave their tops there.
    {73, 217, "GAME_BG_2", 80, 287, PictureKind::Backdrop, kGame, 0, 109},
    {74, 218, "GAME_BG_3", 240, 288, PictureKind::Backdrop, kGame, 80, 108},
    {75, 219, "GAME_BG_4", 320, 85, PictureKind::Backdrop, kGame, 0, 395},
    {77, 220, "GAME_INFOBOX", 230, 290, PictureKind::Panel, 2},
    {78, 221, "ANSWER_BUTTON_NORMAL", 220, 66, PictureKind::Button, 0},
    {79, 222, "ANSWER_BUTTON_CLICK", 220, 66, PictureKind::Button, 1},
    {80, 223, "ANSWER_BUTTON_CORRECT", 220, 66, PictureKind::Button, 2},
    {81, 224, "ANSWER_BUTTON_WRONG", 220, 66, PictureKind::Button, 3},
    {82, 225, "ANSWER_BUTTON_GHOSTED", 220, 66, PictureKind::Button, 4},
    {83, 226, "WIDE_BUTTON_NORMAL", 300, 66, PictureKind::Button, 0},
    {84, 227, "WIDE_BUTTON_CLICK", 300, 66, PictureKind::Button, 1},
    {85, 228, "BUTTON_HINT", 59, 61, PictureKind::BarButton, kSymbolHint},
    {86, 229, "BUTTON_SKIP", 59, 61, PictureKind::BarButton, kSymbolSkip},
    {87, 230, "BUTTON_INFO", 59, 61, PictureKind::BarButton, kSymbolInfo},
    {88, 231, "BUTTON_MENU", 59, 61, PictureKind::BarButton, kSymbolMenu},
    {89, 232, "BUTTON_MENU_ALT", 59, 61, PictureKind::BarButton, kSymbolMenu},
    {90, 233, "TIMER_DOT", 9, 9, PictureKind::Dot, 0},
    {91, 234, "GENERIC_0", 81, 108, PictureKind::Panel, 3, 0, 0, kGame},
    {92, 235, "GENERIC_0_LEVEL", 81, 108, PictureKind::Panel, 4, 0, 0, kGame},
    {93, 236, "ANSWER_RIGHT", 48, 48, PictureKind::Tick, 0},
    {94, 237, "ANSWER_WRONG", 48, 48, PictureKind::Cross, 0},
    {95, 238, "ICON_NUMBER_0", 22, 22, PictureKind::Count, 0},
    {96, 239, "ICON_NUMBER_1", 22, 22, PictureKind::Count, 1},
    {97, 240, "ICON_NUMBER_2", 22, 22, PictureKind::Count, 2},
    {98, 241, "ICON_NUMBER_3", 22, 22, PictureKind::Count, 3},
    {99, 242, "ICON_NUMBER_4", 22, 22, PictureKind::Count, 4},
    {100, 243, "ICON_NUMBER_5", 22, 22, PictureKind::Count, 5},
    {101, 244, "ICON_NUMBER_6", 22, 22, PictureKind::Count, 6},
    {102, 245, "ICON_NUMBER_7", 22, 22, PictureKind::Count, 7},
    {103, 246, "ICON_NUMBER_8", 22, 22, PictureKind::Count, 8},
    {104, 247, "ICON_NUMBER_9", 22, 22, PictureKind::Count, 9},
    {105, 248, "ICON_NUMBER_FLASH", 22, 22, PictureKind::Count, 10},
    {106, 249, "WEB_BASE_BACK_ICON_CLICK", 59, 61, PictureKind::BarButton, kSymbolBack},
    {107, 250, "WEB_BASE_STRIP", 320, 84, PictureKind::Backdrop, kGameInfo, 0, 396},
    {108, 251, "COMPLETE_BG", 320, 480, PictureKind::Screen, kComplete},
    {109, 252, "COMPLETE_BG_PRACTICE", 320, 480, PictureKind::Screen, kCompletePractice},
    {110, 253, "DEMOTED_BG", 320, 480, PictureKind::Screen, kDemoted},
    {111, 254, "PROMOTED_BG", 320, 480, PictureKind::Screen, kPromoted},
    {112, 255, "RANKING_BUTTON_NORMAL", 79, 85, PictureKind::CornerButton, kSymbolNext},
    {113, 256, "RANKING_BUTTON_CLICK", 79, 85, PictureKind::CornerButton, kSymbolNext | kPressed},
    {114, 257, "RANKING_BUTTON_MENU_CLICK", 79, 85, PictureKind::CornerButton, kSymbolMenu | kPressed},
    {115, 258, "UNITS_BUTTON_NORMAL", 81, 85, PictureKind::CornerButton, kSymbolMore},
    {116, 259, "UNITS_BUTTON_CLICK", 81, 85, PictureKind::CornerButton, kSymbolMore | kPressed},
    {117, 260, "BIG_STAR_BRONZE", 64, 64, PictureKind::Star, 0},
    {118, 261, "BIG_STAR_SILVER", 64, 64, PictureKind::Star, 1},
    {119, 262, "BIG_STAR_GOLD", 64, 64, PictureKind::Star, 2},
    {120, 263, "RANKING_1", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 1},
    {121, 264, "RANKING_2", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 2},
    {122, 265, "RANKING_3", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 3},
    {123, 266, "RANKING_4", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 4},
    {124, 267, "RANKING_5", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 5},
    {125, 268, "RANKING_6", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 6},
    {126, 269, "RANKING_7", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 7},
    {127, 270, "RANKING_8", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 8},
    {128, 271, "RANKING_9", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 9},
    {129, 272, "RANKING_10", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 10},
    {130, 273, "RANKING_11", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 11},
    {131, 274, "RANKING_12", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 12},
    {132, 275, "RANKING_13", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 13},
    {133, 276, "RANKING_14", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 14},
    {134, 277, "RANKING_15", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 15},
    {135, 278, "RANKING_16", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 16},
    {136, 279, "RANKING_17", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 17},
    {137, 280, "RANKING_18", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 18},
    {138, 281, "RANKING_19", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 19},
    {139, 282, "RANKING_20", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 20},
    {140, 283, "RANKING_21", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 21},
    {141, 284, "RANKING_22", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 22},
    {142, 285, "RANKING_23", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 23},
    {143, 286, "RANKING_24", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 24},
    {144, 287, "RANKING_25", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 25},
    {145, 288, "RANKING_26", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 26},
    {146, 289, "RANKING_27", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 27},
    {147, 290, "RANKING_28", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 28},
    {148, 291, "RANKING_29", kBadgeWidth, kBadgeHeight, PictureKind::Ranking, 29},
};

// Screen points of the soft bubbles behind every screen, in the base layout: one set for all, so the
// pieces of any screen continue each other.
struct Bubble {
    double x, y, r;
};
constexpr Bubble kBubbles[] = {{36, 52, 30},   {262, 34, 24}, {292, 168, 46}, {58, 238, 52},  {196, 318, 40},
                               {150, 142, 28}, {22, 372, 26}, {108, 440, 32}, {276, 452, 36}, {232, 232, 22}};

using Align = ArtLettering::Align;

// Base-layout coordinates measured on the screen, turned into the pixels of one picture: a picture
// placed at (left, top) at scale s shows the screen point (x, y) at ((x - left) s, (y - top) s).
struct Painter {
    ArtCanvas& canvas;
    double s;
    double left;
    double top;
    // Null for pictures without words.
    ArtLettering* letters;

    double px(double x) const { return (x - left) * s; }
    double py(double y) const { return (y - top) * s; }
    int pixels(double size) const { return static_cast<int>(std::lround(size * s)); }

    void box(double x, double y, double w, double h, double r, uint32_t c) {
        canvas.roundedBox(px(x), py(y), w * s, h * s, r * s, c);
    }
    void disc(double x, double y, double r, uint32_t c) { canvas.disc(px(x), py(y), r * s, c); }
    void soft(double x, double y, double r, uint32_t c) { canvas.softDisc(px(x), py(y), r * s, c); }
    void ring(double x, double y, double r, double t, uint32_t c) {
        canvas.ring(px(x), py(y), r * s, t * s, c);
    }
    void star(double x, double y, double o, double i, int n, uint32_t c) {
        canvas.star(px(x), py(y), o * s, i * s, n, c);
    }
    void line(double x0, double y0, double x1, double y1, double t, uint32_t c) {
        canvas.line(px(x0), py(y0), px(x1), py(y1), t * s, c);
    }
    void tick(double x, double y, double size, double t, uint32_t c) {
        canvas.tick(px(x), py(y), size * s, t * s, c);
    }
    void cross(double x, double y, double size, double t, uint32_t c) {
        canvas.cross(px(x), py(y), size * s, t * s, c);
    }
    // One line of words with its top at y, in a room `room` wide; words that do not fit stop the build.
    void text(const std::string& words, double x, double y, int size, bool bold, uint32_t colour, Align align,
              double room) {
        if (letters->width(words, pixels(size), bold) > room * s)
            throw std::runtime_error("\"" + words + "\" is wider than its place");
        letters->draw(canvas, words, px(x), py(y), pixels(size), bold, colour, align);
    }
    // Words wrapped to width, lines `pitch` apart from y, none below bottom; returns the next line's top.
    double paragraph(const std::string& words, double x, double y, double width, int size, double pitch,
                     bool bold, uint32_t colour, double bottom, Align align = Align::Left) {
        for (const std::string& line :
             letters->wrap(words, pixels(size), bold, static_cast<int>(width * s))) {
            if (y + size > bottom) throw std::runtime_error("\"" + words + "\" runs out of its place");
            text(line, x, y, size, bold, colour, align, width);
            y += pitch;
        }
        return y;
    }
};

int barTopOf(int scene) {
    switch (scene) {
        case kConfirm:
            return 396;
        case kStats:
            return 480;  // the rows reach down past the bar's top: the menu button has a well of its own
        case kDemoted:
            return 340;  // the level's badge sits on the bar, beside the continue button
        case kPromoted:
        case kComplete:
        case kCompletePractice:
            return 480;  // whole-screen pictures: no bar
        default:
            return 395;
    }
}

// The backdrop every screen shares, painted from screen rows and screen points only, so that any two
// pieces cut from it continue each other across the line where they meet.
void paintField(Painter& p, int barTop) {
    ArtCanvas& canvas = p.canvas;
    const int scale = static_cast<int>(p.s);
    const int barRow = barTop * scale, lastRow = 480 * scale - 1;
    const int firstRow = static_cast<int>(p.top) * scale;
    for (int r = 0; r < canvas.height(); ++r) {
        const int row = firstRow + r;
        const uint32_t colour =
            row < barRow ? mixColour(kFieldTop, kFieldBottom, row, barRow - 1)
                         : mixColour(kBarTop, kBarBottom, row - barRow, std::max(1, lastRow - barRow));
        canvas.fillRect(0, r, canvas.width(), 1, colour);
    }
    for (const Bubble& b : kBubbles) p.soft(b.x, b.y, b.r, kBubble);
    // The bar's top edge is a line of its own, drawn over the bubbles.
    if (barTop < 480) canvas.fillRect(0, barRow - firstRow, canvas.width(), scale, kBarEdge);
}

void drawButton(Painter& p, double x, double y, double w, double h, uint32_t colour) {
    p.box(x + 1, y + 2, w - 1, h - 2, 14, kShadow);
    p.box(x, y, w - 1, h - 2, 14, colour);
    p.box(x + 4, y + 3, w - 9, (h - 2) / 2 - 2, 11, argb(50, 255, 255, 255));
}

// A button's symbol centred on (cx, cy); k scales it.
void drawSymbol(Painter& p, double cx, double cy, int symbol, uint32_t colour, double k) {
    auto line = [&](double x0, double y0, double x1, double y1, double t) {
        p.line(cx + k * x0, cy + k * y0, cx + k * x1, cy + k * y1, k * t, colour);
    };
    switch (symbol) {
        case kSymbolHint:  // a lit bulb with a screw base
            for (int i = -1; i <= 1; ++i) {
                const double angle = -M_PI / 2 + i * M_PI / 3;
                line(12.5 * std::cos(angle), -6 + 12.5 * std::sin(angle), 16 * std::cos(angle),
                     -6 + 16 * std::sin(angle), 2.5);
            }
            p.disc(cx, cy - 6 * k, 9 * k, colour);
            p.box(cx - 5 * k, cy, 10 * k, 6 * k, 2 * k, colour);
            p.box(cx - 5 * k, cy + 7 * k, 10 * k, 2.5 * k, 1.2 * k, colour);
            p.box(cx - 5 * k, cy + 10.5 * k, 10 * k, 2.5 * k, 1.2 * k, colour);
            p.disc(cx, cy + 14.5 * k, 2 * k, colour);
            p.disc(cx - 3.5 * k, cy - 9 * k, 2.2 * k, argb(200, 255, 255, 255));
            break;
        case kSymbolSkip:  // two chevrons up to a bar, on to the next question
            for (double x : {-13.0, -4.0}) {
                line(x, -9, x + 8, 0, 4);
                line(x + 8, 0, x, 9, 4);
            }
            line(10, -10, 10, 10, 4);
            break;
        case kSymbolInfo:  // a dot over a bar
            p.disc(cx, cy - 10 * k, 3.5 * k, colour);
            line(0, -2, 0, 12, 5);
            break;
        case kSymbolBack:  // an arrow pointing left
            line(-12, 0, 12, 0, 4);
            line(-12, 0, -3, -9, 4);
            line(-12, 0, -3, 9, 4);
            break;
        case kSymbolNext:  // an arrow pointing right
            line(-12, 0, 12, 0, 4);
            line(12, 0, 3, -9, 4);
            line(12, 0, 3, 9, 4);
            break;
        case kSymbolMore:  // a stack of cards: another section
            for (int i = 0; i < 3; ++i) {
                p.box(cx + k * (-14 + 3 * i), cy + k * (-12 + 3 * i), 22 * k, 18 * k, 3 * k, colour);
                p.box(cx + k * (-12.5 + 3 * i), cy + k * (-10.5 + 3 * i), 19 * k, 15 * k, 2 * k,
                      i == 2 ? kWhite : kButton);
            }
            break;
        default:  // menu: three bars
            for (int i = -1; i <= 1; ++i) line(-11, 8 * i, 11, 8 * i, 4);
            break;
    }
}

// One 59 x 61 bar button, top-left at (x, y): its symbol over its name.
void drawBarButton(Painter& p, double x, double y, int symbol, uint32_t face) {
    drawButton(p, x, y, 59, 61, face);
    drawSymbol(p, x + 29.5, y + 23, symbol, kNight, 0.72);
    p.text(kSymbolLabels[symbol], x + 29.5, y + 41, 12, true, kNight, Align::Centre, 55);
}

// A corner button picture w x 85, top-left at (x, y); the face is inset 4 across and 8 down.
void drawCornerButton(Painter& p, double x, double y, double w, int symbol, uint32_t face) {
    drawButton(p, x + 4, y + 8, w - 8, 69, face);
    drawSymbol(p, x + w / 2, y + 33, symbol, kNight, 0.85);
    p.text(kSymbolLabels[symbol], x + w / 2, y + 51, 13, true, kNight, Align::Centre, w - 12);
}

void drawAboutIcon(Painter& p, bool pressed) {
    p.disc(40, 431, 23, pressed ? kButtonLight : kButton);
    p.ring(40, 431, 23, 2.5, kNight);
    drawSymbol(p, 40, 432, kSymbolInfo, kNight, 0.8);
    p.text("About", 40, 457, 12, true, kWhite, Align::Centre, 78);
}

void drawUpDownDisc(Painter& p, double cx, double cy, double r, bool up) {
    p.disc(cx, cy, r, up ? kRight : kWrong);
    const double d = up ? -1 : 1;
    p.line(cx, cy - d * r * 0.5, cx, cy + d * r * 0.5, r * 0.22, kNight);
    p.line(cx, cy + d * r * 0.5, cx - r * 0.42, cy + d * r * 0.08, r * 0.22, kNight);
    p.line(cx, cy + d * r * 0.5, cx + r * 0.42, cy + d * r * 0.08, r * 0.22, kNight);
}

const char* const kAboutWhat =
    "Quill is a quiz on English grammar: plurals, articles, tenses, prepositions, punctuation and "
    "more.";
const char* const kAboutHow =
    "Tap the right one of three answers. New Test asks questions from every topic: right answers take "
    "you up through 30 levels, too many wrong ones take you down. Three right in a row earn a hint, "
    "which greys out a wrong answer; five earn a skip. Levels 8, 16 and 24 earn a bronze, a silver and a "
    "gold star. Info explains the answer. Practice asks the questions of one section in order.";
const char* const kAboutWho =
    "The questions and pictures are \xA9 Marrowby. You may use them for your own study and in class; "
    "ask before you copy them anywhere else.";

// Everything of a screen that is part of its backdrop: the field, the words and the unpressed look
// of every control the quiz does not draw itself.
void paintScene(Painter& p, int scene) {
    paintField(p, barTopOf(scene));
    switch (scene) {
        case kMainMenu:
        case kMainMenuAboutPressed:
            p.text("Quill", 160, 18, 36, true, kWhite, Align::Centre, 300);
            p.text("English grammar quiz", 160, 58, 15, false, kPale, Align::Centre, 300);
            // The four menu buttons, centred one pixel left of the middle where the pressed look lands.
            for (int i = 0; i < 4; ++i) drawButton(p, 49, 97 + 70 * i, 220, 66, kButton);
            drawAboutIcon(p, scene == kMainMenuAboutPressed);
            break;
        case kList:
            p.paragraph("Pick a topic, then a section to practise.", 12, 420, 222, 14, 18, false, kPale, 476);
            drawBarButton(p, 251, 403, kSymbolMenu, kButton);
            break;
        case kAbout: {
            p.text("About", 160, 30, 30, true, kWhite, Align::Centre, 300);
            drawBarButton(p, 251, 403, kSymbolMenu, kButton);
            // One card across both columns, above the bar.
            p.box(8, 88, 304, 300, 12, kPaperEdge);
            p.box(10, 90, 300, 296, 10, kPaper);
            double y = 96;
            const struct {
                const char* heading;
                const char* words;
            } parts[] = {
                {"What it is", kAboutWhat}, {"How to play", kAboutHow}, {"Who may use it", kAboutWho}};
            for (const auto& part : parts) {
                p.text(part.heading, 20, y, 15, true, kNight, Align::Left, 280);
                y = p.paragraph(part.words, 20, y + 17, 280, 13, 15, false, kNight, 382) + 4;
            }
            // The quiz writes its version 2 above the bottom edge, at 15: a tab rising from the edge
            // carries it.
            p.box(9, 456, 48, 40, 7, kPaperEdge);
            p.box(10, 457, 46, 40, 6, kPaper);
            break;
        }
        case kStats: {
            p.text("Statistics", 160, 30, 30, true, kWhite, Align::Centre, 300);
            // The rows' faces: the quiz's row picture is only their rim, so the last row can show the
            // stars still to be earned as grey places, each covered by its star once it is earned.
            for (int i = 0; i < 8; ++i) {
                p.box(9, 99 + 48 * i, kStatsRowWidth, kStatsRowHeight, 6, kPaperEdge);
                p.box(11, 101 + 48 * i, kStatsRowWidth - 4, kStatsRowHeight - 4, 4, kPaper);
            }
            for (int k = 0; k < 3; ++k)
                p.star(139 + kLittleStar * k, 454, kLittleStar * 0.4, kLittleStar * 0.4 * 0.19 / 0.46, 5,
                       kPaperEdge);
            // Beside the rows, which star each level brings.
            p.box(244, 99, 70, 188, 8, kPaperEdge);
            p.box(246, 101, 66, 184, 6, kPaper);
            p.text("Stars", 279, 106, 15, true, kNight, Align::Centre, 64);
            for (int k = 0; k < 3; ++k) {
                const double cy = 142 + 56 * k;
                p.star(279, cy + 1, 14, 5.8, 5, kShadow);
                p.star(279, cy, 13.5, 5.6, 5, kMetals[k]);
                p.text("Level " + std::to_string(8 + 8 * k), 279, cy + 17, 13, true, kNight, Align::Centre,
                       64);
            }
            // The menu button's well, clear of the bottom edge.
            p.box(244, 398, 72, 72, 12, kBarEdge);
            p.box(245, 399, 70, 70, 11, kBarBottom);
            drawBarButton(p, 251, 403, kSymbolMenu, kButton);
            break;
        }
        case kConfirm:
            p.text("New Test", 160, 26, 30, true, kWhite, Align::Centre, 300);
            // The sheet under the quiz's three lines (136 down, 16 apart), wider than the widest.
            p.box(14, 124, 292, 70, 12, kPaperEdge);
            p.box(16, 126, 288, 66, 10, kPaper);
            for (int i = 0; i < 2; ++i) drawButton(p, 49, 237 + 70 * i, 220, 66, kButton);
            break;
        case kGame:
            // The unpressed hint, skip, info and menu buttons, 80 apart from (11, 405), where the
            // pressed pictures land.
            for (int i = 0; i < 4; ++i) drawBarButton(p, 11 + 80 * i, 405, i, kButton);
            break;
        case kGameInfo:
            p.paragraph("The answer explained. Back returns to the question.", 12, 420, 222, 14, 18, false,
                        kPale, 476);
            drawBarButton(p, 251, 403, kSymbolBack, kButton);
            break;
        case kPromoted:
            p.text("Promoted!", 160, 34, 38, true, kWhite, Align::Centre, 300);
            // The quiz puts the level's badge, with the next star it asks for, across (8..232, 122..218);
            // the arrow stands clear of it.
            drawUpDownDisc(p, 276, 170, 30, true);
            p.text("You have moved up a level.", 160, 246, 18, true, kWhite, Align::Centre, 300);
            p.paragraph("Answer well to keep climbing, all the way to level 30.", 160, 276, 280, 15, 19,
                        false, kPale, 318, Align::Centre);
            break;
        case kDemoted:
            p.text("Demoted", 160, 34, 38, true, kWhite, Align::Centre, 300);
            drawUpDownDisc(p, 160, 142, 38, false);
            p.text("You have moved down a level.", 160, 204, 18, true, kWhite, Align::Centre, 300);
            p.paragraph("Too many of your answers at this level were wrong. Take your time and try again.",
                        160, 234, 280, 15, 19, false, kPale, 300, Align::Centre);
            // The quiz puts the level's badge across (8..232, 377..473), on the bar under these words.
            p.text("Your level now:", 16, 350, 17, true, kWhite, Align::Left, 220);
            break;
        case kComplete:
            p.text("Test complete!", 160, 34, 36, true, kWhite, Align::Centre, 300);
            p.star(160, 166, 66, 28, 5, kShadow);
            p.star(160, 162, 64, 27, 5, kMetals[2]);
            p.text("You have passed all 30 levels.", 160, 250, 18, true, kWhite, Align::Centre, 300);
            p.paragraph("Well done! This test is over: New Test on the menu starts another.", 160, 280, 280,
                        15, 19, false, kPale, 345, Align::Centre);
            p.text("Back to the menu", 232, 428, 16, true, kWhite, Align::Right, 220);
            drawCornerButton(p, 241, 395, 79, kSymbolMenu, kButton);
            break;
        case kCompletePractice:
            p.text("Section complete!", 160, 30, 34, true, kWhite, Align::Centre, 300);
            p.disc(160, 112, 30, kRight);
            p.tick(160, 112, 34, 7, kNight);
            p.text("Your score", 160, 160, 18, true, kWhite, Align::Centre, 300);
            // The quiz writes the score in white, centred on (160, 225).
            p.box(90, 192, 140, 66, 14, kPale);
            p.box(92, 194, 136, 62, 12, kNight);
            p.paragraph("Right answers, out of all the questions in this section.", 160, 268, 280, 15, 19,
                        false, kPale, 330, Align::Centre);
            p.paragraph("Practise another section, or go back to the menu.", 12, 418, 142, 14, 18, false,
                        kPale, 478);
            drawCornerButton(p, 241, 395, 79, kSymbolMenu, kButton);
            break;
        default:
            break;
    }
}

}  // namespace

const std::vector<PictureSpec>& ArtCatalogue::pictures() {
    return kPictures;
}

ArtCanvas ArtCatalogue::draw(const PictureSpec& spec, int scale, bool flat, const std::string& fontPath) {
    int w = spec.width, h = spec.height;
    ArtCanvas canvas(w * scale, h * scale);
    if (flat) {
        // One opaque colour per picture, so that a probe of a drawn screen tells which picture landed
        // there: the red byte alone differs for every low id (7 and 200 share no factor).
        const uint32_t id = static_cast<uint32_t>(spec.lowId);
        canvas.fill(argb(255, 40 + (id * 7) % 200, 60 + (static_cast<uint32_t>(spec.kind) * 9) % 160,
                         40 + (id * 31) % 190));
        return canvas;
    }
    ArtLettering letters(fontPath);
    const double s = scale;
    Painter g{canvas, s, 0, 0, &letters};
    Painter placed{canvas, s, static_cast<double>(spec.left), static_cast<double>(spec.top), &letters};
    if (spec.backdrop >= 0) paintField(placed, barTopOf(spec.backdrop));
    switch (spec.kind) {
        case PictureKind::Backdrop:
            paintScene(placed, spec.variant);
            break;
        case PictureKind::Screen:
            paintScene(g, spec.variant);
            break;
        case PictureKind::Panel: {
            // Statistics row, question box, explanation card, practice and test title panels.
            const uint32_t fills[5] = {kPaper, kPaper, kPaper, argb(255, 34, 58, 120),
                                       argb(255, 150, 68, 18)};
            // The statistics rows are tight round their words: small corners keep the words off the rim.
            const double radius = spec.variant == 0 ? 6 : 12;
            g.box(0, 0, w, h, radius, kPaperEdge);
            g.box(2, 2, w - 4, h - 4, radius - 2, fills[spec.variant % 5]);
            if (spec.variant == 0) {
                // A window where the quiz puts the stars, through which the backdrop's own row shows:
                // the same face, and on the last row the places of the stars not yet earned.
                const int left = static_cast<int>((139 - kLittleStar / 2 - 2 - 9) * s);
                const int top = static_cast<int>((454 - kLittleStar / 2 - 2 - (99 + 48 * 7)) * s);
                canvas.fillRect(left, top, static_cast<int>((kLittleStar * 3 + 4) * s),
                                static_cast<int>((kLittleStar + 4) * s), 0);
            }
            // The quiz writes the score or the level in white below these words.
            if (spec.variant >= 3)
                g.text(spec.variant == 3 ? "Score" : "Level", w / 2.0, 12, 15, true, kPale, Align::Centre,
                       w - 8);
            break;
        }
        case PictureKind::Button: {
            const uint32_t colours[5] = {kButton, kButtonLight, kRight, kWrong, kGhost};
            if (spec.variant == 4) {
                g.box(0, 0, w, h - 2, 14, kGhost);
            } else {
                drawButton(g, 0, 0, w, h, colours[spec.variant % 5]);
            }
            break;
        }
        case PictureKind::BarButton:
            // Every one is a pressed look, drawn over the unpressed button in the strip beneath it.
            drawBarButton(g, 0, 0, spec.variant, kButtonLight);
            break;
        case PictureKind::CornerButton:
            drawCornerButton(g, 0, 0, w, spec.variant & ~kPressed,
                             spec.variant & kPressed ? kButtonLight : kButton);
            break;
        case PictureKind::Boxes: {
            if (spec.variant >= 10) {
                g.box(2, 2, 18, 18, 4, kPaperEdge);
                g.box(4, 4, 14, 14, 3, spec.variant == 11 ? kRight : kNight);
                if (spec.variant == 11) g.tick(11, 11, 10, 2.5, kWhite);
            } else {
                // How far through a category's sections the player is: none, begun, half or more, all;
                // a gauge, not a count of sections, with a notch at the half.
                const double done[4] = {0, 0.25, 0.5, 1};
                g.box(1, 5, 64, 12, 6, kPaperEdge);
                g.box(2.5, 6.5, 61, 9, 4.5, kNight);
                if (spec.variant > 0)
                    g.box(2.5, 6.5, std::max(9.0, 61 * done[spec.variant % 4]), 9, 4.5,
                          spec.variant == 3 ? kRight : kAccent);
                if (spec.variant < 2) g.line(33, 6.5, 33, 15.5, 1, kPaperEdge);
            }
            break;
        }
        case PictureKind::Dot:
            g.disc(w / 2.0, h / 2.0, w / 2.0 - 0.5, kAccent);
            break;
        case PictureKind::Tick:
            g.disc(w / 2.0, h / 2.0, w / 2.0 - 1, kRight);
            g.tick(w / 2.0, h / 2.0, w * 0.5, 5, kNight);
            break;
        case PictureKind::Cross:
            g.disc(w / 2.0, h / 2.0, w / 2.0 - 1, kWrong);
            g.cross(w / 2.0, h / 2.0, w * 0.4, 5, kNight);
            break;
        case PictureKind::Count:
            if (spec.variant == 10) {
                // Drawn over the count when one was just earned: a bright ring that leaves the digit be.
                g.ring(11, 11, 11, 3.5, argb(255, 120, 240, 120));
            } else {
                // The count as a dark digit on a light badge, which stands out of the dark bar.
                g.disc(11, 11, 10.5, kAccent);
                g.ring(11, 11, 10.5, 1.5, kNight);
                g.text(std::to_string(spec.variant), 11, 11 - 17 * 0.5, 17, true, kNight, Align::Centre, 20);
            }
            break;
        case PictureKind::Star:
            g.star(w / 2.0, h / 2.0 + w * 0.03, w * 0.48, w * 0.2, 5, kShadow);
            g.star(w / 2.0, h / 2.0, w * 0.46, w * 0.19, 5, kMetals[spec.variant % 3]);
            break;
        case PictureKind::Ranking: {
            // Level badges: the level's number, a dot round the rim for every level, and a rim whose
            // metal is the star of the levels reached (blue before the first); beside it the next star.
            const int level = spec.variant;
            const double c = kBadgeHeight / 2.0, r = kBadgeRing;
            const uint32_t rim = level < 8 ? kSky : kMetals[std::min(2, (level - 8) / 8)];
            g.disc(c, c, r + 1.5, kShadow);
            g.disc(c, c, r, rim);
            g.disc(c, c, r - 11, kNight);
            for (int i = 0; i < level; ++i) {
                double angle = 2 * M_PI * i / 29 - M_PI / 2;
                g.disc(c + (r - 5.5) * std::cos(angle), c + (r - 5.5) * std::sin(angle), 2.2, kNight);
            }
            g.text("LEVEL", c, c - 27, 12, true, kPale, Align::Centre, 60);
            g.text(std::to_string(level), c, c - 17, 42, true, kWhite, Align::Centre, 66);
            const double x = 2 * c + 12, room = w - x - 2;
            if (level < 24) {
                const char* const metals[3] = {"Bronze", "Silver", "Gold"};
                g.text("Next star:", x, c - 30, 14, false, kPale, Align::Left, room);
                g.text(metals[level / 8], x, c - 12, 22, true, kMetals[level / 8], Align::Left, room);
                g.text("at level " + std::to_string(level / 8 * 8 + 8), x, c + 14, 14, false, kPale,
                       Align::Left, room);
            } else {
                g.text("All three", x, c - 22, 20, true, kMetals[2], Align::Left, room);
                g.text("stars earned", x, c + 2, 14, false, kPale, Align::Left, room);
            }
            break;
        }
        case PictureKind::Twinkle: {
            int frame = spec.variant / 8, colour = spec.variant % 8;
            double size = 3 + 1.6 * frame;
            g.star(8, 8, size + 1.5, size * 0.3, 4, kTwinkles[colour % 5]);
            g.disc(8, 8, 1.5, kWhite);
            break;
        }
    }
    return canvas;
}

ArtCanvas ArtCatalogue::drawSplash(int scale, bool flat) {
    ArtCanvas canvas(320 * scale, 480 * scale);
    if (flat) {
        canvas.fill(kNight);
        return canvas;
    }
    Painter g{canvas, static_cast<double>(scale), 0, 0, nullptr};
    canvas.verticalGradient(0, 0, canvas.width(), canvas.height(), kNight, kDusk);
    // A quill over an open book, drawn from shapes.
    g.box(70, 170, 88, 110, 10, kPaper);
    g.box(162, 170, 88, 110, 10, kPaper);
    for (int i = 0; i < 5; ++i) {
        g.line(84, 192 + 18 * i, 146, 192 + 18 * i, 3, kPaperEdge);
        g.line(174, 192 + 18 * i, 236, 192 + 18 * i, 3, kPaperEdge);
    }
    g.line(230, 110, 170, 240, 6, kAccent);
    g.star(230, 110, 18, 6, 4, kWhite);
    return canvas;
}

ArtCanvas ArtCatalogue::drawLoadingFrame(int frame, int scale, bool flat) {
    ArtCanvas canvas(46 * scale, 46 * scale, kNight);
    if (flat) {
        canvas.fill(mixColour(kNight, kAccent, frame, 8));
        return canvas;
    }
    // The splash's own rows where the quiz draws the frame, so no square shows round the dots.
    canvas.verticalGradient(0, -kLoadingTop * scale, canvas.width(), 480 * scale, kNight, kDusk);
    Painter g{canvas, static_cast<double>(scale), 0, 0, nullptr};
    // Eight dots round a circle, the brightest one moving a step each frame.
    for (int i = 0; i < 8; ++i) {
        double angle = 2 * M_PI * i / 8 - M_PI / 2;
        int age = (frame - i + 8) % 8;
        g.disc(23 + 15 * std::cos(angle), 23 + 15 * std::sin(angle), 4.5, mixColour(kWhite, kDusk, age, 8));
    }
    return canvas;
}

}  // namespace resbuild
