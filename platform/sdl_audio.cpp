// Audio on SDL2_mixer: every sound file is one Mix_Chunk with a mixer channel
// of its own, so all sounds play independently and mix with the music. A
// sound's handle is its channel number.
#include "platform/files.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/sdl_internal.h"
#include "platform/wav_check.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

namespace {

// The game opens fifteen sounds; the rest is headroom.
constexpr int MaxSounds = 32;

enum class Device { Untried, Ready, Failed, Closed };

struct Sound {
    Mix_Chunk* chunk = nullptr;
    std::string name;  // file name only, for the trace
};

// Touched by the mixer's finished-callback, which may run on the audio
// thread and so sees nothing but these atomics.
struct ChannelFlags {
    // Set around our own play, halt and close calls: the callback fires
    // inside them for a playing channel, and those ends are not natural.
    std::atomic<bool> expectedHalt{false};
    // The current play wants its natural end reported (music).
    std::atomic<bool> reportEnd{false};
    // A natural end not yet written to the trace.
    std::atomic<bool> endPending{false};
};
std::array<ChannelFlags, MaxSounds> flags;

// Frame thread and main thread (shutdown) both reach the table.
std::mutex tableLock;
Device device = Device::Untried;
std::array<Sound, MaxSounds> sounds;
bool trace = false;
// Held by pauseSounds: sounds started meanwhile wait too.
std::atomic<bool> paused{false};

void channelFinished(int channel)
{
    if (channel < 0 || channel >= MaxSounds) return;
    ChannelFlags& f = flags[channel];
    if (f.expectedHalt.load()) return;
    f.endPending.store(true);
    if (f.reportEnd.load()) platform::sdlRaiseBgmRestart();
}

// libasound writes its own diagnostics to stderr when it finds no sound
// card, several lines before SDL gives up on it. While the mixer starts they
// go nowhere: the one line below says all a player needs. SDL loads the same
// library later and so shares the handler, which is restored afterwards.
class QuietAlsa {
public:
    QuietAlsa()
    {
        lib_ = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
        if (lib_) setHandler_ = reinterpret_cast<SetHandler>(dlsym(lib_, "snd_lib_error_set_handler"));
        if (setHandler_) setHandler_(&ignore);
    }
    ~QuietAlsa()
    {
        if (setHandler_) setHandler_(nullptr);  // null restores libasound's own
        if (lib_) dlclose(lib_);
    }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

private:
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    static void ignore(const char*, int, const char*, int, const char*, ...) {}
    void* lib_ = nullptr;
    SetHandler setHandler_ = nullptr;
};

// Starts the mixer on first use. A machine without sound gets one line on
// stderr and a silent game; the attempt is not repeated.
bool ensureDevice()
{
    if (device == Device::Ready) return true;
    if (device != Device::Untried) return false;
    trace = std::getenv("TESSALOOM_AUDIO_TRACE") != nullptr;
    QuietAlsa quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "tessaloom: no audio device, playing silently (%s)\n", SDL_GetError());
        device = Device::Failed;
        return false;
    }
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        std::fprintf(stderr, "tessaloom: no audio device, playing silently (%s)\n", Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        device = Device::Failed;
        return false;
    }
    Mix_AllocateChannels(MaxSounds);
    for (ChannelFlags& f : flags) {
        f.expectedHalt.store(false);
        f.reportEnd.store(false);
        f.endPending.store(false);
    }
    Mix_ChannelFinished(channelFinished);
    device = Device::Ready;
    return true;
}

// Writes the natural ends recorded by the callback since the last call.
void flushEndTrace()
{
    if (!trace) return;
    for (int ch = 0; ch < MaxSounds; ++ch)
        if (flags[ch].endPending.exchange(false) && sounds[ch].chunk)
            std::fprintf(stderr, "audio: end %s\n", sounds[ch].name.c_str());
}

Sound* openSlot(platform::SoundHandle h)
{
    if (device != Device::Ready || h < 0 || h >= MaxSounds || !sounds[h].chunk) return nullptr;
    return &sounds[h];
}

