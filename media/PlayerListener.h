// javax.microedition.media.PlayerListener: told of a player's events, and the names of those events.
// A listener receives the very String object held by the static, so it may compare by identity.
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::media {

class Player;

class PlayerListener : public virtual ::java::lang::Smart {
    TESL_INTERFACE(PlayerListener, "javax.microedition.media.PlayerListener", ::java::lang::Smart)
public:
    virtual void playerUpdate(const JavaPtr<Player>& player, const JavaPtr<::java::lang::String>& event,
                              const JavaPtr<::java::lang::Object>& eventData) = 0;
    ~PlayerListener() override = default;

    static void PlayerListener_staticInit();
    static void PlayerListener_staticDestroy();

    static constinit JavaPtr<::java::lang::String> CLOSED;
    static constinit JavaPtr<::java::lang::String> BUFFERING_STARTED;
    static constinit JavaPtr<::java::lang::String> BUFFERING_STOPPED;
    static constinit JavaPtr<::java::lang::String> DEVICE_AVAILABLE;
    static constinit JavaPtr<::java::lang::String> DEVICE_UNAVAILABLE;
    static constinit JavaPtr<::java::lang::String> DURATION_UPDATED;
    static constinit JavaPtr<::java::lang::String> END_OF_MEDIA;
    static constinit JavaPtr<::java::lang::String> ERROR;
    static constinit JavaPtr<::java::lang::String> RECORD_ERROR;
    static constinit JavaPtr<::java::lang::String> RECORD_STARTED;
    static constinit JavaPtr<::java::lang::String> RECORD_STOPPED;
    static constinit JavaPtr<::java::lang::String> SIZE_CHANGED;
    static constinit JavaPtr<::java::lang::String> STARTED;
    static constinit JavaPtr<::java::lang::String> STOPPED;
    static constinit JavaPtr<::java::lang::String> STOPPED_AT_TIME;
    static constinit JavaPtr<::java::lang::String> VOLUME_CHANGED;
};

}  // namespace javax::microedition::media
