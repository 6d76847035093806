// The screens' tests start and end with the process-wide screen state at its start, and record what
// touch-area listeners hear.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/ScreenStatics.h"
#include "screens/TouchScreenAreaListener.h"
#include "tests/support/StringText.h"

namespace screenstest {

class ScreenFixture : public ::testing::Test {
protected:
    void SetUp() override { javax::microedition::lcdui::resetScreenStatics(); }
    void TearDown() override { javax::microedition::lcdui::resetScreenStatics(); }
};

// A touch-area listener writing each event as "code type relX,relY dx,dy inside|outside".
class TouchLog {
public:
    JavaPtr<javax::microedition::lcdui::TouchScreenAreaListener> listener() {
        return jnew<javax::microedition::lcdui::TouchScreenAreaListener>(&record, this);
    }
    std::vector<std::string> take() { return std::exchange(m_events, {}); }

private:
    static void record(void* context, const JavaPtr<java::lang::String>& code, int type, int relX, int relY,
                       int dx, int dy, bool inside) {
        static const char* const kTypes[] = {"pressed", "released", "dragged"};
        static_cast<TouchLog*>(context)->m_events.push_back(
            testsupport::narrow(code) + " " + (type >= 0 && type <= 2 ? kTypes[type] : "?") + " " +
            std::to_string(relX) + "," + std::to_string(relY) + " " + std::to_string(dx) + "," +
            std::to_string(dy) + (inside ? " inside" : " outside"));
    }

    std::vector<std::string> m_events;
};

}  // namespace screenstest
