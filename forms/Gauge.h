// javax.microedition.lcdui.Gauge: a value shown as a row of blocks between two arrows, or, for an
// indefinite range, a ball running along a track. An alert may hold a non-interactive gauge as its
// progress indicator; while it does, the gauge refuses the changes an indicator must not undergo.
#pragma once

#include <cstdint>

#include "forms/Item.h"

namespace javax::microedition::lcdui {

class Gauge : public Item {
    TESL_CLASS(Gauge, "javax.microedition.lcdui.Gauge", Item)
public:
    static constexpr int INDEFINITE = -1;
    static constexpr int CONTINUOUS_IDLE = 0;
    static constexpr int INCREMENTAL_IDLE = 1;
    static constexpr int CONTINUOUS_RUNNING = 2;
    static constexpr int INCREMENTAL_UPDATING = 3;

    Gauge() noexcept {}
    ~Gauge() override;

    Gauge* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, bool interactive, int maxValue,
                                 int initialValue);

    void addCommand(const JavaPtr<Command>& cmd) override;
    void setDefaultCommand(const JavaPtr<Command>& cmd) override;
    void setItemCommandListener(const JavaPtr<ItemCommandListener>& l) override;
    void setLabel(const JavaPtr<java::lang::String>& label) override;
    void setLayout(int layout) override;
    void setPreferredSize(int width, int height) override;
    int layoutInternal() override;
    bool requiresOwnRow() override;
    void tick(long long nowMs) override;
    int getMinContentHeight() override;
    int getMinContentWidth() override;
    int getPrefContentWidth(int height) override;
    int getPrefContentHeight(int width) override;
    using Item::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override;
    bool traverse(int dir, int viewportWidth, int viewportHeight,
                  const JavaPtr<JArray<int>>& visRect) override;
    void rebuildTouchscreenAreas() override;
    void touchscreenAreaEvent(const JavaPtr<java::lang::String>& code, int eventType, int relX, int relY,
                              int dx, int dy, bool inside) override;

    virtual int getMaxValue();
    virtual int getValue();
    virtual bool isInteractive();
    virtual void setMaxValue(int maxValue);
    virtual void setValue(int value);

    // Set and cleared by the alert that holds the gauge as its indicator.
    bool m_isAlertIndicator = false;

private:
    void paintDefinite(const JavaPtr<Graphics>& g, int w, int h);
    void paintIndefinite(const JavaPtr<Graphics>& g, int w, int h);
    int blockCount(int w) const;
    // The value block k (from 1) of n stands for: the blocks span the whole range, the last is the maximum.
    int valueOfBlock(int relX) const;
    void changeValueByUser(int value);
    void refuseWhileIndicator() const;

    bool m_interactive = false;
    int32_t m_maxValue = 0;
    int32_t m_value = 0;
    int32_t m_animFrame = 0;
    int64_t m_lastAnimMS = -1;
    bool m_areasRegistered = false;
    JavaPtr<java::lang::String> m_leftAreaCode;
    JavaPtr<java::lang::String> m_rightAreaCode;
    JavaPtr<java::lang::String> m_gaugeAreaCode;
    // The block count of the last paint, which touches on the blocks are measured against.
    int32_t m_paintedBlocks = 0;
    // The press of the current touch was on the blocks: only such a touch drags the value.
    bool m_dragOnBlocks = false;
};

}  // namespace javax::microedition::lcdui
