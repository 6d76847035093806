// The stage of the resource and image tests: a canvas over a bundle written into a temporary folder
// with the resource writers, the resource tables put back between tests, and byte-array helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/HookCanvas.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "platform/files/FileSystemPaths.h"
#include "tests/shell/DisplayFixtures.h"
#include "tests/support/QuizStatics.h"
#include "tests/support/TemporaryDirectory.h"
#include "tools/ResourceMapWriter.h"

namespace enginetest {

using Bytes = std::vector<uint8_t>;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

inline JavaPtr<JArray<signed char>> toArray(const Bytes& bytes) {
    JavaPtr<JArray<signed char>> array = jnewArray<signed char>(static_cast<int>(bytes.size()));
    if (!bytes.empty()) std::memcpy(array->data, bytes.data(), bytes.size());
    return array;
}

inline Bytes toBytes(const JavaPtr<JArray<signed char>>& array) {
    if (!array) return {};
    const uint8_t* p = reinterpret_cast<const uint8_t*>(array->data);
    return Bytes(p, p + array->length);
}

using testsupport::resetResourceStatics;

class ResourceFixture : public shelltest::DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        m_savedBundle = _appPathIs;
        m_savedData = _savePathIs;
        platform::setFileSystemPaths(bundle.path().c_str(), bundle.path().c_str());
        resetResourceStatics();
        canvas = jnew<HookCanvas>();
    }
    void TearDown() override {
        canvas = nullptr;
        resetResourceStatics();
        _appPathIs = m_savedBundle;
        _savePathIs = m_savedData;
        DisplayFixture::TearDown();
    }

    // Writes the map's files into the bundle and reads the map.
    void install(const restools::ResourceMapWriter& map) {
        std::string error;
        ASSERT_TRUE(map.writeTo(bundle.path(), &error)) << error;
        canvas->initTessel();
    }
    void writeFile(const std::string& name, const Bytes& bytes) {
        testsupport::writeTextFile(bundle.path() / name, std::string(bytes.begin(), bytes.end()));
    }
    Bytes readFile(const std::string& name) {
        std::string text = testsupport::readTextFile(bundle.path() / name);
        return Bytes(text.begin(), text.end());
    }
    int slotsInUse() {
        int used = 0;
        for (int i = 0; i < 256; ++i) used += canvas->image_cache->data[i] ? 1 : 0;
        return used;
    }

    testsupport::TemporaryDirectory bundle;
    JavaPtr<HookCanvas> canvas;

private:
    const char* m_savedBundle = nullptr;
    const char* m_savedData = nullptr;
};

// A w x h mutable image, opaque white, for drawing tests; pixels read back as 0xAARRGGBB.
struct Surface {
    JavaPtr<Image> image;
    JavaPtr<Graphics> g;
    Surface(int w, int h) : image(Image::createImage(w, h)), g(image->getGraphics()) {}
    uint32_t at(int x, int y) {
        JavaPtr<JArray<int>> one = jnewArray<int>(1);
        image->getRGB(one, 0, 1, x, y, 1, 1);
        return static_cast<uint32_t>(one->data[0]);
    }
};

inline std::vector<uint32_t> pixelsOf(const JavaPtr<Image>& image) {
    JavaPtr<JArray<int>> all = jnewArray<int>(image->getWidth() * image->getHeight());
    image->getRGB(all, 0, image->getWidth(), 0, 0, image->getWidth(), image->getHeight());
    return std::vector<uint32_t>(reinterpret_cast<uint32_t*>(all->data),
                                 reinterpret_cast<uint32_t*>(all->data) + all->length);
}

}  // namespace enginetest
