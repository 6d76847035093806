#include "shell/MIDlet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "shell/KeypressIDs.h"
#include "shell/ProxyMIDlet.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/Throws.h"

using java::lang::String;
using javax::microedition::midlet::MIDlet;
using testsupport::throws;

namespace {

// The application's MIDlet as the shell sees it: it records the life-cycle calls and its own end.
class RecordingMIDlet : public MIDlet {
    TESL_CLASS(RecordingMIDlet, "shelltest.RecordingMIDlet", MIDlet)
public:
    RecordingMIDlet() noexcept {}
    ~RecordingMIDlet() override { ++destroyed; }
    void startApp() override { calls.push_back("start"); }
    void pauseApp() override { calls.push_back("pause"); }
    void destroyApp(bool unconditional) override {
        calls.push_back(unconditional ? "destroy(true)" : "destroy(false)");
    }

    static inline std::vector<std::string> calls;
    static inline int destroyed = 0;
};

}  // namespace

QUILL_REGISTER_CLASSES(MIDlet, ProxyMIDlet, RecordingMIDlet);

namespace {

JavaPtr<String> text(const char* s) {
    return jnew<String>(s);
}

TEST(MIDlet, ClassIds) {
    EXPECT_EQ(MIDlet::TESLclassTypeID, static_cast<int32_t>(0xC81F7C52));
    EXPECT_EQ(ProxyMIDlet::TESLclassTypeID, static_cast<int32_t>(0xD3C1CEC1));
}

TEST(MIDlet, AppPropertiesAnswerTheDescriptorAndNullForAnyOtherKey) {
    const std::pair<const char*, const char*> table[] = {
        {"MIDlet-1", "Quillet,/Icon.png,AppMidlet"},
        {"MIDlet-Data-Size", "1000"},
        {"MIDlet-Description", "Quillet"},
        {"MIDlet-Name", "Quillet"},
        {"MIDlet-Vendor", "Marrowby"},
        {"MIDlet-Info-URL", "https://example.invalid/"},
        {"MIDlet-Icon", "/Icon.png"},
        {"MIDlet-Version", "1.3"},
        {"MIDlet-Jar-URL", "Quillet.jar"},
        {"MIDlet-Jar-Size", "-1"},
        {"Manifest-Version", "1.0"},
        {"MicroEdition-Configuration", "CLDC-1.1"},
        {"MicroEdition-Profile", "MIDP-2.0"},
    };
    JavaPtr<MIDlet> midlet = jnew<MIDlet>();
    for (const auto& [key, value] : table) {
        JavaPtr<String> answer = midlet->getAppProperty(text(key));
        ASSERT_TRUE(answer) << key;
        EXPECT_TRUE(answer->equals(text(value))) << key;
    }
    for (const char* key : {"midlet-name", "MIDlet-Name ", "", "Unknown"})
        EXPECT_FALSE(midlet->getAppProperty(text(key))) << "'" << key << "'";
    EXPECT_FALSE(midlet->getAppProperty(nullptr));
    EXPECT_NE(midlet->getAppProperty(text("MIDlet-Name")), midlet->getAppProperty(text("MIDlet-Name")))
        << "each call builds a new string";
}

TEST(MIDlet, PermissionsAreUnknownAndPlatformRequestsGoToTheHost) {
    JavaPtr<MIDlet> midlet = jnew<MIDlet>();
    EXPECT_EQ(midlet->checkPermission(text("javax.microedition.io.Connector.http")), -1);
    EXPECT_EQ(midlet->checkPermission(nullptr), -1);

    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { midlet->platformRequest(nullptr); }));
    EXPECT_FALSE(midlet->platformRequest(text("https://example.invalid/"))) << "no host";
    testsupport::RecordingHost host;
    EXPECT_TRUE(midlet->platformRequest(text("https://example.invalid/a")));
    EXPECT_FALSE(midlet->platformRequest(text(""))) << "an empty address never reaches the host";
    host.openUrlAnswer = false;
    EXPECT_FALSE(midlet->platformRequest(text("https://example.invalid/b"))) << "the opener did not start";
    EXPECT_EQ(host.urlsOpened,
              (std::vector<std::string>{"https://example.invalid/a", "https://example.invalid/b"}));
}

TEST(MIDlet, NotifyDestroyedRaisesTheQuitFlagForGood) {
    JavaPtr<MIDlet> midlet = jnew<MIDlet>();
    midlet->notifyPaused();
    midlet->resumeRequest();
    EXPECT_FALSE(MIDlet::quitInvoked.load());
    midlet->notifyDestroyed();
    midlet->notifyDestroyed();
    EXPECT_TRUE(MIDlet::quitInvoked.load());
    MIDlet::quitInvoked.store(false);  // for the other tests of this process
}

TEST(ProxyMIDlet, ForwardsTheLifeCycleAndFreesTheMIDletWithItself) {
    ProxyMIDlet::setMIDletFactory(nullptr);
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([] { jnew<ProxyMIDlet>(); }));

    RecordingMIDlet::calls.clear();
    RecordingMIDlet::destroyed = 0;
    ProxyMIDlet::setMIDletFactory([] { return JavaPtr<MIDlet>(jnew<RecordingMIDlet>()); });
    JavaPtr<ProxyMIDlet> proxy = jnew<ProxyMIDlet>();
    proxy->startApp();
    proxy->pauseApp();
    proxy->startApp();
    proxy->destroyApp(false);
    proxy->destroyApp(true);
    EXPECT_EQ(RecordingMIDlet::calls,
              (std::vector<std::string>{"start", "pause", "start", "destroy(false)", "destroy(true)"}));
    proxy->notifyDestroyed();
    EXPECT_TRUE(MIDlet::quitInvoked.load());
    MIDlet::quitInvoked.store(false);

    JavaPtr<MIDlet> actual = proxy->getActualMidlet();
    ASSERT_TRUE(actual);
    EXPECT_EQ(actual->getClassTypeName(), std::string("shelltest.RecordingMIDlet"));
    proxy = nullptr;
    EXPECT_EQ(RecordingMIDlet::destroyed, 0) << "still held by the caller";
    actual = nullptr;
    EXPECT_EQ(RecordingMIDlet::destroyed, 1);

    // Without another holder the MIDlet goes with its proxy.
    jnew<ProxyMIDlet>();
    EXPECT_EQ(RecordingMIDlet::destroyed, 2);
    ProxyMIDlet::setMIDletFactory(nullptr);
}

TEST(KeypressIDs, DeviceCodesByKeyNumber) {
    const std::pair<int, int> table[] = {
        {0, 48},    {5, 53},    {9, 57},    {10, 35},    {11, 42},   {12, -8},   {13, -1},
        {14, -236}, {15, -237}, {16, -3},   {17, -4},    {18, -1},   {19, -2},   {20, -5},
        {21, -1},   {23, -1},   {24, -6},   {25, -7},    {26, -234}, {27, -235}, {28, -238},
        {29, -1},   {-1, -1},   {65536, 0}, {65535, -1},
    };
    for (const auto& [key, code] : table) EXPECT_EQ(expectedKeypressID(key), code) << "key " << key;
}

}  // namespace
