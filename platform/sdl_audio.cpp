// Audio on SDL's audio device and the game's own mixer (sound_mixer.h):
// every sound file has a voice of its own, so all sounds play independently
// and mix with the music. A sound's handle is its voice number. Short
// sounds are held in memory; files over StreamFromBytes (the music tracks)
// are read from their file while they play.
#include "platform/files.h"
#include "platform/path.h"
#include "platform/platform.h"
#include "platform/sdl_internal.h"
#include "platform/sound_mixer.h"
#include "platform/wav_check.h"

#include <SDL.h>

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr int OutputRate = 44100;
constexpr int OutputFrames = 1024;  // per callback: 23 ms at 44.1 kHz
// A sound file larger than this is played from its file: the effects are
// at most a quarter of a megabyte, a music track several megabytes.

enum class Device { Untried, Ready, Failed, Closed };

// Frame thread and main thread (shutdown) both reach the table; the mixer
// itself is also reached by the audio thread, under the device's lock.
// Only quick work is done under it.
std::mutex tableLock;
// Held while the device starts, which can take a while (SDL's audio start,
// a sound server's connection): by the thread that starts it and by
// shutdown, never by the calls that play, stop or close sounds.
std::mutex startLock;
Device device = Device::Untried;
SDL_AudioDeviceID deviceId = 0;
platform::SoundMixer mixer;
std::array<std::string, platform::MixerVoices> names;  // file names, for the trace
bool trace = false;
// Held by pauseSounds, also before the device starts.
bool paused = false;

// Locks the mixer against the audio thread for one scope.
class DeviceLock {
public:
    DeviceLock() { SDL_LockAudioDevice(deviceId); }
    ~DeviceLock() { SDL_UnlockAudioDevice(deviceId); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;
};

// The audio thread: mixes the next frames. A natural end of a play that
// asked for it raises the music-restart request.
void fill(void*, Uint8* stream, int len)
{
    const std::size_t frames = static_cast<std::size_t>(len) / (2 * sizeof(std::int16_t));
    if (mixer.mix(reinterpret_cast<std::int16_t*>(stream), frames)) platform::sdlRaiseBgmRestart();
}

// A source at another rate than the output's, converted as it plays.
class ResampledSource : public platform::SoundSource {
public:
    ResampledSource(std::unique_ptr<platform::SoundSource> inner, SDL_AudioStream* stream)
        : inner_(std::move(inner)), stream_(stream)
    {
    }
    ~ResampledSource() override { SDL_FreeAudioStream(stream_); }
    ResampledSource(const ResampledSource&) = delete;
    ResampledSource& operator=(const ResampledSource&) = delete;

    // Null when SDL cannot convert between the two rates.
    static std::unique_ptr<platform::SoundSource> wrap(std::unique_ptr<platform::SoundSource> inner)
    {
        if (inner->rate() == static_cast<std::uint32_t>(OutputRate)) return inner;
        SDL_AudioStream* stream = SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(inner->channels()),
                                                     static_cast<int>(inner->rate()), AUDIO_S16SYS,
                                                     static_cast<Uint8>(inner->channels()), OutputRate);
        if (!stream) return nullptr;
        return std::make_unique<ResampledSource>(std::move(inner), stream);
    }

    int channels() const override { return inner_->channels(); }
    std::uint32_t rate() const override { return OutputRate; }
    void rewind() override
    {
        inner_->rewind();
        SDL_AudioStreamClear(stream_);
        drained_ = false;
    }
    std::size_t read(std::int16_t* out, std::size_t frames) override
    {
        const int frameBytes = channels() * 2;
        const int wanted = static_cast<int>(frames) * frameBytes;
        while (!drained_ && SDL_AudioStreamAvailable(stream_) < wanted) {
            const std::size_t got = inner_->read(block_.data(), block_.size() / 2);
            if (got > 0) SDL_AudioStreamPut(stream_, block_.data(), static_cast<int>(got) * frameBytes);
            if (got < block_.size() / 2) {
                SDL_AudioStreamFlush(stream_);
                drained_ = true;
            }
        }
        const int bytes = SDL_AudioStreamGet(stream_, out, wanted);
        return bytes > 0 ? static_cast<std::size_t>(bytes / frameBytes) : 0;
    }

private:
    std::unique_ptr<platform::SoundSource> inner_;
    SDL_AudioStream* stream_;
    bool drained_ = false;
    std::array<std::int16_t, 1024> block_{};  // 512 stereo or 1024 mono frames
};

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

// Starts the device, with startLock held; tableLock is taken only to look
// at the state and to publish the outcome. A machine without sound gets one
// line on stderr and a silent game; the attempt is not repeated.
bool startDevice()
{
    {
        std::lock_guard<std::mutex> guard(tableLock);
        if (device != Device::Untried) return device == Device::Ready;
    }
    const bool wantTrace = std::getenv("TESSALOOM_AUDIO_TRACE") != nullptr;
    SDL_AudioDeviceID opened = 0;
    {
        QuietAlsa quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
            SDL_AudioSpec want{};
            want.freq = OutputRate;
            want.format = AUDIO_S16SYS;
            want.channels = 2;
            want.samples = OutputFrames;
            want.callback = fill;
            // No changes allowed: SDL converts to whatever the card wants.
            opened = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
            if (opened == 0) {
                std::fprintf(stderr, "tessaloom: no audio device, playing silently (%s)\n", SDL_GetError());
                SDL_QuitSubSystem(SDL_INIT_AUDIO);
            }
        } else {
            std::fprintf(stderr, "tessaloom: no audio device, playing silently (%s)\n", SDL_GetError());
        }
    }
    std::lock_guard<std::mutex> guard(tableLock);
    if (opened == 0) {
        device = Device::Failed;
        return false;
    }
    deviceId = opened;
    trace = wantTrace;
    // SDL opens the device paused: the mixer is not mixed from yet.
    mixer.setPaused(paused);
    SDL_PauseAudioDevice(deviceId, 0);
    device = Device::Ready;
    return true;
}

