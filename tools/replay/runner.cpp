#include "tools/replay/runner.h"

#include <cstdio>

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
        session.runFrame(takeFrameEvents(script, next, frame, applyKeyEvent));
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

}  // namespace replay
