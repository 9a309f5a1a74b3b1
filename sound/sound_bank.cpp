#include "sound/sound_bank.h"

#include <algorithm>

namespace {

bool validBgm(int id) { return id >= 0 && id < BgmCount; }
bool validEffect(int id) { return id >= 0 && id < SeCount; }

// Handed out for ids out of range so callers always get a channel to ask.
const SoundChannel& closedChannel()
{
    static const SoundChannel none;
    return none;
}

}  // namespace

SoundBank::~SoundBank() = default;

void SoundBank::setWindow(platform::WindowId window)
{
    window_ = window;
    for (SoundChannel& c : bgmChannels_)
        c.setNotifyWindow(window);
}

bool SoundBank::loadBgm(BgmId id, const std::string& path)
{
    return validBgm(id) && loadBgm(id, platform::loadSound(path));
}

bool SoundBank::loadEffect(SeId id, const std::string& path)
{
    return validEffect(id) && loadEffect(id, platform::loadSound(path));
}

bool SoundBank::loadBgm(BgmId id, platform::LoadedSoundPtr sound)
{
    if (!validBgm(id)) return false;
    if (!bgmChannels_[id].open(std::move(sound))) return false;
    // A sound opens at full volume; only a lowered one needs telling.
    if (musicVolume_ != 100) platform::setSoundVolume(bgmChannels_[id].handle(), musicVolume_);
    return true;
}

bool SoundBank::loadEffect(SeId id, platform::LoadedSoundPtr sound)
{
    if (!validEffect(id)) return false;
    if (!effectChannels_[id].open(std::move(sound))) return false;
    if (effectsVolume_ != 100) platform::setSoundVolume(effectChannels_[id].handle(), effectsVolume_);
    return true;
}

void SoundBank::setVolumes(int musicPercent, int effectsPercent)
{
    musicVolume_ = std::clamp(musicPercent, 0, 100);
    effectsVolume_ = std::clamp(effectsPercent, 0, 100);
    for (const SoundChannel& c : bgmChannels_)
        if (c.isOpen()) platform::setSoundVolume(c.handle(), musicVolume_);
    for (const SoundChannel& c : effectChannels_)
        if (c.isOpen()) platform::setSoundVolume(c.handle(), effectsVolume_);
}

bool SoundBank::selectBgm(BgmId id)
{
    if (id != NoBgm && !validBgm(id)) return false;
    selectedBgm_ = id;
    return true;
}

bool SoundBank::playBgm(BgmId id)
{
    // Checked before stopping anything, so a track that failed to load
    // leaves the music that plays alone.
    if (!validBgm(id) || !bgmChannels_[id].isOpen()) return false;
    for (SoundChannel& c : bgmChannels_)
        c.stop();
    return bgmChannels_[id].play();
}

bool SoundBank::playSelectedBgm()
{
    if (selectedBgm_ == NoBgm) return false;
    return playBgm(selectedBgm_);
}

bool SoundBank::playEffect(SeId id)
{
    if (!validEffect(id) || !effectChannels_[id].isOpen()) return false;
    // Only the menu and game-over sounds are cut off; play sounds overlap.
    effectChannels_[SeDecide].stop();
    effectChannels_[SeSelect].stop();
    effectChannels_[SeGameOver].stop();
    return effectChannels_[id].play();
}

const SoundChannel& SoundBank::bgmChannel(BgmId id) const
{
    return validBgm(id) ? bgmChannels_[id] : closedChannel();
}

const SoundChannel& SoundBank::effectChannel(SeId id) const
{
    return validEffect(id) ? effectChannels_[id] : closedChannel();
}
