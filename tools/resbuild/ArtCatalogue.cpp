#include "tools/resbuild/ArtCatalogue.h"

#include <cmath>

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

constexpr uint32_t kMetals[3] = {argb(255, 196, 120, 60), argb(255, 200, 204, 214), argb(255, 246, 200, 50)};
constexpr uint32_t kTwinkles[5] = {argb(255, 255, 255, 255), argb(255, 120, 240, 120),
                                   argb(255, 250, 100, 100), argb(255, 255, 230, 90),
                                   argb(255, 110, 170, 255)};

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
    {29, 177, "MENU_BG_0", 320, 17, PictureKind::Background, 0},
    {30, 178, "MENU_BG_1", 320, 63, PictureKind::Background, 1},
    {31, 179, "MENU_BG_2", 320, 315, PictureKind::MenuButtons, 4},
    {32, 180, "MENU_BG_3", 320, 85, PictureKind::Background, 3},
    {33, 181, "THREE_BOXES_0", 66, 22, PictureKind::Boxes, 0},
    {34, 182, "THREE_BOXES_1", 66, 22, PictureKind::Boxes, 1},
    {35, 183, "THREE_BOXES_2", 66, 22, PictureKind::Boxes, 2},
    {36, 184, "THREE_BOXES_3", 66, 22, PictureKind::Boxes, 3},
    {37, 185, "ONE_BOX_ON", 22, 22, PictureKind::Boxes, 11},
    {38, 186, "ONE_BOX_OFF", 22, 22, PictureKind::Boxes, 10},
    {39, 187, "PRACTICE_MENU_HEADER", 320, 63, PictureKind::Background, 1},
    {40, 188, "PRACTICE_MENU_FOOTER", 320, 85, PictureKind::Background, 3},
    {41, 189, "PRACTICE_MENU_BACK_OFF", 79, 85, PictureKind::BackButton, 0},
    {42, 190, "PRACTICE_MENU_BACK_ON", 79, 85, PictureKind::BackButton, 1},
    {44, 191, "CHOOSER_BG_2", 320, 315, PictureKind::Background, 2},
    {45, 192, "ABOUT_BG_0", 240, 17, PictureKind::Background, 0},
    {46, 193, "ABOUT_BG_1", 240, 63, PictureKind::Background, 1},
    {47, 194, "ABOUT_BG_2", 240, 400, PictureKind::Background, 2},
    {48, 195, "ABOUT_BG_3", 80, 80, PictureKind::Background, 0},
    {49, 196, "ABOUT_BG_4", 80, 315, PictureKind::Background, 2},
    {50, 197, "ABOUT_BG_5", 80, 85, PictureKind::MenuCorner, 3},
    {52, 198, "STATS_BG_0", 240, 17, PictureKind::Background, 0},
    {53, 199, "STATS_BG_1", 240, 63, PictureKind::Background, 1},
    {54, 200, "STATS_BG_2", 240, 400, PictureKind::Background, 2},
    {55, 201, "STATS_BG_3", 80, 80, PictureKind::Background, 0},
    {56, 202, "STATS_BG_4", 80, 315, PictureKind::Background, 2},
    {57, 203, "STATS_BG_5", 80, 85, PictureKind::MenuCorner, 3},
    {58, 204, "STATS_BOX_OVERLAY", 222, 44, PictureKind::Panel, 0},
    {60, 205, "STATS_STAR_BRONZE", 24, 24, PictureKind::Star, 0},
    {61, 206, "STATS_STAR_SILVER", 24, 24, PictureKind::Star, 1},
    {62, 207, "STATS_STAR_GOLD", 24, 24, PictureKind::Star, 2},
    {63, 208, "CONFIRM_BG_0", 320, 79, PictureKind::Background, 0},
    {64, 209, "CONFIRM_BG_1", 41, 317, PictureKind::Background, 2},
    {65, 210, "CONFIRM_BG_2", 238, 317, PictureKind::ConfirmButtons, 2},
    {66, 211, "CONFIRM_BG_3", 41, 317, PictureKind::Background, 2},
    {67, 212, "CONFIRM_BG_4", 320, 84, PictureKind::Background, 3},
    {69, 213, "ICON_ABOUT", 80, 85, PictureKind::AboutIcon, 0},
    {70, 214, "ICON_CLICK_ABOUT", 80, 85, PictureKind::AboutIcon, 1},
    // A row taller than the title panel it sits under: the timer column starts at 109, so no row is left
    // undrawn between them.
    {71, 215, "GAME_BG_0", 81, 109, PictureKind::Background, 0},
    {72, 216, "GAME_BG_1", 239, 108, PictureKind::Panel, 1},
    {73, 217, "GAME_BG_2", 80, 286, PictureKind::Background, 2},
    {74, 218, "GAME_BG_3", 240, 287, PictureKind::Background, 2},
    {75, 219, "GAME_BG_4", 320, 85, PictureKind::GameBar, 3},
    {77, 220, "GAME_INFOBOX", 230, 290, PictureKind::Panel, 2},
    {78, 221, "ANSWER_BUTTON_NORMAL", 220, 66, PictureKind::Button, 0},
    {79, 222, "ANSWER_BUTTON_CLICK", 220, 66, PictureKind::Button, 1},
    {80, 223, "ANSWER_BUTTON_CORRECT", 220, 66, PictureKind::Button, 2},
    {81, 224, "ANSWER_BUTTON_WRONG", 220, 66, PictureKind::Button, 3},
    {82, 225, "ANSWER_BUTTON_GHOSTED", 220, 66, PictureKind::Button, 4},
    {83, 226, "WIDE_BUTTON_NORMAL", 300, 66, PictureKind::Button, 0},
    {84, 227, "WIDE_BUTTON_CLICK", 300, 66, PictureKind::Button, 1},
    {85, 228, "BUTTON_HINT", 59, 61, PictureKind::BarButton, 0},
    {86, 229, "BUTTON_SKIP", 59, 61, PictureKind::BarButton, 1},
    {87, 230, "BUTTON_INFO", 59, 61, PictureKind::BarButton, 2},
    {88, 231, "BUTTON_MENU", 59, 61, PictureKind::BarButton, 3},
    {89, 232, "BUTTON_MENU_ALT", 59, 61, PictureKind::BarButton, 4},
    {90, 233, "TIMER_DOT", 9, 9, PictureKind::Dot, 0},
    {91, 234, "GENERIC_0", 81, 108, PictureKind::Panel, 3},
    {92, 235, "GENERIC_0_LEVEL", 81, 108, PictureKind::Panel, 4},
    {93, 236, "ANSWER_RIGHT", 48, 48, PictureKind::Tick, 0},
    {94, 237, "ANSWER_WRONG", 48, 48, PictureKind::Cross, 0},
    {95, 238, "ICON_NUMBER_0", 22, 22, PictureKind::Pips, 0},
    {96, 239, "ICON_NUMBER_1", 22, 22, PictureKind::Pips, 1},
    {97, 240, "ICON_NUMBER_2", 22, 22, PictureKind::Pips, 2},
    {98, 241, "ICON_NUMBER_3", 22, 22, PictureKind::Pips, 3},
    {99, 242, "ICON_NUMBER_4", 22, 22, PictureKind::Pips, 4},
    {100, 243, "ICON_NUMBER_5", 22, 22, PictureKind::Pips, 5},
    {101, 244, "ICON_NUMBER_6", 22, 22, PictureKind::Pips, 6},
    {102, 245, "ICON_NUMBER_7", 22, 22, PictureKind::Pips, 7},
    {103, 246, "ICON_NUMBER_8", 22, 22, PictureKind::Pips, 8},
    {104, 247, "ICON_NUMBER_9", 22, 22, PictureKind::Pips, 9},
    {105, 248, "ICON_NUMBER_FLASH", 22, 22, PictureKind::Pips, 10},
    {106, 249, "WEB_BASE_BACK_ICON_CLICK", 59, 61, PictureKind::BarButton, 5},
    {107, 250, "WEB_BASE_STRIP", 320, 84, PictureKind::Background, 3},
    {108, 251, "COMPLETE_BG", 320, 480, PictureKind::Screen, 0},
    {109, 252, "COMPLETE_BG_PRACTICE", 320, 480, PictureKind::Screen, 1},
    {110, 253, "DEMOTED_BG", 320, 480, PictureKind::Screen, 2},
    {111, 254, "PROMOTED_BG", 320, 480, PictureKind::Screen, 3},
    {112, 255, "RANKING_BUTTON_NORMAL", 79, 85, PictureKind::BackButton, 2},
    {113, 256, "RANKING_BUTTON_CLICK", 79, 85, PictureKind::BackButton, 3},
    {114, 257, "RANKING_BUTTON_MENU_CLICK", 79, 85, PictureKind::BackButton, 1},
    {115, 258, "UNITS_BUTTON_NORMAL", 81, 85, PictureKind::BackButton, 4},
    {116, 259, "UNITS_BUTTON_CLICK", 81, 85, PictureKind::BackButton, 5},
    {117, 260, "BIG_STAR_BRONZE", 64, 64, PictureKind::Star, 0},
    {118, 261, "BIG_STAR_SILVER", 64, 64, PictureKind::Star, 1},
    {119, 262, "BIG_STAR_GOLD", 64, 64, PictureKind::Star, 2},
    {120, 263, "RANKING_1", 112, 112, PictureKind::Ranking, 1},
    {121, 264, "RANKING_2", 112, 112, PictureKind::Ranking, 2},
    {122, 265, "RANKING_3", 112, 112, PictureKind::Ranking, 3},
    {123, 266, "RANKING_4", 112, 112, PictureKind::Ranking, 4},
    {124, 267, "RANKING_5", 112, 112, PictureKind::Ranking, 5},
    {125, 268, "RANKING_6", 112, 112, PictureKind::Ranking, 6},
    {126, 269, "RANKING_7", 112, 112, PictureKind::Ranking, 7},
    {127, 270, "RANKING_8", 112, 112, PictureKind::Ranking, 8},
    {128, 271, "RANKING_9", 112, 112, PictureKind::Ranking, 9},
    {129, 272, "RANKING_10", 112, 112, PictureKind::Ranking, 10},
    {130, 273, "RANKING_11", 112, 112, PictureKind::Ranking, 11},
    {131, 274, "RANKING_12", 112, 112, PictureKind::Ranking, 12},
    {132, 275, "RANKING_13", 112, 112, PictureKind::Ranking, 13},
    {133, 276, "RANKING_14", 112, 112, PictureKind::Ranking, 14},
    {134, 277, "RANKING_15", 112, 112, PictureKind::Ranking, 15},
    {135, 278, "RANKING_16", 112, 112, PictureKind::Ranking, 16},
    {136, 279, "RANKING_17", 112, 112, PictureKind::Ranking, 17},
    {137, 280, "RANKING_18", 112, 112, PictureKind::Ranking, 18},
    {138, 281, "RANKING_19", 112, 112, PictureKind::Ranking, 19},
    {139, 282, "RANKING_20", 112, 112, PictureKind::Ranking, 20},
    {140, 283, "RANKING_21", 112, 112, PictureKind::Ranking, 21},
    {141, 284, "RANKING_22", 112, 112, PictureKind::Ranking, 22},
    {142, 285, "RANKING_23", 112, 112, PictureKind::Ranking, 23},
    {143, 286, "RANKING_24", 112, 112, PictureKind::Ranking, 24},
    {144, 287, "RANKING_25", 112, 112, PictureKind::Ranking, 25},
    {145, 288, "RANKING_26", 112, 112, PictureKind::Ranking, 26},
    {146, 289, "RANKING_27", 112, 112, PictureKind::Ranking, 27},
    {147, 290, "RANKING_28", 112, 112, PictureKind::Ranking, 28},
    {148, 291, "RANKING_29", 112, 112, PictureKind::Ranking, 29},
};

