#include "tools/replay/runner.h"

#include "field/block.h"
#include "rank/ranking.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace replay {

void applyKeyEvent(const InputEvent& event)
{
    switch (event.kind) {
    case EventKind::Press: headless::press(event.key); break;
    case EventKind::Release: headless::release(event.key); break;
    case EventKind::Repeat: headless::repeat(event.key); break;
    case EventKind::Clock: break;
    }
}

RunResult runScript(const InputScript& script, const RunOptions& options, const FrameObserver& observer)
{
    SessionOptions sessionOptions = options.session;
    sessionOptions.startMs = script.startMs;
    Session session(sessionOptions);
    RunResult result;

    std::size_t next = 0;
    for (int frame = 0; frame < script.frames && session.running(); ++frame) {
        std::uint32_t step = script.stepMs;
        for (; next < script.events.size() && script.events[next].frame == frame; ++next) {
            const InputEvent& ev = script.events[next];
            if (ev.kind == EventKind::Clock)
                step = ev.ms;
            else
                applyKeyEvent(ev);
        }
        session.runFrame(step);
        ++result.frames;

        const std::vector<headless::MessageBoxRecord>& boxes = headless::messageBoxes();
        result.boxes.insert(result.boxes.end(), boxes.begin(), boxes.end());
        headless::clearMessageBoxes();

        if (session.presentedLast()) {
            const headless::Frame& picture = headless::lastFrame();
            if (options.hashFrames) result.hashes.push_back(frameHash(picture));
            const int every = options.dumpEvery < 1 ? 1 : options.dumpEvery;
            if (!options.dumpDir.empty() && frame % every == 0) {
                char name[32];
                std::snprintf(name, sizeof name, "frame-%06d.bmp", frame);
                if (writeFrameBmp(picture, options.dumpDir + "/" + name))
                    ++result.dumped;
                else
                    result.dumpFailed = true;
            }
        }
        if (observer && !observer(session.game(), frame)) break;
    }
    result.quit = !session.running();
    result.summary = summarize(session.game());
    return result;
}

std::string summarize(const Game& game)
{
    const PuzzleField& field = game.field();
    std::ostringstream s;
    s << "scene " << game.scene() << "\n";
    s << "phase " << game.phase() << "\n";
    s << "score " << field.score() << "\n";
    s << "level " << field.level() << "\n";
    s << "cleared " << field.clearedCount() << "\n";
    s << "grid\n";
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < GridColumns; ++column) {
            const int code = field.cellAt(column, row);
            s << (code == Empty ? '.' : (code >= 0 && code < Empty) ? static_cast<char>('0' + code) : '?');
        }
        s << "\n";
    }
    std::ifstream in(RankFilePath, std::ios::binary);
    if (!in) {
        s << "rank none\n";
    } else {
        std::ostringstream text;
        text << in.rdbuf();
        // Each line quoted, with its end shown, so the bytes stay visible.
        s << "rank\n";
        const std::string t = text.str();
        std::string::size_type pos = 0;
        while (pos < t.size()) {
            std::string::size_type end = t.find("\r\n", pos);
            const bool terminated = end != std::string::npos;
            if (!terminated) end = t.size();
            s << "\"" << t.substr(pos, end - pos) << "\"" << (terminated ? " crlf" : "") << "\n";
            pos = terminated ? end + 2 : end;
        }
    }
    return s.str();
}

}  // namespace replay
