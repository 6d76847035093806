// javax.microedition.media.Player: the life cycle of a sound (UNREALIZED, REALIZED, PREFETCHED,
// STARTED, CLOSED), its listeners and its position. PlayerImpl is the one implementation.
#pragma once

#include "media/Controllable.h"

namespace javax::microedition::media {

class PlayerListener;
// Named by the interface only: no time base exists.
class TimeBase;

class Player : public virtual Controllable {
    TESL_INTERFACE(Player, "javax.microedition.media.Player", Controllable)
public:
    static constexpr int CLOSED = 0;
    static constexpr int UNREALIZED = 100;
    static constexpr int REALIZED = 200;
    static constexpr int PREFETCHED = 300;
    static constexpr int STARTED = 400;
    static constexpr long long TIME_UNKNOWN = -1;

    JavaPtr<Control> getControl(const JavaPtr<::java::lang::String>& controlType) override = 0;
    JavaPtr<JArray<JavaPtr<Control>>> getControls() override = 0;
    ~Player() override = default;
    virtual void addPlayerListener(const JavaPtr<PlayerListener>& listener) = 0;
    virtual void close() = 0;
    virtual void deallocate() = 0;
    virtual JavaPtr<::java::lang::String> getContentType() = 0;
    virtual long long getDuration() = 0;
    virtual long long getMediaTime() = 0;
    virtual int getState() = 0;
    virtual JavaPtr<TimeBase> getTimeBase() = 0;
    virtual void prefetch() = 0;
    virtual void realize() = 0;
    virtual void removePlayerListener(const JavaPtr<PlayerListener>& listener) = 0;
    virtual void setLoopCount(int count) = 0;
    virtual long long setMediaTime(long long now) = 0;
    virtual void setTimeBase(const JavaPtr<TimeBase>& master) = 0;
    virtual void start() = 0;
    virtual void stop() = 0;
};

}  // namespace javax::microedition::media