// Base-layout coordinates scaled to the picture's resolution.
struct Scaled {
    ArtCanvas& canvas;
    double s;

    void box(double x, double y, double w, double h, double r, uint32_t c) {
        canvas.roundedBox(x * s, y * s, w * s, h * s, r * s, c);
    }
    void disc(double x, double y, double r, uint32_t c) { canvas.disc(x * s, y * s, r * s, c); }
    void ring(double x, double y, double r, double t, uint32_t c) {
        canvas.ring(x * s, y * s, r * s, t * s, c);
    }
    void star(double x, double y, double o, double i, int n, uint32_t c) {
        canvas.star(x * s, y * s, o * s, i * s, n, c);
    }
    void line(double x0, double y0, double x1, double y1, double t, uint32_t c) {
        canvas.line(x0 * s, y0 * s, x1 * s, y1 * s, t * s, c);
    }
    void tick(double x, double y, double size, double t, uint32_t c) {
        canvas.tick(x * s, y * s, size * s, t * s, c);
    }
    void cross(double x, double y, double size, double t, uint32_t c) {
        canvas.cross(x * s, y * s, size * s, t * s, c);
    }
};

void drawBackground(ArtCanvas& canvas, Scaled& g, int w, int h, int band) {
    const uint32_t tops[4] = {kNight, kDusk, mixColour(kDusk, kSky, 1, 3), kNight};
    const uint32_t bottoms[4] = {kDusk, mixColour(kDusk, kSky, 1, 3), kDusk, argb(255, 10, 20, 44)};
    canvas.verticalGradient(0, 0, canvas.width(), canvas.height(), tops[band & 3], bottoms[band & 3]);
    // A few soft bubbles, placed from the size so that every segment differs.
    for (int i = 0; i < 3; ++i) {
        double x = (w * (2 * i + 1)) / 6.0 + (h % 7) * i;
        double y = h * (0.3 + 0.2 * ((i + w) % 3));
        g.disc(x, y, std::min(w, h) * 0.18 + 2, argb(24, 255, 255, 255));
    }
}

