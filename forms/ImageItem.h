// javax.microedition.lcdui.ImageItem: one image, with an optional label and an alternative text that is
// stored but never drawn. Its content area is exactly the image.
#pragma once

#include <cstdint>

#include "forms/Item.h"

namespace javax::microedition::lcdui {

class Image;

class ImageItem : public Item {
    TESL_CLASS(ImageItem, "javax.microedition.lcdui.ImageItem", Item)
public:
    static constexpr int LAYOUT_DEFAULT = Item::LAYOUT_DEFAULT;
    static constexpr int LAYOUT_LEFT = Item::LAYOUT_LEFT;
    static constexpr int LAYOUT_RIGHT = Item::LAYOUT_RIGHT;
    static constexpr int LAYOUT_CENTER = Item::LAYOUT_CENTER;
    static constexpr int LAYOUT_NEWLINE_BEFORE = Item::LAYOUT_NEWLINE_BEFORE;
    static constexpr int LAYOUT_NEWLINE_AFTER = Item::LAYOUT_NEWLINE_AFTER;

    ImageItem() noexcept {}
    ~ImageItem() override;

    // Nothing is checked: any layout word, a null image and any appearance mode are taken as they are.
    ImageItem* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, const JavaPtr<Image>& image,
                                     int layout, const JavaPtr<java::lang::String>& altText);
    ImageItem* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, const JavaPtr<Image>& image,
                                     int layout, const JavaPtr<java::lang::String>& altText,
                                     int appearanceMode);

    int getLayout() override;
    void setLayout(int layout) override;
    // Without an image the expand bits are dropped, so an empty image item never grows.
    int layoutInternal() override;
    int getMinContentHeight() override;
    int getMinContentWidth() override;
    int getPrefContentWidth(int height) override;
    int getPrefContentHeight(int width) override;
    using Item::paint;
    // The image at the content area's top-left corner, at its own size whatever the area's.
    void paint(const JavaPtr<Graphics>& g, int w, int h) override;

    virtual JavaPtr<java::lang::String> getAltText();
    virtual int getAppearanceMode();
    virtual JavaPtr<Image> getImage();
    virtual void setAltText(const JavaPtr<java::lang::String>& text);
    // Stored only: the item shows the new image, at its new size, after the next layout something else
    // asks for.
    virtual void setImage(const JavaPtr<Image>& image);

    void init(const JavaPtr<java::lang::String>& label, const JavaPtr<Image>& image, int layout,
              const JavaPtr<java::lang::String>& altText, int appearanceMode);

private:
    JavaPtr<Image> m_image;
    JavaPtr<java::lang::String> m_altText;
    int32_t m_appearanceMode = PLAIN;
};

}  // namespace javax::microedition::lcdui
