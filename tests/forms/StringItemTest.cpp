#include "forms/StringItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Font.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

using formstest::FakeForm;
using formstest::layOut;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::StringItem;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::StringItem);

namespace {

constexpr int kAdvance = testsupport::kTestFontAdvance;
constexpr int kLineHeight = testsupport::kTestFontHeight;

JavaPtr<Font> smallFont() {
    return Font::getFont(0, 0, 8);
}

JavaPtr<java::lang::String> units(const std::u16string& text) {
    return jnew<java::lang::String>(reinterpret_cast<const unsigned short*>(text.data()),
                                    static_cast<int>(text.size()));
}

// Every line of the text at the width, each as "line|next" with a "-" mark when hyphenated.
std::vector<std::string> wrapAll(const std::u16string& text, int width) {
    std::vector<std::string> lines;
    JavaPtr<java::lang::String> s = units(text);
    int start = 0;
    for (size_t guard = 0; guard <= text.size() + 1; ++guard) {
        int next = -7;
        bool hyphenated = false;
        int lineWidth = -7;
        JavaPtr<java::lang::String> line =
            StringItem::wrapTextLine(start, width, &next, &hyphenated, s, smallFont(), &lineWidth);
        // The width summed by the wrap is the line's own, hyphen included.
        EXPECT_EQ(lineWidth, smallFont()->stringWidth(line)) << narrow(line);
        lines.push_back(narrow(line) + "|" + std::to_string(next) + (hyphenated ? " hyphen" : ""));
        if (next == -1) return lines;
        if (next <= start) {
            lines.push_back("no progress");
            return lines;
        }
        start = next;
    }
    lines.push_back("too many lines");
    return lines;
}

class StringItemTest : public formstest::FormsFixture {};

TEST_F(StringItemTest, WrapTextLineBreaksAtWordsLineFeedsAndHyphens) {
    struct Case {
        const char* name;
        std::u16string text;
        int width;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"breaks after the last whole word: the space would overflow",
         u"hello world",
         5 * kAdvance,
         {"hello|6", "world|-1"}},
        {"a first word too wide takes a hyphen that exactly fits",
         u"abcdefghij",
         5 * kAdvance,
         {"abcd-|4 hyphen", "efgh-|8 hyphen", "ij|-1"}},
        {"two line feeds give an empty line between", u"ab\n\ncd", 1000, {"ab|3", "|4", "cd|-1"}},
        {"a final line feed adds no line", u"ab\n", 1000, {"ab|-1"}},
        {"several spaces are skipped after the break", u"a   b", kAdvance, {"a|4", "b|-1"}},
        {"the last line keeps trailing whitespace", u"ab  ", 1000, {"ab  |-1"}},
        {"leading whitespace stays on the first line", u"  ab", 1000, {"  ab|-1"}},
        {"width 0 takes one character a line", u"abc d", 0, {"a|1", "b|2", "c|4", "d|-1"}},
        {"a negative width too", u"ab", -5, {"a|1", "b|-1"}},
        {"a line feed after skipped spaces starts the next line",
         u"ab  \ncd",
         2 * kAdvance,
         {"ab|4", "|5", "cd|-1"}},
        {"tabs and carriage returns break like spaces",
         u"ab\tcd\ref",
         3 * kAdvance,
         {"ab|3", "cd|6", "ef|-1"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wrapAll(c.text, c.width), c.lines);
    }
}

TEST_F(StringItemTest, WrapTextLineAlwaysMakesProgress) {
    // The form layout's inline flow relies on every line taking at least one character.
    const std::u16string texts[] = {u"a  b", u"   ", u" \n \n", u"word\t\r\nx",
                                    u"x y z  long-word-here  end "};
    for (const std::u16string& text : texts) {
        for (int width = -1; width <= 8 * kAdvance; ++width) {
            SCOPED_TRACE(std::to_string(width) + " " + narrow(units(text)));
            const std::vector<std::string> lines = wrapAll(text, width);
            ASSERT_FALSE(lines.empty());
            EXPECT_NE(lines.back(), "no progress");
            EXPECT_NE(lines.back(), "too many lines");
        }
    }
}

TEST_F(StringItemTest, WrapTextLineOfEmptyAndNullText) {
    JavaPtr<java::lang::String> empty = jstr("");
    int next = 5;
    bool hyphenated = true;
    JavaPtr<java::lang::String> line =
        StringItem::wrapTextLine(0, 30, &next, &hyphenated, empty, smallFont());
    EXPECT_EQ(line, empty);
    EXPECT_EQ(next, -1);
    int lineWidth = -7;
    StringItem::wrapTextLine(0, 30, nullptr, nullptr, empty, smallFont(), &lineWidth);
    EXPECT_EQ(lineWidth, 0);
    EXPECT_FALSE(hyphenated);

    next = 5;
    hyphenated = true;
    EXPECT_EQ(StringItem::wrapTextLine(0, 30, &next, &hyphenated, nullptr, smallFont()), nullptr);
    EXPECT_EQ(StringItem::wrapTextLine(0, 30, &next, &hyphenated, jstr("abc"), nullptr), nullptr);
    EXPECT_EQ(next, 5);
    EXPECT_TRUE(hyphenated);
    // The out-parameters may be left out.
    EXPECT_EQ(narrow(StringItem::wrapTextLine(0, 30, nullptr, nullptr, jstr("abc"), smallFont())), "abc");
    // A start outside the text is the runtime's exception, not a read beyond it.
    for (int start : {-1, 3, 100}) {
        EXPECT_TRUE(testsupport::throws<java::lang::StringIndexOutOfBoundsException>(
            [&] { StringItem::wrapTextLine(start, 30, nullptr, nullptr, jstr("abc"), smallFont()); }));
    }
}

TEST_F(StringItemTest, OutsideAFormItHasNoLinesAndPaintsNothing) {
    JavaPtr<StringItem> item = jnew<StringItem>(jstr("Label"), jstr("some text"));
    EXPECT_EQ(item->getLines(), nullptr);
    EXPECT_EQ(item->m_contentWidth, -1);
    EXPECT_EQ(item->m_contentHeight, -1);
    EXPECT_EQ(item->getAppearanceMode(), Item::PLAIN);
    formstest::PaintTarget target(40, 40);
    item->paint(target.graphics, 40, 40);
    EXPECT_EQ(target.count(formstest::kWhite, 0, 0, 40, 40), 40 * 40);
}

TEST_F(StringItemTest, JoiningAFormWrapsToItsUsableWidth) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<std::string> lines;
        int contentWidth, contentHeight;
    };
    const Case cases[] = {
        {"one line gives its own width", "hello", {"hello"}, 5 * kAdvance, kLineHeight},
        {"three lines give three heights and the usable width",
         "first line\nsecond\nthird",
         {"first line", "second", "third"},
         100,
         3 * kLineHeight},
        {"wrapped at the usable width",
         "aaaaaaaa bbbbbbbb cccccccc",
         {"aaaaaaaa", "bbbbbbbb", "cccccccc"},
         100,
         3 * kLineHeight},
        {"the empty text is one empty line", "", {""}, 0, kLineHeight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<FakeForm> form = jnew<FakeForm>(100);
        JavaPtr<StringItem> item = jnew<StringItem>(nullptr, jstr(c.text));
        item->addToForm(form.get());
        std::vector<std::string> lines;
        for (const auto& line : *item->getLines()) lines.push_back(narrow(line));
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(item->m_contentWidth, c.contentWidth);
        EXPECT_EQ(item->m_contentHeight, c.contentHeight);
        EXPECT_EQ(item->getPrefContentWidth(-1), c.contentWidth);
        EXPECT_EQ(item->getPrefContentHeight(-1), c.contentHeight);
        item->removeFromForm();
    }
}