void drawButton(Scaled& g, double x, double y, double w, double h, uint32_t colour) {
    g.box(x + 1, y + 2, w - 1, h - 2, 14, kShadow);
    g.box(x, y, w - 1, h - 2, 14, colour);
    g.box(x + 4, y + 3, w - 9, (h - 2) / 2 - 2, 11, argb(50, 255, 255, 255));
}

void drawBarSymbol(Scaled& g, double cx, double cy, int symbol, uint32_t colour) {
    switch (symbol) {
        case 0:  // hint: a lit bulb with a screw base
            for (int i = -1; i <= 1; ++i) {
                const double angle = -M_PI / 2 + i * M_PI / 3;
                g.line(cx + 12.5 * std::cos(angle), cy - 6 + 12.5 * std::sin(angle),
                       cx + 16 * std::cos(angle), cy - 6 + 16 * std::sin(angle), 2.5, colour);
            }
            g.disc(cx, cy - 6, 9, colour);
            g.box(cx - 5, cy, 10, 6, 2, colour);
            g.box(cx - 5, cy + 7, 10, 2.5, 1.2, colour);
            g.box(cx - 5, cy + 10.5, 10, 2.5, 1.2, colour);
            g.disc(cx, cy + 14.5, 2, colour);
            g.disc(cx - 3.5, cy - 9, 2.2, argb(200, 255, 255, 255));
            break;
        case 1:  // skip: two chevrons up to a bar, on to the next question
            for (double x : {-13.0, -4.0}) {
                g.line(cx + x, cy - 9, cx + x + 8, cy, 4, colour);
                g.line(cx + x + 8, cy, cx + x, cy + 9, 4, colour);
            }
            g.line(cx + 10, cy - 10, cx + 10, cy + 10, 4, colour);
            break;
        case 2:  // info: a dot over a bar
            g.disc(cx, cy - 10, 3.5, colour);
            g.line(cx, cy - 2, cx, cy + 12, 5, colour);
            break;
        case 5:  // back: an arrow pointing left
            g.line(cx - 12, cy, cx + 12, cy, 4, colour);
            g.line(cx - 12, cy, cx - 3, cy - 9, 4, colour);
            g.line(cx - 12, cy, cx - 3, cy + 9, 4, colour);
            break;
        default:  // menu: three bars
            for (int i = -1; i <= 1; ++i) g.line(cx - 11, cy + 8 * i, cx + 11, cy + 8 * i, 4, colour);
            break;
    }
}