// Whether the device is there, starting it when nobody has tried yet.
bool deviceReady()
{
    {
        std::lock_guard<std::mutex> guard(tableLock);
        if (device != Device::Untried) return device == Device::Ready;
    }
    std::lock_guard<std::mutex> starting(startLock);
    return startDevice();
}

// Writes the natural ends the mixer saw since the last call.
void flushEndTrace()
{
    if (!trace) return;
    for (int v = 0; v < platform::MixerVoices; ++v) {
        bool ended = false;
        {
            DeviceLock lock;
            ended = mixer.takeEnded(v);
        }
        if (ended) std::fprintf(stderr, "audio: end %s\n", names[static_cast<std::size_t>(v)].c_str());
    }
}

bool openVoice(platform::SoundHandle h)
{
    if (device != Device::Ready || h < 0 || h >= platform::MixerVoices) return false;
    DeviceLock lock;
    return mixer.isOpen(h);
}

}  // namespace

namespace platform {

struct LoadedSound {
    std::unique_ptr<SoundSource> source;  // at the file's own rate
    std::string name;                     // the file's name, for the trace
};

void LoadedSoundFree::operator()(LoadedSound* sound) const { delete sound; }

LoadedSoundPtr loadSound(const std::string& path)
{
    const char* reason = nullptr;
    std::unique_ptr<SoundSource> source = loadSoundSource(path, &reason);
    if (!source) {
        if (reason) std::fprintf(stderr, "tessaloom: skipping the sound file %s: %s\n", path.c_str(), reason);
        return nullptr;
    }
    return LoadedSoundPtr(new LoadedSound{std::move(source), fileNameOf(path)});
}

void startAudio() { deviceReady(); }

SoundHandle openSound(LoadedSoundPtr sound)
{
    if (!sound || !deviceReady()) return NoSound;
    // The rate conversion is SDL's, so it is set up here rather than in
    // loadSound: a loader thread may still be reading when SDL shuts down.
    std::unique_ptr<SoundSource> source = ResampledSource::wrap(std::move(sound->source));
    if (!source) return NoSound;
    std::lock_guard<std::mutex> guard(tableLock);
    if (device != Device::Ready) return NoSound;  // shut down meanwhile
    flushEndTrace();
    int free = -1;
    {
        DeviceLock lock;
        for (int v = 0; v < MixerVoices && free < 0; ++v)
            if (!mixer.isOpen(v)) free = v;
    }
    if (free < 0) return NoSound;
    {
        DeviceLock lock;
        mixer.open(free, std::move(source));
        mixer.takeEnded(free);
    }
    names[static_cast<std::size_t>(free)] = sound->name;
    return free;
}

bool playSound(SoundHandle sound, bool reportEnd)
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (!openVoice(sound)) return false;
    flushEndTrace();
    // Restarting a playing voice is not an end of it: the mixer reports
    // only plays that run out. A sound started during a pause waits.
    bool ok = false;
    {
        DeviceLock lock;
        ok = mixer.play(sound, reportEnd);
    }
    if (ok && trace) std::fprintf(stderr, "audio: play %s\n", names[static_cast<std::size_t>(sound)].c_str());
    return ok;
}

bool stopSound(SoundHandle sound)
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (!openVoice(sound)) return false;
    flushEndTrace();
    DeviceLock lock;
    return mixer.stop(sound);
}

bool closeSound(SoundHandle sound)
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (!openVoice(sound)) return false;
    flushEndTrace();
    DeviceLock lock;
    return mixer.close(sound);
}

bool setSoundVolume(SoundHandle sound, int percent)
{
    std::lock_guard<std::mutex> guard(tableLock);
    if (!openVoice(sound)) return false;
    const int clamped = std::max(0, std::min(100, percent));
    DeviceLock lock;
    return mixer.setVolume(sound, clamped * MixerMaxVolume / 100);
}

void pauseSounds(bool hold)
{
    std::lock_guard<std::mutex> guard(tableLock);
    paused = hold;
    if (device != Device::Ready) return;
    DeviceLock lock;
    mixer.setPaused(hold);
}

void sdlAudioShutdown()
{
    // A start under way (on a loader thread) finishes first.
    std::lock_guard<std::mutex> starting(startLock);
    std::lock_guard<std::mutex> guard(tableLock);
    if (device == Device::Ready) {
        flushEndTrace();
        // Once closed, the device calls no more mixing; nothing that stops
        // now is an end that asks for the music again.
        SDL_CloseAudioDevice(deviceId);
        deviceId = 0;
        for (int v = 0; v < MixerVoices; ++v)
            mixer.close(v);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    // Sound calls after this point fail quietly instead of starting anew.
    device = Device::Closed;
}

}  // namespace platform
