#include <gtest/gtest.h>

#include <string>

#include "library/FileInputStream.h"
#include "library/InputStream.h"
#include "runtime/Class.h"
#include "runtime/String.h"
#include "tests/library/FileFixture.h"
#include "tests/support/StringText.h"

using java::io::InputStream;
using java::lang::Class;
using java::lang::String;
using testsupport::jstr;

namespace {

class ClassResources : public testsupport::FileFixture {
protected:
    static std::string readAll(const JavaPtr<InputStream>& in) {
        std::string bytes;
        for (int b = in->read(); b >= 0; b = in->read()) bytes.push_back(static_cast<char>(b));
        return bytes;
    }
    JavaPtr<Class> anyClass() { return jstr("any")->getClass(); }
};

}  // namespace

TEST_F(ClassResources, OpensBundleAndDataFilesByName) {
    testsupport::writeTextFile(bundle() / "topics.dat", "bundle bytes");
    testsupport::writeTextFile(bundle() / "img" / "logo_png", "png bytes");
    testsupport::writeTextFile(data() / "rs_1", "saved");
    const struct {
        const char* name;
        const char* contents;
    } cases[] = {
        {"/topics.dat", "bundle bytes"},
        {"/img/logo.png", "png bytes"},
        {"rs_1", "saved"},
    };
    for (const auto& c : cases) {
        JavaPtr<InputStream> in = anyClass()->getResourceAsStream(jstr(c.name));
        ASSERT_TRUE(in) << c.name;
        EXPECT_TRUE(jinstanceof<java::io::FileInputStream>(in));
        EXPECT_EQ(readAll(in), c.contents) << c.name;
    }
}

TEST_F(ClassResources, MissingOrUnusableNamesGiveNull) {
    testsupport::writeTextFile(bundle() / "logo.png", "stored under the wrong name");
    testsupport::writeTextFile(bundle() / "topics.dat", "x");
    std::filesystem::create_directories(bundle() / "folder");
    for (const char* name :
         {"/missing.dat", "/logo.png", "topics.dat", "/folder", "/../bundle/topics.dat", ""}) {
        EXPECT_FALSE(anyClass()->getResourceAsStream(jstr(name))) << name;
    }
    EXPECT_FALSE(anyClass()->getResourceAsStream(JavaPtr<String>()));
}

TEST_F(ClassResources, TheClassAskedPlaysNoPart) {
    testsupport::writeTextFile(bundle() / "a.dat", "A");
    JavaPtr<InputStream> fromArrayClass =
        jnew<JArray<int>>(1)->getClass()->getResourceAsStream(jstr("/a.dat"));
    JavaPtr<InputStream> fromVoid = jnew<Class>()->getResourceAsStream(jstr("/a.dat"));
    ASSERT_TRUE(fromArrayClass);
    ASSERT_TRUE(fromVoid);
    EXPECT_EQ(readAll(fromVoid), "A");
}