// One 59 x 61 bottom-bar button with its symbol, its top-left corner at (x, y).
void drawBarButton(Scaled& g, double x, double y, int symbol, uint32_t colour) {
    drawButton(g, x, y, 59, 61, colour);
    drawBarSymbol(g, x + 29.5, y + 29.5, symbol, kNight);
}

}  // namespace

const std::vector<PictureSpec>& ArtCatalogue::pictures() {
    return kPictures;
}

ArtCanvas ArtCatalogue::draw(const PictureSpec& spec, int scale, bool flat) {
    int w = spec.width, h = spec.height;
    ArtCanvas canvas(w * scale, h * scale);
    Scaled g{canvas, static_cast<double>(scale)};
    if (flat) {
        // One opaque colour per picture, so that a probe of a drawn screen tells which picture landed
        // there: the red byte alone differs for every low id (7 and 200 share no factor).
        const uint32_t id = static_cast<uint32_t>(spec.lowId);
        canvas.fill(argb(255, 40 + (id * 7) % 200, 60 + (static_cast<uint32_t>(spec.kind) * 9) % 160,
                         40 + (id * 31) % 190));
        return canvas;
    }
    switch (spec.kind) {
        case PictureKind::Background:
            drawBackground(canvas, g, w, h, spec.variant);
            break;
        case PictureKind::MenuButtons:
            drawBackground(canvas, g, w, h, 2);
            // The unpressed look of the four main-menu buttons, centred one pixel left of the middle.
            for (int i = 0; i < 4; ++i) drawButton(g, 49, 17 + 70 * i, 220, 66, kButton);
            break;
        case PictureKind::ConfirmButtons:
            drawBackground(canvas, g, w, h, 2);
            g.box(6, 40, w - 12, 110, 12, argb(210, 246, 242, 228));
            for (int i = 0; i < 2; ++i) drawButton(g, 8, 158 + 70 * i, 220, 66, kButton);
            break;
        case PictureKind::MenuCorner:
            drawBackground(canvas, g, w, h, 3);
            drawButton(g, 11, 8, 59, 61, kButton);
            drawBarSymbol(g, 40, 37, 3, kNight);
            break;
        case PictureKind::Panel: {
            const uint32_t fills[5] = {argb(200, 246, 242, 228), kPaper, kPaper, kSky, kAccent};
            g.box(0, 0, w, h, 12, kPaperEdge);
            g.box(2, 2, w - 4, h - 4, 10, fills[spec.variant % 5]);
            if (spec.variant >= 3)
                g.ring(w / 2.0, h / 2.0, std::min(w, h) * 0.42, 3, argb(120, 255, 255, 255));
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
        case PictureKind::GameBar:
            // The game screen's strip carries the unpressed hint, skip, info and menu buttons, 80 apart
            // from (11, 10), where the pressed pictures land.
            drawBackground(canvas, g, w, h, 3);
            for (int i = 0; i < 4; ++i) drawBarButton(g, 11 + 80 * i, 10, i, kButton);
            break;
        case PictureKind::BackButton: {
            bool pressed = spec.variant % 2 == 1;
            drawButton(g, 4, 8, w - 8, h - 16, pressed ? kButtonLight : kButton);
            double cx = w / 2.0, cy = h / 2.0;
            if (spec.variant <= 1) {
                drawBarSymbol(g, cx, cy, 5, kNight);
            } else if (spec.variant <= 3) {  // continue: an arrow pointing right
                g.line(cx - 12, cy, cx + 12, cy, 4, kNight);
                g.line(cx + 12, cy, cx + 3, cy - 9, 4, kNight);
                g.line(cx + 12, cy, cx + 3, cy + 9, 4, kNight);
            } else {  // more practice: a stack of cards
                for (int i = 0; i < 3; ++i)
                    g.box(cx - 14 + 3 * i, cy - 12 + 3 * i, 22, 18, 3, i == 2 ? kWhite : kPaperEdge);
            }
            break;
        }
        case PictureKind::Boxes: {
            if (spec.variant >= 10) {
                g.box(2, 2, 18, 18, 4, kPaperEdge);
                g.box(4, 4, 14, 14, 3, spec.variant == 11 ? kRight : kNight);
                if (spec.variant == 11) g.tick(11, 11, 10, 2.5, kWhite);
            } else {
                for (int i = 0; i < 3; ++i) {
                    g.box(2 + 22 * i, 2, 18, 18, 4, kPaperEdge);
                    g.box(4 + 22 * i, 4, 14, 14, 3, i < spec.variant ? kAccent : kNight);
                }
            }
            break;
        }
        case PictureKind::AboutIcon:
            drawBackground(canvas, g, w, h, 3);
            g.disc(40, 42, 26, spec.variant ? kButtonLight : kButton);
            g.ring(40, 42, 26, 3, kNight);
            drawBarSymbol(g, 40, 43, 2, kNight);
            break;
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
        case PictureKind::Pips: {
            // A badge with as many dots round its rim as the number it stands for.
            bool flash = spec.variant == 10;
            g.disc(11, 11, 10.5, flash ? kAccent : kNight);
            for (int i = 0; i < (flash ? 0 : spec.variant); ++i) {
                double angle = 2 * M_PI * i / 9 - M_PI / 2;
                g.disc(11 + 6.5 * std::cos(angle), 11 + 6.5 * std::sin(angle), 1.8, kWhite);
            }
            if (spec.variant == 0) g.ring(11, 11, 6, 1.5, kWhite);
            break;
        }
        case PictureKind::Screen: {
            const uint32_t accents[4] = {kAccent, kRight, kWrong, kRight};
            canvas.verticalGradient(0, 0, canvas.width(), canvas.height(), kNight, kDusk);
            g.box(20, 60, 280, 300, 24, argb(40, 255, 255, 255));
            g.disc(160, 200, 70, accents[spec.variant % 4]);
            if (spec.variant == 0) g.star(160, 200, 52, 22, 5, kWhite);
            if (spec.variant == 1) g.tick(160, 200, 70, 12, kWhite);
            if (spec.variant == 2) {
                g.line(125, 185, 160, 220, 12, kWhite);
                g.line(160, 220, 195, 185, 12, kWhite);
            }
            if (spec.variant == 3) {
                g.line(125, 215, 160, 180, 12, kWhite);
                g.line(160, 180, 195, 215, 12, kWhite);
            }
            drawButton(g, 245, 403, 71, 69, argb(60, 255, 255, 255));
            break;
        }
        case PictureKind::Star:
            g.star(w / 2.0, h / 2.0 + w * 0.03, w * 0.48, w * 0.2, 5, kShadow);
            g.star(w / 2.0, h / 2.0, w * 0.46, w * 0.19, 5, kMetals[spec.variant % 3]);
            break;
        case PictureKind::Ranking: {
            // Level badges: a disc whose metal follows the level's third and a dot for every level.
            int level = spec.variant;
            g.disc(56, 56, 54, kShadow);
            g.disc(56, 56, 52, kMetals[std::min(2, (level - 1) / 10)]);
            g.disc(56, 56, 40, kNight);
            for (int i = 0; i < level; ++i) {
                double angle = 2 * M_PI * i / 29 - M_PI / 2;
                g.disc(56 + 46 * std::cos(angle), 56 + 46 * std::sin(angle), 2.6, kWhite);
            }
            g.star(56, 58, 24 + level * 0.4, 10, 5, kAccent);
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
    Scaled g{canvas, static_cast<double>(scale)};
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
    Scaled g{canvas, static_cast<double>(scale)};
    // Eight dots round a circle, the brightest one moving a step each frame.
    for (int i = 0; i < 8; ++i) {
        double angle = 2 * M_PI * i / 8 - M_PI / 2;
        int age = (frame - i + 8) % 8;
        g.disc(23 + 15 * std::cos(angle), 23 + 15 * std::sin(angle), 4.5, mixColour(kWhite, kDusk, age, 8));
    }
    return canvas;
}

}  // namespace resbuild