// Halts the channel without the halt counting as a natural end.
void haltQuietly(int channel)
{
    flags[channel].expectedHalt.store(true);
    Mix_HaltChannel(channel);
    flags[channel].expectedHalt.store(false);
}

}  // namespace

namespace platform {

SoundHandle openSound(const std::string& path)
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (!ensureDevice()) return NoSound;
    flushEndTrace();
    int free = -1;
    for (int ch = 0; ch < MaxSounds && free < 0; ++ch)
        if (!sounds[ch].chunk) free = ch;
    if (free < 0) return NoSound;
    // Read here, regular files only and capped: handed a path, the mixer
    // would wait on a FIFO and read a device such as /dev/zero without end.
    // The chunk holds its own decoded copy, so the bytes go with this scope.
    std::vector<unsigned char> bytes;
    if (!readSoundFile(path, bytes)) return NoSound;  // missing sounds are silent, like missing pictures
    // Our own strict look at the bytes before the mixer parses them: a file
    // that is there but damaged is named, not played as noise.
    const char* reason = nullptr;
    if (!checkWav(bytes.data(), bytes.size(), &reason)) {
        std::fprintf(stderr, "tessaloom: skipping the sound file %s: %s\n", path.c_str(), reason);
        return NoSound;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!chunk) return NoSound;
    sounds[free].chunk = chunk;
    sounds[free].name = fileNameOf(path);
    Mix_Volume(free, MIX_MAX_VOLUME);
    flags[free].reportEnd.store(false);
    flags[free].endPending.store(false);
    return free;
}

bool playSound(SoundHandle sound, bool reportEnd)
{
    std::lock_guard<std::mutex> guard(tableLock);
    Sound* s = openSlot(sound);
    if (!s) return false;
    flushEndTrace();
    // Mix_PlayChannel restarts a playing channel and reports the cut-off
    // play from inside the call; that end is ours, not the track's.
    ChannelFlags& f = flags[sound];
    f.expectedHalt.store(true);
    f.reportEnd.store(reportEnd);
    const bool ok = Mix_PlayChannel(sound, s->chunk, 0) == sound;
    f.expectedHalt.store(false);
    // A sound started during a pause waits for the pause to end.
    if (ok && paused.load()) Mix_Pause(sound);
    if (ok && trace) std::fprintf(stderr, "audio: play %s\n", s->name.c_str());
    return ok;
}

bool stopSound(SoundHandle sound)
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (!openSlot(sound)) return false;
    flushEndTrace();
    haltQuietly(sound);
    return true;
}

bool closeSound(SoundHandle sound)
{
    std::lock_guard<std::mutex> guard(tableLock);
    Sound* s = openSlot(sound);
    if (!s) return false;
    flushEndTrace();
    haltQuietly(sound);
    Mix_FreeChunk(s->chunk);
    *s = Sound{};
    flags[sound].reportEnd.store(false);
    flags[sound].endPending.store(false);
    return true;
}

bool setSoundVolume(SoundHandle sound, int percent)
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (!openSlot(sound)) return false;
    const int clamped = std::max(0, std::min(100, percent));
    Mix_Volume(sound, clamped * MIX_MAX_VOLUME / 100);
    return true;
}

void pauseSounds(bool hold)
{
    std::lock_guard<std::mutex> guard(tableLock);
    paused.store(hold);
    if (device != Device::Ready) return;
    if (hold)
        Mix_Pause(-1);
    else
        Mix_Resume(-1);
}

void sdlAudioShutdown()
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (device == Device::Ready) {
        flushEndTrace();
        // Closing the mixer reports every playing channel; none of those
        // ends may ask for the music again.
        for (ChannelFlags& f : flags) f.expectedHalt.store(true);
        Mix_HaltChannel(-1);
        Mix_ChannelFinished(nullptr);
        for (Sound& s : sounds) {
            if (s.chunk) Mix_FreeChunk(s.chunk);
            s = Sound{};
        }
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // Sound calls after this point fail quietly instead of starting anew.
    device = Device::Closed;
}

}  // namespace platform
