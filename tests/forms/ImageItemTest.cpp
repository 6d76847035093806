#include "forms/ImageItem.h"

#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using formstest::FakeForm;
using formstest::layOut;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ImageItem;
using javax::microedition::lcdui::Item;
using testsupport::jstr;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::ImageItem);

namespace {

constexpr int kRed = 0xFF0000;
constexpr int kExpand = Item::LAYOUT_EXPAND | Item::LAYOUT_VEXPAND;

JavaPtr<Image> redImage(int width, int height) {
    JavaPtr<Image> image = Image::createImage(width, height);
    JavaPtr<javax::microedition::lcdui::Graphics> g = image->getGraphics();
    g->setColor(kRed);
    g->fillRect(0, 0, width, height);
    return image;
}

class ImageItemTest : public formstest::FormsFixture {};

TEST_F(ImageItemTest, SizesAreTheImagesPlusTheMarginsAndTheLabel) {
    struct Case {
        const char* name;
        const char* label;
        int imageWidth, imageHeight;  // 0: no image
        int minWidth, minHeight;
    };
    const Case cases[] = {
        {"40 x 30, no label", nullptr, 40, 30, 46, 36},
        {"with a label", "Photo", 40, 30, 46, 36 + testsupport::kTestFontHeight},
        {"no image", nullptr, 0, 0, 6, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<Image> image = c.imageWidth > 0 ? redImage(c.imageWidth, c.imageHeight) : nullptr;
        JavaPtr<ImageItem> item =
            jnew<ImageItem>(c.label ? jstr(c.label) : nullptr, image, Item::LAYOUT_DEFAULT, nullptr);
        EXPECT_EQ(item->getMinContentWidth(), c.imageWidth);
        EXPECT_EQ(item->getPrefContentHeight(99), c.imageHeight);
        EXPECT_EQ(item->getMinimumWidth(), c.minWidth);
        EXPECT_EQ(item->getMinimumHeight(), c.minHeight);
        EXPECT_EQ(item->getPreferredWidth(), c.minWidth);
        EXPECT_EQ(item->getPreferredHeight(), c.minHeight);
    }
}

TEST_F(ImageItemTest, AnItemWithoutAnImageNeverExpands) {
    const int layout = Item::LAYOUT_CENTER | kExpand | Item::LAYOUT_NEWLINE_AFTER;
    JavaPtr<ImageItem> item = jnew<ImageItem>(nullptr, nullptr, layout, jstr("alt"));
    EXPECT_EQ(item->getLayout(), layout);
    EXPECT_EQ(item->layoutInternal(), Item::LAYOUT_CENTER | Item::LAYOUT_NEWLINE_AFTER);
    item->setImage(redImage(4, 4));
    EXPECT_EQ(item->layoutInternal(), layout);
    item->setLayout(Item::LAYOUT_LEFT);
    EXPECT_EQ(item->getLayout(), Item::LAYOUT_LEFT);
}

TEST_F(ImageItemTest, StoresItsFieldsAndAsksTheFormForNothing) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(200);
    JavaPtr<ImageItem> plain = jnew<ImageItem>(jstr("l"), nullptr, 0, jstr("alt"));
    EXPECT_EQ(plain->getAppearanceMode(), Item::PLAIN);
    EXPECT_EQ(testsupport::narrow(plain->getAltText()), "alt");
    JavaPtr<ImageItem> link = jnew<ImageItem>(nullptr, nullptr, 0, nullptr, Item::HYPERLINK);
    EXPECT_EQ(link->getAppearanceMode(), Item::HYPERLINK);

    link->addToForm(form.get());
    layOut(*link, 0, 0, 6, 6);
    JavaPtr<Image> image = redImage(40, 30);
    link->setImage(image);
    link->setAltText(jstr("other"));
    EXPECT_EQ(link->getImage(), image);
    EXPECT_EQ(testsupport::narrow(link->getAltText()), "other");
    // The box stays until something else lays the form out again.
    EXPECT_EQ(link->m_width, 6);
    EXPECT_EQ(form->relayoutRequests, 0);
    EXPECT_EQ(form->repaintRequests, 0);
    link->removeFromForm();
}

TEST_F(ImageItemTest, PaintsTheImageAtTheContentCornerAndNoAlternativeText) {
    JavaPtr<ImageItem> item = jnew<ImageItem>(nullptr, redImage(4, 3), 0, jstr("alt"));
    // A box smaller than the image: the image is drawn whole all the same.
    layOut(*item, 10, 10, 8, 8);
    formstest::PaintTarget target(40, 40);
    item->paint(target.graphics);
    EXPECT_EQ(target.count(kRed, 13, 13, 4, 3), 12);
    EXPECT_EQ(target.count(kRed, 0, 0, 40, 40), 12);

    JavaPtr<ImageItem> empty = jnew<ImageItem>(nullptr, nullptr, 0, jstr("alt"));
    layOut(*empty, 0, 0, 40, 40);
    formstest::PaintTarget blank(40, 40);
    empty->paint(blank.graphics);
    EXPECT_EQ(blank.count(formstest::kWhite, 0, 0, 40, 40), 40 * 40);
}

}  // namespace
