// The builder's pictures as the player sees them: each screen is put together here from its pictures at
// the places the quiz draws them, at both scales, and looked at as a whole: pieces that meet without a
// seam, every control visible before it is pressed, the quiz's words inside their boxes in contrast,
// and numbers that read as the numbers they stand for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/BitmapFontWriter.h"
#include "tools/resbuild/ArtCatalogue.h"
#include "tools/resbuild/BundleBuilder.h"
#include "tools/resbuild/GlyphRenderer.h"

namespace toolstest {
namespace {

using resbuild::ArtCanvas;
using resbuild::ArtCatalogue;
using resbuild::BundleBuilder;
using resbuild::PictureSpec;

// The symbols' and labels' ink on buttons: the darkest blue of the palette.
constexpr uint32_t kInk = resbuild::argb(255, 18, 32, 68);

const PictureSpec& named(const std::string& name) {
    for (const PictureSpec& spec : ArtCatalogue::pictures())
        if (name == spec.name) return spec;
    throw std::runtime_error("no picture " + name);
}

// A picture at the place the quiz draws it, in base-layout coordinates (top-left corner).
struct Placed {
    std::string name;
    int x, y;
};

// Draws the pictures one over the other, as the quiz's frame does, on an opaque black screen.
ArtCanvas compose(const std::vector<Placed>& pictures, int scale) {
    ArtCanvas screen(320 * scale, 480 * scale, 0xFF000000u);
    for (const Placed& placed : pictures) {
        const ArtCanvas picture = ArtCatalogue::draw(named(placed.name), scale, false);
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                screen.blendPixel(placed.x * scale + x, placed.y * scale + y, picture.pixel(x, y), 255);
        }
    }
    return screen;
}

// The screens, with their pieces where the quiz's renderer puts them.
const std::vector<Placed> kMainMenu = {{"MENU_BG_0", 0, 0},
                                       {"MENU_BG_1", 0, 17},
                                       {"MENU_BG_2", 0, 80},
                                       {"MENU_BG_3", 0, 395},
                                       {"ICON_ABOUT", 0, 395}};
std::vector<Placed> sideColumnScreen(const std::string& prefix) {
    return {{prefix + "_BG_0", 0, 0},   {prefix + "_BG_1", 0, 17},   {prefix + "_BG_2", 0, 80},
            {prefix + "_BG_3", 240, 0}, {prefix + "_BG_4", 240, 80}, {prefix + "_BG_5", 240, 395}};
}
std::vector<Placed> statsScreen() {
    std::vector<Placed> screen = sideColumnScreen("STATS");
    for (int i = 0; i < 8; ++i) screen.push_back({"STATS_BOX_OVERLAY", 9, 99 + 48 * i});
    return screen;
}
// A picture the quiz centres on (x, y), placed by its top-left corner as the quiz's anchor puts it.
Placed centred(const std::string& name, int x, int y) {
    const PictureSpec& spec = named(name);
    return {name, x - spec.width / 2, y - spec.height / 2};
}
// The statistics at the last level: all three stars over the last row.
std::vector<Placed> statsWithStars() {
    std::vector<Placed> screen = statsScreen();
    const int width = named("STATS_STAR_BRONZE").width;
    const char* const stars[3] = {"STATS_STAR_BRONZE", "STATS_STAR_SILVER", "STATS_STAR_GOLD"};
    for (int k = 0; k < 3; ++k) screen.push_back(centred(stars[k], 139 + width * k, 454));
    return screen;
}
const std::vector<Placed> kConfirm = {{"CONFIRM_BG_0", 0, 0},
                                      {"CONFIRM_BG_1", 0, 79},
                                      {"CONFIRM_BG_2", 41, 79},
                                      {"CONFIRM_BG_3", 279, 79},
                                      {"CONFIRM_BG_4", 0, 396}};
const std::vector<Placed> kGame = {{"GAME_BG_0", 0, 0},
                                   {"GAME_BG_1", 81, 0},
                                   {"GAME_BG_2", 0, 109},
                                   {"GAME_BG_3", 80, 108},
                                   {"GAME_BG_4", 0, 395}};
const std::vector<Placed> kList = {{"MENU_BG_0", 0, 0},
                                   {"PRACTICE_MENU_HEADER", 0, 17},
                                   {"CHOOSER_BG_2", 0, 80},
                                   {"PRACTICE_MENU_FOOTER", 0, 395}};

std::vector<Placed> with(std::vector<Placed> screen, const std::vector<Placed>& more) {
    screen.insert(screen.end(), more.begin(), more.end());
    return screen;
}

int channelStep(uint32_t a, uint32_t b) {
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(
            most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
    return most;
}

double luminance(uint32_t rgb) {
    auto linear = [](uint32_t channel) {
        const double c = (channel & 0xFF) / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(rgb >> 16) + 0.7152 * linear(rgb >> 8) + 0.0722 * linear(rgb);
}

double contrast(uint32_t a, uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where two pieces of a screen meet, the column (or row) on one side continues the other: the step
// across the edge is no larger than the steps just beside it, as in any other part of the picture.
TEST(ArtCatalogue, SegmentsOfAScreenMeetWithoutASeam) {
    struct Edge {
        const char* screen;
        std::vector<Placed> pictures;
        bool vertical;  // a vertical line x = at, from `from` to `to` down; else a row y = at, across
        int at, from, to;
    };
    const std::vector<Edge> edges = {
        {"game: timer column and answer area", kGame, true, 80, 109, 395},
        {"game: title column and timer column", kGame, false, 109, 0, 80},
        {"main menu: behind the about icon", kMainMenu, true, 80, 396, 480},
        {"main menu: top strip and header", kMainMenu, false, 17, 0, 320},
        {"main menu: header and buttons", kMainMenu, false, 80, 0, 320},
        // Across the card only its rims: its words run over the line, and a glyph's edge is a step of its
        // own.
        {"about: text column and side column", sideColumnScreen("ABOUT"), true, 240, 0, 92},
        {"about: text column and side column", sideColumnScreen("ABOUT"), true, 240, 384, 480},
        {"about: header and text column", sideColumnScreen("ABOUT"), false, 80, 0, 320},
        {"statistics: rows and side column", statsScreen(), true, 240, 0, 480},
        {"statistics: top strip and header", statsScreen(), false, 17, 0, 240},
        {"confirm: left side", kConfirm, true, 41, 79, 396},
        {"confirm: right side", kConfirm, true, 279, 79, 396},
        {"confirm: header and middle", kConfirm, false, 79, 0, 320},
        {"lists: header and rows", kList, false, 80, 0, 320},
        {"subsection list: footer and back button", with(kList, {{"PRACTICE_MENU_BACK_OFF", 241, 395}}), true,
         241, 396, 480},
    };
    for (int scale : {1, 2}) {
        for (const Edge& edge : edges) {
            const ArtCanvas screen = compose(edge.pictures, scale);
            const int at = edge.at * scale;
            auto pixel = [&](int across, int along) {
                return edge.vertical ? screen.pixel(across, along) : screen.pixel(along, across);
            };
            int seams = 0, firstSeam = -1, worst = 0;
            for (int along = edge.from * scale; along < edge.to * scale; ++along) {
                const int step = channelStep(pixel(at - 1, along), pixel(at, along));
                const int beside = std::max(channelStep(pixel(at - 2, along), pixel(at - 1, along)),
                                            channelStep(pixel(at, along), pixel(at + 1, along)));
                if (step > beside + 4) {
                    if (firstSeam < 0) firstSeam = along;
                    ++seams;
                    worst = std::max(worst, step - beside);
                }
            }
            EXPECT_EQ(seams, 0) << edge.screen << " at scale " << scale << ": " << seams
                                << " pixels cut by the edge, the first at " << firstSeam << ", up to "
                                << worst << " levels";
        }
    }
}

// A control the player can press shows its unpressed look before any finger lands: where the quiz
// draws the pressed picture, the screen already shows a light button face, with the same symbol and
// name on the same pixels.
TEST(ArtCatalogue, EveryControlIsDrawnBeforeItIsPressed) {
    struct Control {
        const char* what;
        std::vector<Placed> unpressed;  // the screen as it is shown before a press
        Placed pressed;
        bool marked;  // carries a symbol or a name in ink
    };
    std::vector<Control> controls;
    const char* const barButtons[4] = {"BUTTON_HINT", "BUTTON_SKIP", "BUTTON_INFO", "BUTTON_MENU"};
    for (int i = 0; i < 4; ++i)
        controls.push_back({barButtons[i], kGame, {barButtons[i], 11 + 80 * i, 405}, true});
    for (int i = 0; i < 4; ++i)
        controls.push_back({"main menu button", kMainMenu, {"ANSWER_BUTTON_CLICK", 49, 97 + 70 * i}, false});
    for (int i = 0; i < 2; ++i)
        controls.push_back({"confirm button", kConfirm, {"ANSWER_BUTTON_CLICK", 49, 237 + 70 * i}, false});
    controls.push_back({"about icon", kMainMenu, {"ICON_CLICK_ABOUT", 0, 395}, true});
    controls.push_back({"information card's back button",
                        with(kGame, {{"WEB_BASE_STRIP", 0, 396}}),
                        {"WEB_BASE_BACK_ICON_CLICK", 251, 403},
                        true});
    controls.push_back({"category list's back button", kList, {"BUTTON_MENU_ALT", 251, 403}, true});
    controls.push_back({"subsection list's back button",
                        with(kList, {{"PRACTICE_MENU_BACK_OFF", 241, 395}}),
                        {"PRACTICE_MENU_BACK_ON", 241, 395},
                        true});
    controls.push_back(
        {"about screen's menu button", sideColumnScreen("ABOUT"), {"BUTTON_MENU_ALT", 251, 403}, true});
    controls.push_back({"statistics' menu button", statsScreen(), {"BUTTON_MENU_ALT", 251, 403}, true});
    controls.push_back({"test complete's menu button",
                        {{"COMPLETE_BG", 0, 0}},
                        {"RANKING_BUTTON_MENU_CLICK", 241, 395},
                        true});
    controls.push_back({"section complete's menu button",
                        {{"COMPLETE_BG_PRACTICE", 0, 0}, {"UNITS_BUTTON_NORMAL", 160, 395}},
                        {"RANKING_BUTTON_MENU_CLICK", 241, 395},
                        true});
    controls.push_back({"section complete's more button",
                        {{"COMPLETE_BG_PRACTICE", 0, 0}, {"UNITS_BUTTON_NORMAL", 160, 395}},
                        {"UNITS_BUTTON_CLICK", 160, 395},
                        true});
    controls.push_back({"promoted's continue button",
                        {{"PROMOTED_BG", 0, 0}, {"RANKING_BUTTON_NORMAL", 241, 395}},
                        {"RANKING_BUTTON_CLICK", 241, 395},
                        true});
    for (int scale : {1, 2}) {
        std::vector<std::vector<bool>> barInks;
        for (const Control& control : controls) {
            const std::string label = std::string(control.what) + " at scale " + std::to_string(scale);
            const ArtCanvas screen = compose(control.unpressed, scale);
            const ArtCanvas pressed = ArtCatalogue::draw(named(control.pressed.name), scale, false);
            const int left = control.pressed.x * scale, top = control.pressed.y * scale;
            int face = 0, light = 0, inked = 0, misplaced = 0, differing = 0;
            std::vector<bool> ink;
            for (int y = 0; y < pressed.height(); ++y) {
                for (int x = 0; x < pressed.width(); ++x) {
                    const uint32_t down = pressed.pixel(x, y), up = screen.pixel(left + x, top + y);
                    ink.push_back(down == kInk);
                    inked += down == kInk;
                    misplaced += (up == kInk) != (down == kInk);
                    // The light face of the pressed look: there the unpressed face must show already.
                    if (down >> 24 == 0xFF && luminance(down) > 0.4) {
                        ++face;
                        light += luminance(up) > 0.4;
                        differing += up != down;
                    }
                }
            }
            EXPECT_GT(light, face * 3 / 4) << label << ": no button where the finger lands";
            EXPECT_GT(face, 0) << label << ": no light face pressed";
            EXPECT_GT(differing, face / 2) << label << ": pressed looks unpressed";
            if (!control.marked) continue;
            EXPECT_GT(inked, 60 * scale * scale) << label << ": no symbol";
            EXPECT_EQ(misplaced, 0) << label
                                    << ": the symbol differs between the unpressed and the pressed look";
            if (std::string(control.pressed.name).rfind("BUTTON_", 0) == 0 && barInks.size() < 4) {
                for (size_t j = 0; j < barInks.size(); ++j) {
                    int apart = 0;
                    for (size_t k = 0; k < ink.size(); ++k) apart += ink[k] != barInks[j][k];
                    EXPECT_GT(apart, 40 * scale * scale) << label << " looks like " << barButtons[j];
                }
                barInks.push_back(ink);
            }
        }
    }
}

// A line's width as the quiz measures and draws it in a bitmap font: every glyph's box and one pixel
// of spacing.
int drawnWidth(const fonttools::FontDescription& font, const std::string& text) {
    int width = 0;
    for (char c : text) {
        if (c == ' ') {
            width += font.spaceAdvance + 1;
            continue;
        }
        for (const auto& glyph : font.glyphs)
            if (glyph.code == static_cast<unsigned char>(c)) width += glyph.width + 1;
    }
    return width;
}

// A rectangle of the base layout.
struct Room {
    int x, y, w, h;
};

// The words the quiz writes over the pictures sit inside their boxes at both scales: clear of the box's
// rim and of the pieces drawn after them (the room given), and every pixel under a line of them (and
// one round it) contrasts with the font's colour at least 4.5 to 1.
TEST(ArtCatalogue, TheQuizsWordsStayInsideTheirBoxesInContrast) {
    enum class Anchor { LeftTop, CentreTop, CentreMiddle, RightBottom, LeftBottom };
    struct Words {
        const char* where;
        std::vector<Placed> screen;
        std::string text;
        bool numbers;  // the numbers font, else the main font
        // Base layout, except for the title panels' figures, which the quiz places in pixels.
        int x, y;
        Anchor anchor;
        Room room;  // base layout: where the words must stay
        bool pixels = false;
    };
    const auto stats = statsWithStars();
    const auto about = sideColumnScreen("ABOUT");
    const std::vector<Placed> practicePanel = with(kGame, {{"GENERIC_0", 0, 0}});
    const std::vector<Placed> levelPanel = with(kGame, {{"GENERIC_0_LEVEL", 0, 0}});
    const std::vector<Placed> practiceComplete = {{"COMPLETE_BG_PRACTICE", 0, 0}};
    // The confirmation's lines are drawn with its middle piece, and the right-hand piece drawn after
    // them covers whatever runs past 279.
    const Room confirmMiddle = {1, 80, 278, 315};
    std::vector<Words> words = {
        {"confirm", kConfirm, "Your current progress will be lost.", false, 160, 136, Anchor::CentreTop,
         confirmMiddle},
        {"confirm", kConfirm, "Are you sure that you want to", false, 160, 152, Anchor::CentreTop,
         confirmMiddle},
        {"confirm", kConfirm, "start a new test?", false, 160, 168, Anchor::CentreTop, confirmMiddle},
        {"about", about, "v1.3", false, 15, 478, Anchor::LeftBottom, {0, 80, 240, 400}},
        {"section complete",
         practiceComplete,
         "38/38",
         true,
         160,
         225,
         Anchor::CentreMiddle,
         {94, 196, 132, 58}},
    };
    const char* const menu[4] = {"Continue Test", "New Test", "Practice", "Scores & Statistics"};
    // The menu's buttons: their face, 3 in from its ends.
    for (int i = 0; i < 4; ++i)
        words.push_back({"main menu",
                         kMainMenu,
                         menu[i],
                         false,
                         160,
                         97 + 70 * i + 33,
                         Anchor::CentreMiddle,
                         {52, 97 + 70 * i, 213, 64}});
    for (int i = 0; i < 2; ++i)
        words.push_back({"confirm",
                         kConfirm,
                         i == 0 ? "Yes" : "No",
                         false,
                         160,
                         237 + 70 * i + 33,
                         Anchor::CentreMiddle,
                         {52, 237 + 70 * i, 213, 64}});
    const char* const labels[8] = {"Total correct (Practice)",
                                   "Total attempted (Practice)",
                                   "Percentage correct (Practice)",
                                   "Total correct (Test)",
                                   "Total attempted (Test)",
                                   "Percentage correct (Test)",
                                   "Level",
                                   "Stars"};
    const char* const values[8] = {"99999", "99999", "100%", "99999", "99999", "100%", "Level 30/30", ""};
    // A statistics row: its picture less the rim, and a clear pixel over and under the words, three
    // beside them.
    const PictureSpec& row = named("STATS_BOX_OVERLAY");
    for (int i = 0; i < 8; ++i) {
        const Room face = {9 + 5, 99 + 48 * i + 3, row.width - 10, row.height - 6};
        words.push_back({"statistics", stats, labels[i], false, 14, 102 + 48 * i, Anchor::LeftTop, face});
        if (*values[i])
            words.push_back(
                {"statistics", stats, values[i], false, 219, 136 + 48 * i, Anchor::RightBottom, face});
    }
    for (int scale : {1, 2}) {
        resbuild::GlyphRenderer mainFont(resbuild::ArtLettering::kDefaultFontPath,
                                         BundleBuilder::kMainFontHeight * scale);
        resbuild::GlyphRenderer numbersFont(resbuild::ArtLettering::kDefaultFontPath,
                                            BundleBuilder::kNumbersFontHeight * scale);
        const fonttools::FontDescription mainGlyphs = mainFont.renderLatin1();
        const fonttools::FontDescription numbersGlyphs = numbersFont.renderLatin1();
        std::vector<Words> all = words;
        // The title panel's figure: centred across the panel; in a test 10 lower for the word above it.
        const int panelWidth = 81 * scale, panelHeight = 108 * scale,
                  numbersHeight = BundleBuilder::kNumbersFontHeight * scale;
        for (const char* figure : {"38/38", "30"}) {
            const bool test = std::string(figure) == "30";
            const int width = drawnWidth(numbersGlyphs, figure);
            all.push_back({test ? "test title panel" : "practice title panel",
                           test ? levelPanel : practicePanel,
                           figure,
                           true,
                           (panelWidth - width) / 2,
                           (panelHeight - numbersHeight + (test ? 10 * scale : 0)) / 2,
                           Anchor::LeftTop,
                           {2, 2, 77, 104},
                           true});
        }
        for (const Words& w : all) {
            const std::string label =
                std::string(w.where) + " \"" + w.text + "\" at scale " + std::to_string(scale);
            const uint32_t colour =
                w.numbers ? BundleBuilder::kNumbersColour : BundleBuilder::kMainTextColour;
            const int width = drawnWidth(w.numbers ? numbersGlyphs : mainGlyphs, w.text);
            const int height =
                (w.numbers ? BundleBuilder::kNumbersFontHeight : BundleBuilder::kMainFontHeight) * scale;
            const int x = w.pixels ? w.x : w.x * scale, y = w.pixels ? w.y : w.y * scale;
            int left = x, top = y;
            switch (w.anchor) {
                case Anchor::LeftTop:
                    break;
                case Anchor::CentreTop:
                    left = x - width / 2;
                    break;
                case Anchor::CentreMiddle:
                    left = x - width / 2;
                    top = y - height / 2;
                    break;
                case Anchor::RightBottom:
                    left = x - width;
                    top = y - height;
                    break;
                case Anchor::LeftBottom:
                    top = y - height;
                    break;
            }
            EXPECT_TRUE(left >= w.room.x * scale && top >= w.room.y * scale &&
                        left + width <= (w.room.x + w.room.w) * scale &&
                        top + height <= (w.room.y + w.room.h) * scale)
                << label << ": the words span (" << left << ", " << top << ") to (" << left + width << ", "
                << top + height << "), out of their room (" << w.room.x * scale << ", " << w.room.y * scale
                << ") to (" << (w.room.x + w.room.w) * scale << ", " << (w.room.y + w.room.h) * scale << ")";
            const ArtCanvas screen = compose(w.screen, scale);
            int poor = 0;
            double worst = 100;
            for (int py = top - 1; py <= top + height; ++py) {
                for (int px = left - 1; px <= left + width; ++px) {
                    ASSERT_TRUE(px >= 0 && py >= 0 && px < screen.width() && py < screen.height())
                        << label << ": off the screen";
                    const double ratio = contrast(screen.pixel(px, py) & 0xFFFFFF, colour);
                    poor += ratio < 4.5;
                    worst = std::min(worst, ratio);
                }
            }
            EXPECT_EQ(poor, 0) << label << ": " << poor
                               << " pixels under the words contrast too little (down to " << worst
                               << " to 1)";
        }
    }
}

// Reads the digits that a mask shows, left to right, by likeness to the font's own digits: each run
// of inked columns is cut to its box, laid on a coarse grid and given the digit whose grid it
// matches best.
class DigitReader {
public:
    DigitReader() {
        resbuild::GlyphRenderer font(resbuild::ArtLettering::kDefaultFontPath, 64);
        for (const auto& glyph : font.renderLatin1().glyphs) {
            if (glyph.code < '0' || glyph.code > '9') continue;
            std::vector<std::vector<bool>> rows(glyph.height, std::vector<bool>(glyph.width));
            for (int y = 0; y < glyph.height; ++y)
                for (int x = 0; x < glyph.width; ++x) rows[y][x] = glyph.coverage[y * glyph.width + x] > 127;
            m_digits[glyph.code - '0'] = grid(rows, 0, glyph.width);
        }
    }

    // rows[y][x]: inked or not.
    std::string read(const std::vector<std::vector<bool>>& rows) const {
        const int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
        auto columnInked = [&](int x) {
            for (const auto& row : rows)
                if (row[x]) return true;
            return false;
        };
        std::string digits;
        for (int x = 0; x < width;) {
            if (!columnInked(x)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < width && columnInked(end)) ++end;
            const Grid seen = grid(rows, x, end);
            int best = -1, bestScore = -1;
            for (int d = 0; d < 10; ++d) {
                int score = 0;
                for (size_t i = 0; i < seen.size(); ++i) score += seen[i] == m_digits[d][i];
                if (score > bestScore) bestScore = score, best = d;
            }
            digits += static_cast<char>('0' + best);
            x = end;
        }
        return digits;
    }

private:
    using Mask = std::vector<std::vector<bool>>;
    using Grid = std::vector<bool>;
    static constexpr int kAcross = 6, kDown = 9;

    // The inked box of columns [from, to) on a kAcross x kDown grid: a cell is inked when half its
    // pixels are.
    static Grid grid(const std::vector<std::vector<bool>>& rows, int from, int to) {
        int top = static_cast<int>(rows.size()), bottom = -1;
        for (int y = 0; y < static_cast<int>(rows.size()); ++y)
            for (int x = from; x < to; ++x)
                if (rows[y][x]) top = std::min(top, y), bottom = std::max(bottom, y);
        Grid cells(kAcross * kDown, false);
        if (bottom < top) return cells;
        const double w = to - from, h = bottom - top + 1;
        for (int gy = 0; gy < kDown; ++gy) {
            for (int gx = 0; gx < kAcross; ++gx) {
                int inked = 0, all = 0;
                for (int y = top + static_cast<int>(gy * h / kDown);
                     y < top + static_cast<int>((gy + 1) * h / kDown); ++y)
                    for (int x = from + static_cast<int>(gx * w / kAcross);
                         x < from + static_cast<int>((gx + 1) * w / kAcross); ++x)
                        inked += rows[y][x], ++all;
                cells[gy * kAcross + gx] = all > 0 ? 2 * inked >= all : false;
            }
        }
        return cells;
    }

    Grid m_digits[10];
};

// The hint and skip counts and the level badges say their number in figures that read as that
// number, at both scales, in strong contrast; the flash of a count just earned leaves its figure be.
TEST(ArtCatalogue, CountsAndLevelBadgesShowTheirNumberInFigures) {
    const DigitReader reader;
    for (int scale : {1, 2}) {
        const ArtCanvas flash = ArtCatalogue::draw(named("ICON_NUMBER_FLASH"), scale, false);
        for (int k = 0; k < 10; ++k) {
            const std::string label = "count " + std::to_string(k) + " at scale " + std::to_string(scale);
            ArtCanvas badge = ArtCatalogue::draw(named("ICON_NUMBER_" + std::to_string(k)), scale, false);
            const double centre = badge.width() / 2.0, inner = 8.0 * scale;
            auto figure = [&](const ArtCanvas& picture) {
                std::vector<std::vector<bool>> rows(picture.height(), std::vector<bool>(picture.width()));
                for (int y = 0; y < picture.height(); ++y) {
                    for (int x = 0; x < picture.width(); ++x) {
                        const double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
                        rows[y][x] =
                            dx * dx + dy * dy < inner * inner && luminance(picture.pixel(x, y)) < 0.1;
                    }
                }
                return rows;
            };
            EXPECT_EQ(reader.read(figure(badge)), std::to_string(k)) << label;
            // The figure's ink against the badge round it, and the badge against the bar it sits on.
            const uint32_t fill = badge.pixel(static_cast<int>(centre), scale * 3) & 0xFFFFFF;
            EXPECT_GE(contrast(fill, kInk & 0xFFFFFF), 4.5) << label;
            EXPECT_GE(contrast(fill, 0x14224A), 3.0) << label << ": the badge does not stand out of the bar";
            const auto before = figure(badge);
            for (int y = 0; y < badge.height(); ++y)
                for (int x = 0; x < badge.width(); ++x) badge.blendPixel(x, y, flash.pixel(x, y), 255);
            EXPECT_EQ(figure(badge), before) << label << ": the flash covers the figure";
        }
        for (int level = 1; level <= 29; ++level) {
            const std::string label =
                "level badge " + std::to_string(level) + " at scale " + std::to_string(scale);
            const ArtCanvas badge =
                ArtCatalogue::draw(named("RANKING_" + std::to_string(level)), scale, false);
            // The figure: white on the dark middle of the ring, below the word over it.
            const double centre = named("RANKING_1").height / 2.0;
            std::vector<std::vector<bool>> rows(badge.height(), std::vector<bool>(badge.width()));
            for (int y = static_cast<int>(centre - 14) * scale; y < badge.height(); ++y) {
                for (int x = 0; x < badge.width(); ++x) {
                    const double dx = (x + 0.5) / scale - centre, dy = (y + 0.5) / scale - centre;
                    rows[y][x] = dx * dx + dy * dy < 34 * 34 && luminance(badge.pixel(x, y)) > 0.5;
                }
            }
            EXPECT_EQ(reader.read(rows), std::to_string(level)) << label;
        }
    }
}

// What the result screens say and show is not hidden by what the quiz draws over them: the level's
// badge, the big star and the continue button land on plain backdrop.
TEST(ArtCatalogue, ResultScreensKeepTheirWordsClearOfWhatTheQuizDrawsOnThem) {
    struct Cover {
        const char* screen;
        const char* over;
        int x, y, w, h;
    };
    const PictureSpec& badge = named("RANKING_1");
    const PictureSpec& star = named("BIG_STAR_GOLD");
    const Cover covers[] = {
        {"PROMOTED_BG", "badge", 120 - badge.width / 2, 170 - badge.height / 2, badge.width, badge.height},
        {"PROMOTED_BG", "big star", 116 - star.width / 2, 389 - star.height / 2, star.width, star.height},
        {"PROMOTED_BG", "continue button", 241, 395, 79, 85},
        {"DEMOTED_BG", "badge", 120 - badge.width / 2, 425 - badge.height / 2, badge.width, badge.height},
        {"DEMOTED_BG", "continue button", 241, 395, 79, 85},
    };
    for (int scale : {1, 2}) {
        for (const Cover& cover : covers) {
            const ArtCanvas screen = ArtCatalogue::draw(named(cover.screen), scale, false);
            int bright = 0;
            for (int y = cover.y * scale; y < (cover.y + cover.h) * scale; ++y)
                for (int x = cover.x * scale; x < (cover.x + cover.w) * scale; ++x)
                    bright += luminance(screen.pixel(x, y)) > 0.3;
            EXPECT_EQ(bright, 0) << cover.screen << ": the " << cover.over << " hides " << bright
                                 << " pixels of words or symbols at scale " << scale;
        }
    }
}

// Every card, row, badge and button stands inside the screen, 5 or more from its edges (only the tab
// under the about screen's version reaches the bottom edge: the quiz writes the version 2 above it),
// and the cards between the header and the bar stand in the middle of the screen.
TEST(ArtCatalogue, CardsStandInsideTheScreen) {
    struct Screen {
        const char* name;
        std::vector<Placed> pictures;
        bool balanced;  // cards across the middle, as far from the left edge as from the right
        Room edgeAllowed = {0, 0, 0, 0};
    };
    const std::vector<Screen> screens = {
        {"main menu", kMainMenu, true},
        {"about", sideColumnScreen("ABOUT"), true, {8, 455, 50, 25}},
        {"statistics", statsWithStars(), true},
        {"confirm", kConfirm, true},
        {"promoted",
         {{"PROMOTED_BG", 0, 0},
          centred("RANKING_8", 120, 170),
          centred("BIG_STAR_SILVER", 116, 389),
          {"RANKING_BUTTON_NORMAL", 241, 395}},
         false},
        {"demoted",
         {{"DEMOTED_BG", 0, 0}, centred("RANKING_1", 120, 425), {"RANKING_BUTTON_NORMAL", 241, 395}},
         false},
        {"test complete", {{"COMPLETE_BG", 0, 0}}, false},
        {"section complete", {{"COMPLETE_BG_PRACTICE", 0, 0}, {"UNITS_BUTTON_NORMAL", 160, 395}}, false},
    };
    // Anything lighter than the darkest light picture (a level badge's blue rim) is taken for a card.
    auto lit = [](uint32_t pixel) { return luminance(pixel & 0xFFFFFF) > 0.2; };
    for (int scale : {1, 2}) {
        const int band = 5 * scale, width = 320 * scale, height = 480 * scale;
        for (const Screen& screen : screens) {
            const std::string label = std::string(screen.name) + " at scale " + std::to_string(scale);
            const ArtCanvas shown = compose(screen.pictures, scale);
            const Room& allowed = screen.edgeAllowed;
            int nearEdge = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    if (x >= band && y >= band && x < width - band && y < height - band) continue;
                    if (x >= allowed.x * scale && x < (allowed.x + allowed.w) * scale &&
                        y >= allowed.y * scale && y < (allowed.y + allowed.h) * scale)
                        continue;
                    if (!lit(shown.pixel(x, y))) continue;
                    if (nearEdge++ == 0) firstX = x, firstY = y;
                }
            }
            EXPECT_EQ(nearEdge, 0) << label << ": " << nearEdge << " pixels of cards within " << band
                                   << " of the screen's edge, the first at (" << firstX << ", " << firstY
                                   << ")";
            if (!screen.balanced) continue;
            int left = width, right = -1;
            for (int y = 88 * scale; y < 395 * scale; ++y) {
                for (int x = 0; x < width; ++x) {
                    if (!lit(shown.pixel(x, y))) continue;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
            EXPECT_LE(std::abs(left - (width - 1 - right)), 4 * scale)
                << label << ": the cards leave " << left << " to their left and " << width - 1 - right
                << " to their right";
        }
    }
}

// What the player should never notice: a square round the loading animation that is not the splash
// beneath it, and bits of the game screen's bar left above the explanation screen's strip, which is
// drawn one row lower and with no bar under it.
TEST(ArtCatalogue, NothingShowsRoundTheSpinnerOrAboveTheExplanationsStrip) {
    for (int scale : {1, 2}) {
        const ArtCanvas splash = ArtCatalogue::drawSplash(scale, false);
        for (int frame = 0; frame < 8; ++frame) {
            const ArtCanvas spinner = ArtCatalogue::drawLoadingFrame(frame, scale, false);
            int differing = 0;
            for (int y = 0; y < spinner.height(); ++y) {
                for (int x = 0; x < spinner.width(); ++x) {
                    const bool rim =
                        x == 0 || y == 0 || x == spinner.width() - 1 || y == spinner.height() - 1;
                    if (rim)
                        differing += spinner.pixel(x, y) != splash.pixel(137 * scale + x, 347 * scale + y);
                }
            }
            EXPECT_EQ(differing, 0) << "loading frame " << frame << " at scale " << scale << ": " << differing
                                    << " pixels of its rim differ from the splash beneath";
        }
        const std::vector<Placed> explanation = {{"GAME_BG_0", 0, 0},        {"GAME_BG_1", 81, 0},
                                                 {"GAME_BG_2", 0, 109},      {"GAME_BG_3", 80, 108},
                                                 {"WEB_BASE_STRIP", 0, 396}, {"GAME_INFOBOX", 45, 97}};
        // The frame buffer is never cleared: the explanation is drawn over the game screen as it was.
        const ArtCanvas plain = compose(with(kGame, explanation), scale);
        const ArtCanvas afterBadges =
            compose(with(with(kGame, {centred("ICON_NUMBER_9", 70, 405), centred("ICON_NUMBER_8", 150, 405)}),
                         explanation),
                    scale);
        int left = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x) left += plain.pixel(x, y) != afterBadges.pixel(x, y);
        EXPECT_EQ(left, 0) << "the explanation at scale " << scale << " keeps " << left
                           << " pixels of the count badges";
    }
}

}  // namespace
}  // namespace toolstest
