// One sound file, opened once and then played from its beginning, stopped
// and closed through the platform's audio functions.
#pragma once

#include "platform/platform.h"

#include <string>

class SoundChannel {
public:
    SoundChannel() = default;
    // Closes the sound if it is still open.
    virtual ~SoundChannel();

    // A channel owns its platform sound: copying would close it twice.
    SoundChannel(const SoundChannel&) = delete;
    SoundChannel& operator=(const SoundChannel&) = delete;

    // Opens the file, closing first whatever the channel held. False when the
    // file cannot be loaded (the channel is then closed) or when the earlier
    // sound cannot be closed (the channel keeps it).
    bool open(const std::string& path);
    // The same with a file loaded already (platform::loadSound); false for
    // a null one.
    bool open(platform::LoadedSoundPtr sound);
    // Starts the sound from its beginning, also when it plays already; the
    // natural end of the play is reported when a notify window is set.
    // False when the channel is closed or the platform refuses.
    bool play();
    // Stops the sound if it plays. False when the channel is closed.
    bool stop();
    // Stops and releases the sound. False when the channel is closed or the
    // platform refuses; the channel then stays open.
    bool close();
    bool isOpen() const { return opened_; }

    // The window that wants to hear when a play runs to its end; NoWindow
    // (the default) leaves plays unreported.
    void setNotifyWindow(platform::WindowId window) { notifyWindow_ = window; }
    platform::WindowId notifyWindow() const { return notifyWindow_; }

    // The platform sound while open, NoSound otherwise.
    platform::SoundHandle handle() const { return opened_ ? handle_ : platform::NoSound; }

private:
    bool opened_ = false;
    platform::SoundHandle handle_ = platform::NoSound;
    platform::WindowId notifyWindow_ = platform::NoWindow;
};
