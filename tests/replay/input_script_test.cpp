// The recorded-input text form: what it accepts, what it refuses, and that
// writing and reading give back the same script.
#include "tools/replay/input_script.h"

#include <gtest/gtest.h>

#include <string>

using namespace replay;

namespace {

InputScript parsed(const std::string& text)
{
    InputScript script;
    std::string error;
    EXPECT_TRUE(parseInputScript(text, script, error)) << error;
    return script;
}

}  // namespace

TEST(InputScript, EventsKeepTheirFramesKindsAndOrder)
{
    const InputScript s = parsed("tessaloom-input 1\r\n"
                                 "# a comment, then a blank line\n"
                                 "\n"
                                 "start 4294967000\n"
                                 "step 40\n"
                                 "frames 10\n"
                                 "0 +down\n"
                                 "0 +z\n"
                                 "3 ~left\n"
                                 "3 @250\n"
                                 "9 -down\n");
    EXPECT_EQ(s.startMs, 4294967000u);
    EXPECT_EQ(s.stepMs, 40u);
    EXPECT_EQ(s.frames, 10);
    ASSERT_EQ(s.events.size(), 5u);
    EXPECT_EQ(s.events[0], (InputEvent{0, EventKind::Press, platform::Key::Down, 0}));
    EXPECT_EQ(s.events[1], (InputEvent{0, EventKind::Press, platform::Key::Z, 0}));
    EXPECT_EQ(s.events[2], (InputEvent{3, EventKind::Repeat, platform::Key::Left, 0}));
    EXPECT_EQ(s.events[3].kind, EventKind::Clock);
    EXPECT_EQ(s.events[3].ms, 250u);
    EXPECT_EQ(s.events[4], (InputEvent{9, EventKind::Release, platform::Key::Down, 0}));
}

TEST(InputScript, DefaultsAreTheGamesFirstClockAndFramePause)
{
    const InputScript s = parsed("tessaloom-input 1\nframes 0\n");
    EXPECT_EQ(s.startMs, 1u);
    EXPECT_EQ(s.stepMs, 33u);
    EXPECT_TRUE(s.events.empty());
}

TEST(InputScript, WrittenScriptReadsBackUnchanged)
{
    InputScript s;
    s.startMs = 77;
    s.stepMs = 31;
    s.frames = 500;
    const platform::Key keys[] = {platform::Key::Left, platform::Key::Right, platform::Key::Up,
                                  platform::Key::Down, platform::Key::Z,     platform::Key::C,
                                  platform::Key::Q};
    int frame = 0;
    for (platform::Key key : keys) {
        s.events.push_back({frame, EventKind::Press, key, 0});
        s.events.push_back({frame, EventKind::Repeat, key, 0});
        s.events.push_back({frame + 1, EventKind::Release, key, 0});
        s.events.push_back({frame + 1, EventKind::Clock, platform::Key::Z, 600000});
        frame += 7;
    }
    const InputScript back = parsed(formatInputScript(s));
    EXPECT_EQ(back.startMs, s.startMs);
    EXPECT_EQ(back.stepMs, s.stepMs);
    EXPECT_EQ(back.frames, s.frames);
    EXPECT_EQ(back.events, s.events);
}

TEST(InputScript, MalformedLinesAreRefusedWithTheirLineNumber)
{
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"", "line 1: empty file"},
        {"tessaloom-input 2\nframes 1\n", "line 1: not a tessaloom-input 1 file"},
        {"frames 1\n", "line 1: not a tessaloom-input 1 file"},
        {"tessaloom-input 1\n", "line 2: no frames line"},
        {"tessaloom-input 1\n0 +z\nframes 1\n", "line 2: event before frames"},
        {"tessaloom-input 1\nframes 5\nstep 10\n", "line 3: step after frames"},
        {"tessaloom-input 1\nstep 0\nframes 5\n", "line 2: step out of range"},
        {"tessaloom-input 1\nstep 600001\nframes 5\n", "line 2: step out of range"},
        {"tessaloom-input 1\nstart -5\nframes 5\n", "line 2: bad number"},
        {"tessaloom-input 1\nframes 100000001\n", "line 2: too many frames"},
        {"tessaloom-input 1\nframes 9999999999\n", "line 2: too many frames"},
        {"tessaloom-input 1\nframes 99999999999\n", "line 2: bad number"},
        {"tessaloom-input 1\nstart 4294967296\nframes 5\n", "line 2: start out of range"},
        {"tessaloom-input 1\nframes 5\n5 +z\n", "line 3: frame beyond the last"},
        {"tessaloom-input 1\nframes 5\n3 +z\n2 -z\n", "line 4: frame out of order"},
        {"tessaloom-input 1\nframes 5\n-1 +z\n", "line 3: bad frame number"},
        {"tessaloom-input 1\nframes 5\n1e2 +z\n", "line 3: bad frame number"},
        {"tessaloom-input 1\nframes 5\n1 +x\n", "line 3: unknown key"},
        {"tessaloom-input 1\nframes 5\n1 +\n", "line 3: unknown key"},
        {"tessaloom-input 1\nframes 5\n1 *z\n", "line 3: unknown event"},
        {"tessaloom-input 1\nframes 5\n1 @\n", "line 3: bad clock step"},
        {"tessaloom-input 1\nframes 5\n1 @600001\n", "line 3: bad clock step"},
        {"tessaloom-input 1\nframes 5\n1 +z extra\n", "line 3: expected two words"},
        {"tessaloom-input 1\nframes 5\n1\n", "line 3: expected two words"},
    };
    for (const Case& c : cases) {
        InputScript script;
        script.frames = 42;
        std::string error;
        EXPECT_FALSE(parseInputScript(c.text, script, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        // A refused script leaves the caller's script as it was.
        EXPECT_EQ(script.frames, 42) << c.text;
    }
}

TEST(InputScript, ZeroByteInsideALineIsRefused)
{
    const std::string text("tessaloom-input 1\nframes 5\n1 +z\0junk\n", 36);
    InputScript script;
    std::string error;
    EXPECT_FALSE(parseInputScript(text, script, error));
    EXPECT_EQ(error, "line 3: zero byte");
}

TEST(InputScript, KeyNamesGoBothWays)
{
    for (int k = 0; k < platform::KeyCount; ++k) {
        const platform::Key key = static_cast<platform::Key>(k);
        platform::Key back = platform::Key::Q;
        ASSERT_TRUE(keyFromName(keyName(key), back)) << keyName(key);
        EXPECT_EQ(back, key);
    }
    platform::Key unchanged = platform::Key::C;
    EXPECT_FALSE(keyFromName("Z", unchanged));
    EXPECT_EQ(unchanged, platform::Key::C);
}
