#include "media/PlayerListener.h"

namespace javax::microedition::media {

using ::java::lang::String;

constinit JavaPtr<String> PlayerListener::CLOSED;
constinit JavaPtr<String> PlayerListener::BUFFERING_STARTED;
constinit JavaPtr<String> PlayerListener::BUFFERING_STOPPED;
constinit JavaPtr<String> PlayerListener::DEVICE_AVAILABLE;
constinit JavaPtr<String> PlayerListener::DEVICE_UNAVAILABLE;
constinit JavaPtr<String> PlayerListener::DURATION_UPDATED;
constinit JavaPtr<String> PlayerListener::END_OF_MEDIA;
constinit JavaPtr<String> PlayerListener::ERROR;
constinit JavaPtr<String> PlayerListener::RECORD_ERROR;
constinit JavaPtr<String> PlayerListener::RECORD_STARTED;
constinit JavaPtr<String> PlayerListener::RECORD_STOPPED;
constinit JavaPtr<String> PlayerListener::SIZE_CHANGED;
constinit JavaPtr<String> PlayerListener::STARTED;
constinit JavaPtr<String> PlayerListener::STOPPED;
constinit JavaPtr<String> PlayerListener::STOPPED_AT_TIME;
constinit JavaPtr<String> PlayerListener::VOLUME_CHANGED;

void PlayerListener::PlayerListener_staticInit() {
    CLOSED = jnew<String>("closed");
    BUFFERING_STARTED = jnew<String>("bufferingStarted");
    BUFFERING_STOPPED = jnew<String>("bufferingStopped");
    DEVICE_AVAILABLE = jnew<String>("deviceAvailable");
    DEVICE_UNAVAILABLE = jnew<String>("deviceUnavailable");
    DURATION_UPDATED = jnew<String>("durationUpdated");
    END_OF_MEDIA = jnew<String>("endOfMedia");
    ERROR = jnew<String>("error");
    RECORD_ERROR = jnew<String>("recordError");
    RECORD_STARTED = jnew<String>("recordStarted");
    RECORD_STOPPED = jnew<String>("recordStopped");
    SIZE_CHANGED = jnew<String>("sizeChanged");
    STARTED = jnew<String>("started");
    STOPPED = jnew<String>("stopped");
    STOPPED_AT_TIME = jnew<String>("stoppedAtTime");
    VOLUME_CHANGED = jnew<String>("volumeChanged");
}

void PlayerListener::PlayerListener_staticDestroy() {
    CLOSED = nullptr;
    BUFFERING_STARTED = nullptr;
    BUFFERING_STOPPED = nullptr;
    DEVICE_AVAILABLE = nullptr;
    DEVICE_UNAVAILABLE = nullptr;
    DURATION_UPDATED = nullptr;
    END_OF_MEDIA = nullptr;
    ERROR = nullptr;
    RECORD_ERROR = nullptr;
    RECORD_STARTED = nullptr;
    RECORD_STOPPED = nullptr;
    SIZE_CHANGED = nullptr;
    STARTED = nullptr;
    STOPPED = nullptr;
    STOPPED_AT_TIME = nullptr;
    VOLUME_CHANGED = nullptr;
}

}  // namespace javax::microedition::media
