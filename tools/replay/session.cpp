#include "tools/replay/session.h"

#include "app/frame_step.h"
#include "field/block.h"
#include "render/bmp_file.h"

#include <cstring>
#include <fstream>

namespace replay {

Session::Session(const SessionOptions& options) : options_(options)
{
    headless::reset();
    headless::setClock(options.startMs);
    // The animation values live in the block classes, not in the Game, so a
    // previous session in this process would otherwise leak into this one.
    resetBlockClassValues();

    // The game finds its assets beside its executable. Without an asset
    // folder it looks in one that is never there, so a working directory
    // that happens to hold Graphics/ does not change the run.
    if (options.assetDir.empty())
        headless::setExecutablePath(".tessaloom-no-assets/none/tessaloom-replay");
    else
        headless::setExecutablePath(options.assetDir + "/tessaloom-replay");

    game_ = std::make_unique<Game>();
    game_->startUp(platform::mainWindow());
}

Session::~Session() = default;

void Session::runFrame(std::uint32_t stepMs)
{
    if (frames_ > 0) headless::advanceClock(stepMs);
    presentedLast_ = options_.presentEvery > 0 && frames_ % options_.presentEvery == 0;
    stepFrame(*game_, presentedLast_);
    // Nobody reads the sound log here; without clearing it grows by every
    // effect played.
    headless::clearAudioLog();
    ++frames_;
}

std::uint64_t frameHash(const headless::Frame& frame)
{
    if (frame.pixels.empty()) return 0;
    // FNV-1a style mixing over 8-byte words: fast enough to hash every frame
    // of a replay, and any changed pixel changes the result.
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint64_t v) {
        h ^= v;
        h *= 1099511628211ull;
        h ^= h >> 29;
    };
    mix(static_cast<std::uint64_t>(frame.width));
    mix(static_cast<std::uint64_t>(frame.height));
    const std::uint8_t* p = frame.pixels.data();
    const std::size_t n = frame.pixels.size();
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t v;
        std::memcpy(&v, p + i, 8);
        mix(v);
    }
    for (; i < n; ++i)
        mix(p[i]);
    return h;
}

bool writeFrameBmp(const headless::Frame& frame, const std::string& path)
{
    if (frame.width <= 0 || frame.height <= 0 ||
        frame.pixels.size() != static_cast<std::size_t>(frame.width) * frame.height * 3)
        return false;
    const std::string b = encodeBmp(frame.pixels.data(), frame.width, frame.height);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(b.data(), static_cast<std::streamsize>(b.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace replay