TEST_F(StringItemTest, ALockedWidthWrapsThereAndDropsTheExpandBits) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(formstest::kScreenWidth - 10);
    JavaPtr<StringItem> item = jnew<StringItem>(nullptr, jstr("abcde fghij klmno pqrst uvwxy z"));
    item->setLayout(Item::LAYOUT_CENTER);
    item->addToForm(form.get());
    // Unlocked: one line across the usable width, free to expand, at least a quarter of the screen.
    EXPECT_EQ(item->getLines()->length, 1);
    EXPECT_EQ(item->layoutInternal(), Item::LAYOUT_CENTER | Item::LAYOUT_EXPAND | Item::LAYOUT_VEXPAND);
    EXPECT_EQ(item->getMinContentWidth(), formstest::kScreenWidth / 4);
    EXPECT_EQ(item->getMinContentHeight(), kLineHeight);

    item->setPreferredSize(100, -1);
    // 16 characters of 6 pixels fit in 100: two words and their space.
    std::vector<std::string> lines;
    for (const auto& line : *item->getLines()) lines.push_back(narrow(line));
    EXPECT_EQ(lines, (std::vector<std::string>{"abcde fghij", "klmno pqrst", "uvwxy z"}));
    EXPECT_EQ(item->m_contentWidth, 100);
    EXPECT_EQ(item->m_contentHeight, 3 * kLineHeight);
    EXPECT_EQ(item->layoutInternal(), Item::LAYOUT_CENTER);
    EXPECT_EQ(item->getMinContentWidth(), 100);
    EXPECT_EQ(item->getMinContentHeight(), 3 * kLineHeight);
    // Centred within the locked width.
    EXPECT_EQ(item->getLineX()->data[0], (100 - 11 * kAdvance) / 2);
    EXPECT_EQ(item->getLineY()->data[2], 2 * kLineHeight);

    item->setPreferredSize(-1, -1);
    EXPECT_EQ(item->getLines()->length, 1);
    item->removeFromForm();
}

