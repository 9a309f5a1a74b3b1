#include "tools/replay/input_script.h"

#include "platform/files.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace replay {

namespace {

constexpr const char* Magic = "tessaloom-input 1";

struct KeyNameEntry {
    platform::Key key;
    const char* name;
};
constexpr KeyNameEntry KeyNames[] = {
    {platform::Key::Left, "left"},
    {platform::Key::Right, "right"},
    {platform::Key::Up, "up"},
    {platform::Key::Down, "down"},
    {platform::Key::Z, "z"},
    {platform::Key::C, "c"},
    {platform::Key::Q, "q"},
    {platform::Key::P, "p"},
    {platform::Key::Escape, "esc"},
    {platform::Key::M, "m"},
    {platform::Key::O, "o"},
    {platform::Key::Fullscreen, "fullscreen"},
    {platform::Key::Enter, "enter"},
    {platform::Key::Space, "space"},
    {platform::Key::Backspace, "backspace"},
};

// A decimal number of at most ten digits with nothing after it: no sign, so
// no negative frame slips through, and no overflow of the 64-bit sum. The
// callers check the range.
bool parseCount(const std::string& s, std::uint64_t& out)
{
    if (s.empty() || s.size() > 10) return false;
    std::uint64_t v = 0;
    for (char ch : s) {
        if (ch < '0' || ch > '9') return false;
        v = v * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    out = v;
    return true;
}

// Splits on blanks and tabs; a trailing CR (a file saved with CR LF) is a blank.
std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out;
    std::string word;
    for (char ch : line) {
        if (ch == ' ' || ch == '\t' || ch == '\r') {
            if (!word.empty()) out.push_back(word);
            word.clear();
        } else {
            word.push_back(ch);
        }
    }
    if (!word.empty()) out.push_back(word);
    return out;
}

bool fail(std::string& error, int lineNo, const std::string& reason)
{
    error = "line " + std::to_string(lineNo) + ": " + reason;
    return false;
}

}  // namespace

const char* keyName(platform::Key key)
{
    for (const KeyNameEntry& e : KeyNames)
        if (e.key == key) return e.name;
    return "?";
}

bool keyFromName(const std::string& name, platform::Key& key)
{
    for (const KeyNameEntry& e : KeyNames) {
        if (name == e.name) {
            key = e.key;
            return true;
        }
    }
    return false;
}

bool parseInputScript(const std::string& text, InputScript& out, std::string& error)
{
    InputScript script;
    bool sawMagic = false;
    bool sawFrames = false;
    int lastFrame = 0;
    std::istringstream in(text);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.find('\0') != std::string::npos) return fail(error, lineNo, "zero byte");
        const std::vector<std::string> w = words(line);
        if (!sawMagic) {
            if (w.size() != 2 || w[0] + " " + w[1] != Magic)
                return fail(error, lineNo, "not a tessaloom-input 1 file");
            sawMagic = true;
            continue;
        }
        if (w.empty() || w[0][0] == '#') continue;
        if (w.size() != 2) return fail(error, lineNo, "expected two words");

        std::uint64_t value = 0;
        if (w[0] == "start" || w[0] == "step" || w[0] == "frames") {
            if (sawFrames) return fail(error, lineNo, w[0] + " after frames");
            if (!parseCount(w[1], value)) return fail(error, lineNo, "bad number");
            if (w[0] == "start") {
                if (value > 0xffffffffull) return fail(error, lineNo, "start out of range");
                script.startMs = static_cast<std::uint32_t>(value);
            } else if (w[0] == "step") {
                if (value < 1 || value > MaxStepMs) return fail(error, lineNo, "step out of range");
                script.stepMs = static_cast<std::uint32_t>(value);
            } else {
                if (value > MaxScriptFrames) return fail(error, lineNo, "too many frames");
                script.frames = static_cast<int>(value);
                sawFrames = true;
            }
            continue;
        }

        if (!sawFrames) return fail(error, lineNo, "event before frames");
        if (!parseCount(w[0], value)) return fail(error, lineNo, "bad frame number");
        if (value >= static_cast<std::uint64_t>(script.frames))
            return fail(error, lineNo, "frame beyond the last");
        const int frame = static_cast<int>(value);
        if (frame < lastFrame) return fail(error, lineNo, "frame out of order");

        InputEvent ev;
        ev.frame = frame;
        const char tag = w[1][0];
        const std::string rest = w[1].substr(1);
        if (tag == '@') {
            if (!parseCount(rest, value) || value > MaxStepMs) return fail(error, lineNo, "bad clock step");
            ev.kind = EventKind::Clock;
            ev.ms = static_cast<std::uint32_t>(value);
        } else {
            if (tag == '+')
                ev.kind = EventKind::Press;
            else if (tag == '-')
                ev.kind = EventKind::Release;
            else if (tag == '~')
                ev.kind = EventKind::Repeat;
            else
                return fail(error, lineNo, "unknown event");
            if (!keyFromName(rest, ev.key)) return fail(error, lineNo, "unknown key");
        }
        script.events.push_back(ev);
        lastFrame = frame;
    }
    if (!sawMagic) return fail(error, lineNo + 1, "empty file");
    if (!sawFrames) return fail(error, lineNo + 1, "no frames line");
    out = std::move(script);
    return true;
}

std::string formatInputScript(const InputScript& script)
{
    std::ostringstream s;
    s << Magic << "\n";
    s << "start " << script.startMs << "\n";
    s << "step " << script.stepMs << "\n";
    s << "frames " << script.frames << "\n";
    for (const InputEvent& ev : script.events) {
        s << ev.frame << ' ';
        switch (ev.kind) {
        case EventKind::Press: s << '+' << keyName(ev.key); break;
        case EventKind::Release: s << '-' << keyName(ev.key); break;
        case EventKind::Repeat: s << '~' << keyName(ev.key); break;
        case EventKind::Clock: s << '@' << ev.ms; break;
        }
        s << "\n";
    }
    return s.str();
}

bool loadInputScript(const std::string& path, InputScript& out, std::string& error)
{
    std::vector<unsigned char> bytes;
    const platform::ReadResult r = platform::readFile(path, bytes, MaxScriptBytes, platform::OverCap::Reject);
    if (!r) {
        error = "cannot read " + path + (r.reason.empty() ? std::string() : ": " + r.reason);
        return false;
    }
    if (!parseInputScript(std::string(bytes.begin(), bytes.end()), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool saveInputScript(const InputScript& script, const std::string& path, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string text = formatInputScript(script);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace replay
