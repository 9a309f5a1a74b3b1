#include "sound/sound_channel.h"

SoundChannel::~SoundChannel()
{
    if (opened_) close();
}

bool SoundChannel::open(const std::string& path) { return open(platform::loadSound(path)); }

bool SoundChannel::open(platform::LoadedSoundPtr sound)
{
    // Reopening must not leave the earlier sound loaded behind our back: if
    // it cannot be released, keep it and report the failure.
    if (opened_ && !close()) return false;

    const platform::SoundHandle h = platform::openSound(std::move(sound));
    if (h == platform::NoSound) return false;
    handle_ = h;
    opened_ = true;
    return true;
}

bool SoundChannel::play()
{
    if (!opened_) return false;
    return platform::playSound(handle_, notifyWindow_ != platform::NoWindow);
}

bool SoundChannel::stop()
{
    if (!opened_) return false;
    return platform::stopSound(handle_);
}

bool SoundChannel::close()
{
    if (!opened_) return false;
    if (!platform::closeSound(handle_)) return false;
    opened_ = false;
    handle_ = platform::NoSound;
    return true;
}
