#include "forms/Gauge.h"

#include "forms/LCDUIColours.h"
#include "graphics/Graphics.h"
#include "library/DeviceClock.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

using java::lang::String;

namespace {

constexpr int kBlockPitch = 10;
constexpr int kBlockSize = 8;
constexpr int kArrowRoom = 20;
constexpr int kMinWidth = 70;
constexpr int kMinHeight = 8;
constexpr int kAnimFrames = 20;
constexpr long long kAnimStepMs = 300;
constexpr int kPress = 0;
constexpr int kDrag = 2;

JavaPtr<String> text(const char* s) {
    return jnew<String>(s);
}

int limit(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

}  // namespace

Gauge::~Gauge() = default;

Gauge* Gauge::TESLinvokeconstructor(const JavaPtr<String>& label, bool interactive, int maxValue,
                                    int initialValue) {
    Item::TESLinvokeconstructor();
    LCDUIGuard lock(LCDUILock::mutex());
    Item::setLabel(label);
    m_interactive = interactive;
    m_value = 0;
    m_maxValue = interactive ? 1 : INDEFINITE;
    setMaxValue(maxValue);
    setValue(initialValue);
    m_animFrame = 0;
    m_lastAnimMS = -1;
    m_isAlertIndicator = false;
    m_areasRegistered = false;
    JavaPtr<String> base = TouchScreenAreaManager::getUniqueBaseCode(text("Gauge"));
    m_leftAreaCode = base->concat(text("left"));
    m_rightAreaCode = base->concat(text("right"));
    m_gaugeAreaCode = base->concat(text("gauge"));
    return this;
}

void Gauge::refuseWhileIndicator() const {
    if (m_isAlertIndicator) throw java::lang::IllegalStateException();
}

void Gauge::addCommand(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    refuseWhileIndicator();
    Item::addCommand(cmd);
}

void Gauge::setDefaultCommand(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    refuseWhileIndicator();
    Item::setDefaultCommand(cmd);
}

void Gauge::setItemCommandListener(const JavaPtr<ItemCommandListener>& l) {
    LCDUIGuard lock(LCDUILock::mutex());
    refuseWhileIndicator();
    Item::setItemCommandListener(l);
}

void Gauge::setLabel(const JavaPtr<String>& label) {
    LCDUIGuard lock(LCDUILock::mutex());
    refuseWhileIndicator();
    Item::setLabel(label);
}

void Gauge::setLayout(int layout) {
    LCDUIGuard lock(LCDUILock::mutex());
    refuseWhileIndicator();
    Item::setLayout(layout);
}

void Gauge::setPreferredSize(int width, int height) {
    LCDUIGuard lock(LCDUILock::mutex());
    refuseWhileIndicator();
    Item::setPreferredSize(width, height);
}

int Gauge::layoutInternal() {
    return LAYOUT_LEFT | LAYOUT_EXPAND;
}

bool Gauge::requiresOwnRow() {
    return true;
}

void Gauge::tick(long long) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_maxValue != INDEFINITE || m_value != CONTINUOUS_RUNNING) return;
    const long long now = java::lang::DeviceClock::currentTimeMillis();
    if (now > m_lastAnimMS + kAnimStepMs) {
        m_lastAnimMS = now;
        m_animFrame = (m_animFrame + 1) % kAnimFrames;
        repaint();
    }
}

int Gauge::getMinContentHeight() {
    return kMinHeight;
}

int Gauge::getMinContentWidth() {
    return kMinWidth;
}

int Gauge::getPrefContentWidth(int) {
    return kMinWidth;
}

int Gauge::getPrefContentHeight(int) {
    return kMinHeight;
}

int Gauge::blockCount(int w) const {
    if (w > kMinWidth) {
        const int n = (w - kArrowRoom) / kBlockPitch;
        return n < m_maxValue ? n : m_maxValue;
    }
    return m_maxValue < 5 ? m_maxValue : 5;
}

void Gauge::paint(const JavaPtr<Graphics>& g, int w, int h) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_maxValue == INDEFINITE) {
        paintIndefinite(g, w, h);
    } else {
        paintDefinite(g, w, h);
    }
    m_areasRegistered = true;
}

void Gauge::paintDefinite(const JavaPtr<Graphics>& g, int w, int h) {
    g->setColor(m_interactive ? _LCDUI_COLOR_FOREGROUND : _LCDUI_COLOR_FOREGROUND_INACTIVE);
    const int n = blockCount(w);
    m_paintedBlocks = n;
    const int x0 = ((w - kArrowRoom) - kBlockPitch * n) / 2;
    const int y0 = (h - kMinHeight) / 2;
    const int blocksLeft = x0 + kBlockPitch;
    const int rightArrowX = blocksLeft + kBlockPitch * n;
    // Both arrows' areas are registered whether or not an arrow shows: an arrow that appears later (a
    // gauge that starts at 0) must answer at once, and a press on a hidden one changes nothing as the
    // value is limited. A non-interactive gauge takes no touches, so it registers nothing.
    const bool registerNow = m_interactive && !m_areasRegistered;
    if (m_interactive && m_value > 0) {
        DisplayableCoreCanvas::drawHorizontalArrow(g, true, x0, y0, kBlockSize, kBlockSize, 2, 4);
    }
    if (registerNow) registerArea(x0, y0, x0 + kBlockSize, y0 + kBlockSize, m_leftAreaCode);
    // In 64 bits: a large maximum (a byte count) times the block count overflows an int.
    const int filled = static_cast<int>(static_cast<int64_t>(n) * m_value / m_maxValue);
    if (registerNow)
        registerArea(blocksLeft, y0, blocksLeft + kBlockPitch * n, y0 + kBlockSize, m_gaugeAreaCode);
    for (int i = 0; i < n; ++i) {
        const int x = blocksLeft + kBlockPitch * i;
        if (i < filled) {
            g->fillRect(x, y0, kBlockSize, kBlockSize);
        } else {
            g->drawRect(x, y0, kBlockSize, kBlockSize);
        }
    }
    if (m_interactive && m_value < m_maxValue) {
        DisplayableCoreCanvas::drawHorizontalArrow(g, false, rightArrowX, y0, kBlockSize, kBlockSize, 2, 4);
    }
    if (registerNow)
        registerArea(rightArrowX, y0, rightArrowX + kBlockSize, y0 + kBlockSize, m_rightAreaCode);
}