TEST_F(StringItemTest, LinesAlignWithinTheGivenWidth) {
    struct Case {
        int layout;
        int x;
    };
    // A 36-pixel line in a 101-pixel width.
    const Case cases[] = {{Item::LAYOUT_DEFAULT, 0},
                          {Item::LAYOUT_LEFT, 0},
                          {Item::LAYOUT_RIGHT, 65},
                          {Item::LAYOUT_CENTER, 32},
                          {Item::LAYOUT_CENTER | Item::LAYOUT_NEWLINE_AFTER, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout);
        JavaPtr<FakeForm> form = jnew<FakeForm>(200);
        JavaPtr<StringItem> item = jnew<StringItem>(nullptr, jstr("abcdef"));
        item->setLayout(c.layout);
        item->addToForm(form.get());
        item->wrapTextLines(101);
        EXPECT_EQ(item->getLineX()->data[0], c.x);
        item->wrapTextLines(-1);
        EXPECT_EQ(item->getLineX()->data[0], c.layout == Item::LAYOUT_RIGHT ? 200 - 36 : c.x == 0 ? 0 : 82);
        item->removeFromForm();
    }
}

TEST_F(StringItemTest, SettersRewrapAndNullTextLeavesNoLines) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(100);
    JavaPtr<StringItem> item = jnew<StringItem>(jstr("L"), jstr("x"), Item::BUTTON);
    EXPECT_EQ(item->getAppearanceMode(), Item::BUTTON);
    item->addToForm(form.get());
    item->setText(jstr("one\ntwo"));
    EXPECT_EQ(item->getLines()->length, 2);
    EXPECT_EQ(item->m_contentHeight, 2 * kLineHeight);
    item->setFont(nullptr);
    ASSERT_TRUE(item->getFont());
    EXPECT_EQ(item->getFont()->fontByte(), smallFont()->fontByte());
    item->setText(nullptr);
    EXPECT_EQ(item->getLines(), nullptr);
    EXPECT_EQ(item->m_contentHeight, 0);
    // The setters ask the form for nothing.
    EXPECT_EQ(form->relayoutRequests, 0);
    EXPECT_EQ(form->repaintRequests, 0);
    item->removeFromForm();
}

TEST_F(StringItemTest, PaintsItsLinesAndAnInlineHighlight) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(200);
    JavaPtr<StringItem> item = jnew<StringItem>(nullptr, jstr("ab\ncd"));
    item->addToForm(form.get());
    layOut(*item, 10, 20, 2 * kAdvance + 6, 2 * kLineHeight + 6);
    formstest::PaintTarget target(100, 100);
    item->paint(target.graphics);
    // Content at (13, 23): each glyph a frame from one row down, lines one font height apart.
    EXPECT_EQ(target.pixel(13, 24), formstest::kForeground);
    EXPECT_EQ(target.pixel(13, 23), formstest::kWhite);
    EXPECT_EQ(target.pixel(13, 24 + kLineHeight), formstest::kForeground);
    EXPECT_EQ(target.pixel(13 + kAdvance, 24 + kLineHeight), formstest::kForeground);
    EXPECT_EQ(target.pixel(13 + 5, 24), formstest::kWhite);

    // Highlighted while laid out as a block: a border, the lines as before.
    form->highlighted = item.get();
    item->paint(target.graphics);
    EXPECT_EQ(target.pixel(10, 20), formstest::kHighlightedBorder);
    EXPECT_EQ(target.pixel(13, 23), formstest::kWhite);

    // Flowed inline: each line on a highlighted background, no border.
    formstest::PaintTarget inlineTarget(100, 100);
    item->m_inline = true;
    item->paint(inlineTarget.graphics);
    EXPECT_EQ(inlineTarget.pixel(10, 20), formstest::kWhite);
    EXPECT_EQ(inlineTarget.pixel(13, 23), formstest::kHighlightedBackground);
    EXPECT_EQ(inlineTarget.pixel(13, 24), formstest::kHighlightedForeground);
    EXPECT_EQ(
        inlineTarget.count(formstest::kHighlightedBackground, 13, 23, 2 * kAdvance, 2 * kLineHeight) +
            inlineTarget.count(formstest::kHighlightedForeground, 13, 23, 2 * kAdvance, 2 * kLineHeight),
        2 * kAdvance * 2 * kLineHeight);
    item->m_inline = false;
    item->removeFromForm();
}

}  // namespace
