// The game's sounds: three music tracks and twelve effects, the music
// selection and the music loop. Every operation runs on the frame thread;
// callers never look at the results.
#pragma once

#include "platform/platform.h"
#include "sound/sound_channel.h"

#include <string>

// NoBgm: no music selected.
enum BgmId : int { NoBgm = -1, BgmTitle = 0, BgmPlay = 1, BgmOver = 2 };
constexpr int BgmCount = 3;

enum SeId : int {
    SeDecide = 0,
    SeSelect = 1,
    SeGameOver = 2,
    SeTurn = 3,
    SeMove = 4,
    SeBottom = 5,
    SeChain1 = 6,
    SeChain2 = 7,
    SeChain3 = 8,
    SeChain4 = 9,
    SeChain5 = 10,
    SeGameStart = 11,
};
constexpr int SeCount = 12;

class SoundBank {
public:
    SoundBank() = default;
    // Every channel still open closes itself.
    virtual ~SoundBank();

    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;

    // Remembers the main window and has the music channels report the end
    // of each play to it, which makes the music loop. Effects never report.
    void setWindow(platform::WindowId window);
    platform::WindowId window() const { return window_; }

    // Opens the file on music channel id (0..2) / effect channel id (0..11).
    // False for an id out of range or a file that cannot be loaded.
    bool loadBgm(BgmId id, const std::string& path);
    bool loadEffect(SeId id, const std::string& path);
    // The same with a file loaded already (platform::loadSound).
    bool loadBgm(BgmId id, platform::LoadedSoundPtr sound);
    bool loadEffect(SeId id, platform::LoadedSoundPtr sound);

    // Selects the music to play and to restart when a play ends: NoBgm or
    // 0..2. Does not play. False for any other id, the selection unchanged.
    bool selectBgm(BgmId id);
    BgmId selectedBgm() const { return selectedBgm_; }

    // Stops all music and plays track id from its beginning. False for an id
    // out of range or a track that is not loaded; nothing is stopped then.
    bool playBgm(BgmId id);
    // playBgm(selectedBgm()); false with no selection, nothing stopped.
    bool playSelectedBgm();

    // Stops the menu and game-over effects (SeDecide, SeSelect, SeGameOver)
    // and plays effect id from its beginning; other effects still playing
    // sound on. False for an id out of range or an effect that is not
    // loaded; nothing is stopped then.
    bool playEffect(SeId id);

    // Sets the loudness of every music track and of every effect, 0..100
    // percent (held to that range); channels loaded later get it too. Both
    // are 100 until set. 0 silences them without stopping anything.
    void setVolumes(int musicPercent, int effectsPercent);
    int musicVolume() const { return musicVolume_; }
    int effectsVolume() const { return effectsVolume_; }

    // The channel of a track / an effect; a closed channel for an id out of
    // range.
    const SoundChannel& bgmChannel(BgmId id) const;
    const SoundChannel& effectChannel(SeId id) const;

private:
    platform::WindowId window_ = platform::NoWindow;
    SoundChannel bgmChannels_[BgmCount];
    SoundChannel effectChannels_[SeCount];
    BgmId selectedBgm_ = NoBgm;
    int musicVolume_ = 100;
    int effectsVolume_ = 100;
};