void Gauge::paintIndefinite(const JavaPtr<Graphics>& g, int w, int h) {
    const bool idle = m_value == CONTINUOUS_IDLE || m_value == INCREMENTAL_IDLE;
    g->setColor(idle ? _LCDUI_COLOR_FOREGROUND_INACTIVE : _LCDUI_COLOR_FOREGROUND);
    const int mid = h / 2;
    g->drawLine(0, 0, 0, h);
    g->drawLine(0, mid, w - 1, mid);
    g->drawLine(w - 1, 0, w - 1, h);
    const int width = w - 10;
    const int f = m_animFrame;
    const int x = f <= 10 ? width - f * width / 10 : (2 * f - 20) * width / 20;
    g->drawArc(x, mid - 5, 10, 10, 0, 360);
    if (m_value == INCREMENTAL_IDLE || m_value == INCREMENTAL_UPDATING)
        g->drawArc(x + 2, mid - 3, 6, 6, 0, 360);
}

bool Gauge::traverse(int dir, int, int, const JavaPtr<JArray<int>>&) {
    LCDUIGuard lock(LCDUILock::mutex());
    // A non-interactive gauge shows a value the user may not change: it lets the focus pass.
    if (m_isAlertIndicator || m_maxValue == INDEFINITE || !m_interactive) return false;
    if (dir == Canvas::LEFT) {
        changeValueByUser(m_value - 1);
        return true;
    }
    if (dir == Canvas::RIGHT) {
        changeValueByUser(m_value + 1);
        return true;
    }
    return false;
}

void Gauge::rebuildTouchscreenAreas() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_areasRegistered = false;
}

int Gauge::valueOfBlock(int relX) const {
    const int n = m_paintedBlocks > 0 ? m_paintedBlocks : 1;
    const long long block = relX / kBlockPitch + 1;
    if (block <= 0) return 0;
    // ceil(block * max / n) in 64 bits: a drag far to the right must not overflow before the limit.
    const long long value = (block * m_maxValue + n - 1) / n;
    return value > m_maxValue ? m_maxValue : static_cast<int>(value);
}

void Gauge::touchscreenAreaEvent(const JavaPtr<String>& code, int eventType, int relX, int, int, int, bool) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_interactive || m_maxValue == INDEFINITE || !code) return;
    if (eventType == kPress) {
        m_dragOnBlocks = code->equals(m_gaugeAreaCode);
        if (code->equals(m_leftAreaCode)) {
            changeValueByUser(m_value - 1);
        } else if (code->equals(m_rightAreaCode)) {
            changeValueByUser(m_value + 1);
        } else if (m_dragOnBlocks) {
            changeValueByUser(valueOfBlock(relX));
        }
    } else if (eventType == kDrag && m_dragOnBlocks && code->equals(m_gaugeAreaCode)) {
        changeValueByUser(valueOfBlock(relX));
    }
}

void Gauge::changeValueByUser(int value) {
    const int limited = limit(value, 0, m_maxValue);
    if (limited == m_value) return;
    m_value = limited;
    repaint();
    // A gauge outside a form has nobody to tell.
    if (m_owner != nullptr) notifyStateChanged();
}

int Gauge::getMaxValue() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_maxValue;
}

int Gauge::getValue() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_value;
}

bool Gauge::isInteractive() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_interactive;
}

void Gauge::setMaxValue(int maxValue) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (maxValue < 1 && (m_interactive || maxValue != INDEFINITE))
        throw java::lang::IllegalArgumentException();
    if (maxValue >= 1) {
        if (m_maxValue == INDEFINITE) {
            m_value = 0;
            m_maxValue = maxValue;
            // The bar replaces the ball: the form lays the gauge out again.
            invalidate();
            return;
        }
        if (m_value > maxValue) m_value = maxValue;
    } else if (m_maxValue != INDEFINITE) {
        m_value = CONTINUOUS_IDLE;
    }
    m_maxValue = maxValue;
}

void Gauge::setValue(int value) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_maxValue != INDEFINITE) {
        m_value = limit(value, 0, m_maxValue);
        return;
    }
    if (value < CONTINUOUS_IDLE || value > INCREMENTAL_UPDATING) throw java::lang::IllegalArgumentException();
    m_value = value;
    if (value == INCREMENTAL_UPDATING) {
        m_animFrame = (m_animFrame + 1) % kAnimFrames;
        repaint();
    }
}

}  // namespace javax::microedition::lcdui
