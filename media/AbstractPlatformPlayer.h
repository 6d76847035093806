// The plain interface between a player and the platform's sound output: one platform player per
// player, given the whole clip once and then steered. Not a runtime object: its player owns it.
#pragma once

namespace javax::microedition::media {

class AbstractPlatformPlayer {
public:
    virtual ~AbstractPlatformPlayer() = default;

    virtual bool setSoundData(void* data, long long length) = 0;
    virtual bool playSoundData() = 0;
    virtual bool pausePlayback() = 0;
    virtual bool resumePlayback() = 0;
    virtual bool hasIncompletePlaybackTask() = 0;
    virtual long long seekToTime(long long time) = 0;
    virtual long long getPlaybackPos() = 0;
    virtual bool setVolume(int level) = 0;
    virtual int getVolume() = 0;
    virtual void destroy() = 0;
    virtual bool canBeDeleted() = 0;
};

}  // namespace javax::microedition::media
