#include "forms/ImageItem.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

ImageItem::~ImageItem() = default;

ImageItem* ImageItem::TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                            const JavaPtr<Image>& image, int layout,
                                            const JavaPtr<java::lang::String>& altText) {
    return TESLinvokeconstructor(label, image, layout, altText, PLAIN);
}

ImageItem* ImageItem::TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                            const JavaPtr<Image>& image, int layout,
                                            const JavaPtr<java::lang::String>& altText, int appearanceMode) {
    Item::TESLinvokeconstructor();
    init(label, image, layout, altText, appearanceMode);
    return this;
}

void ImageItem::init(const JavaPtr<java::lang::String>& label, const JavaPtr<Image>& image, int layout,
                     const JavaPtr<java::lang::String>& altText, int appearanceMode) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_label = label;
    m_image = image;
    m_layout = layout;
    m_altText = altText;
    m_appearanceMode = appearanceMode;
}

int ImageItem::getLayout() {
    return Item::getLayout();
}

void ImageItem::setLayout(int layout) {
    Item::setLayout(layout);
}

int ImageItem::layoutInternal() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_image ? m_layout : m_layout & ~(LAYOUT_EXPAND | LAYOUT_VEXPAND);
}

int ImageItem::getMinContentHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_image ? m_image->getHeight() : 0;
}

int ImageItem::getMinContentWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_image ? m_image->getWidth() : 0;
}

int ImageItem::getPrefContentWidth(int) {
    return getMinContentWidth();
}

int ImageItem::getPrefContentHeight(int) {
    return getMinContentHeight();
}

void ImageItem::paint(const JavaPtr<Graphics>& g, int, int) {
    LCDUIGuard lock(LCDUILock::mutex());
    g->drawImage(m_image, 0, 0, Graphics::TOP | Graphics::LEFT);
}

JavaPtr<java::lang::String> ImageItem::getAltText() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_altText;
}

int ImageItem::getAppearanceMode() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_appearanceMode;
}

JavaPtr<Image> ImageItem::getImage() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_image;
}

void ImageItem::setAltText(const JavaPtr<java::lang::String>& text) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_altText = text;
}

void ImageItem::setImage(const JavaPtr<Image>& image) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_image = image;
}

}  // namespace javax::microedition::lcdui
