// Recorded input of one session: the key events and clock steps that drive
// the game frame by frame, and its short text form.
//
// Text form (one item a line, '#' starts a comment line, blank lines ignored):
//
//   tessaloom-input 1        first line, always
//   start <ms>               optional: clock reading of frame 0 (default 1)
//   step <ms>                optional: clock advance before every later frame
//                            (default 33)
//   frames <n>               number of frames to run (required, before events)
//   <frame> +<key>           key-down event before frame <frame> runs
//   <frame> -<key>           key-up event
//   <frame> ~<key>           auto-repeat key-down (stays down, no new press)
//   <frame> @<ms>            this frame's clock advance instead of <step>
//
// Keys: left right up down z c q. Frames count from 0; events come in frame
// order (several per frame keep their order) and every frame is below <n>.
// Frame 0 runs at <start> without an advance, as the game's first frame
// follows no pause.
#pragma once

#include "platform/platform.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

enum class EventKind { Press, Release, Repeat, Clock };

struct InputEvent {
    int frame = 0;
    EventKind kind = EventKind::Press;
    platform::Key key = platform::Key::Z;  // key events
    std::uint32_t ms = 0;                  // clock events
    bool operator==(const InputEvent& o) const
    {
        return frame == o.frame && kind == o.kind && (kind == EventKind::Clock ? ms == o.ms : key == o.key);
    }
};

constexpr int MaxScriptFrames = 100000000;
// Cap of a recording's file: a recorded session of a few games takes a few
// kilobytes, and a stray huge file is refused rather than loaded.
constexpr std::size_t MaxScriptBytes = 64u << 20;
constexpr std::uint32_t MaxStepMs = 600000;

struct InputScript {
    std::uint32_t startMs = 1;
    std::uint32_t stepMs = 33;
    int frames = 0;
    std::vector<InputEvent> events;  // in frame order
};

// The key's name in the text form ("left", "z", ...).
const char* keyName(platform::Key key);
// The key of a name; false for an unknown name.
bool keyFromName(const std::string& name, platform::Key& key);

// Reads the text form. On failure returns false, leaves `out` unchanged and
// puts "line <n>: <reason>" into `error`.
bool parseInputScript(const std::string& text, InputScript& out, std::string& error);
// The text form of a script; parseInputScript reads it back unchanged.
std::string formatInputScript(const InputScript& script);

// Whole-file helpers. False (with a reason) when the file cannot be read or
// written, or does not parse. A recording is read as the game reads its
// files: never waiting on it, only when it is a regular file of at most
// MaxScriptBytes.
bool loadInputScript(const std::string& path, InputScript& out, std::string& error);
bool saveInputScript(const InputScript& script, const std::string& path, std::string& error);

// Hands the key events of one frame to applyKey, in order, advancing next
// (the index of the first event not yet taken; frames must come in order),
// and returns the clock advance before that frame: the script's step, or
// the frame's own @ms.
template <class ApplyKey>
std::uint32_t takeFrameEvents(const InputScript& script, std::size_t& next, int frame, ApplyKey&& applyKey)
{
    std::uint32_t step = script.stepMs;
    for (; next < script.events.size() && script.events[next].frame == frame; ++next) {
        const InputEvent& ev = script.events[next];
        if (ev.kind == EventKind::Clock)
            step = ev.ms;
        else
            applyKey(ev);
    }
    return step;
}

}  // namespace replay
