// The browser platform's keys and pixels.
#include "platform/key_bindings.h"
#include "platform/platform.h"
#include "platform/web_plain.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using platform::Key;

int keyForCode(const char* code, bool alt, const char* typed = "")
{
    return platform::keyForEvent(code, typed, alt, platform::KeyBindings::defaults());
}

int keyNumber(Key k) { return static_cast<int>(k); }

TEST(BrowserKeys, PhysicalKeysMapToTheGamesKeys)
{
    EXPECT_EQ(keyForCode("ArrowLeft", false), keyNumber(Key::Left));
    EXPECT_EQ(keyForCode("ArrowDown", false), keyNumber(Key::Down));
    EXPECT_EQ(keyForCode("KeyZ", false, "z"), keyNumber(Key::Z));
    EXPECT_EQ(keyForCode("KeyC", false, "c"), keyNumber(Key::C));
    EXPECT_EQ(keyForCode("KeyQ", false, "q"), keyNumber(Key::Q));
    EXPECT_EQ(keyForCode("Escape", false), keyNumber(Key::Escape));
    EXPECT_EQ(keyForCode("F11", false), keyNumber(Key::Fullscreen));
    // A letter key is the letter its layout types: the German Z is Z, the
    // key at the US Z's place (typing "y") is no Z, the French A is no Q.
    EXPECT_EQ(keyForCode("KeyY", false, "z"), keyNumber(Key::Z));
    EXPECT_EQ(keyForCode("KeyZ", false, "y"), -1);
    EXPECT_EQ(keyForCode("KeyQ", false, "a"), -1);
    EXPECT_EQ(keyForCode("KeyA", false, "Q"), keyNumber(Key::Q));
    // No Latin letter on it (Cyrillic): its place.
    EXPECT_EQ(keyForCode("KeyZ", false, "\xD1\x8F"), keyNumber(Key::Z));
    // A Latin layout's punctuation at a letter's place is no letter.
    EXPECT_EQ(keyForCode("KeyM", false, ","), -1);
    EXPECT_EQ(keyForCode("Space", false), keyNumber(Key::Space));
    EXPECT_EQ(keyForCode("Backspace", false), keyNumber(Key::Backspace));
    // A letter key whose typed text is unknown stands for no letter.
    EXPECT_EQ(keyForCode("KeyY", false), -1);
}

TEST(BrowserKeys, EnterIsFullscreenOnlyWithAlt)
{
    EXPECT_EQ(keyForCode("Enter", false), keyNumber(Key::Enter));
    EXPECT_EQ(keyForCode("NumpadEnter", false), keyNumber(Key::Enter));
    EXPECT_EQ(keyForCode("Enter", true), keyNumber(Key::Fullscreen));
    EXPECT_EQ(keyForCode("NumpadEnter", true), keyNumber(Key::Fullscreen));
    EXPECT_EQ(keyForCode("", false), -1);
    EXPECT_EQ(keyForCode(nullptr, false), -1);
}

TEST(BrowserKeys, ALetterIsWhatTheLayoutPrintsAndOnlyAPlainLetter)
{
    // KeyboardEvent.key: under a French layout the key in Q's place types "a".
    EXPECT_EQ(platform::letterForKey("a", false), 'A');
    EXPECT_EQ(platform::letterForKey("Q", false), 'Q');
    EXPECT_EQ(platform::letterForKey("a", true), 0);  // Ctrl+A and the like
    for (const char* other :
         {"Enter", "ArrowLeft", "1", " ", "\xd0\xb9", "", static_cast<const char*>(nullptr)})
        EXPECT_EQ(platform::letterForKey(other, false), 0) << (other ? other : "null");
}

TEST(BrowserPixels, TheBottomRowOfTheBackBufferIsTheTopOfTheCanvas)
{
    // Two by two, bottom-up, blue-green-red: the bottom row first.
    const std::uint8_t bgr[] = {
        1, 2, 3, 4,  5,  6,   // bottom row
        7, 8, 9, 10, 11, 12,  // top row
    };
    std::vector<std::uint8_t> rgba(3, 99);  // resized, whatever it held
    platform::toCanvasRgba(bgr, 2, 2, rgba);
    const std::vector<std::uint8_t> expected = {
        9, 8, 7, 255, 12, 11, 10, 255,  // top row, red first, opaque
        3, 2, 1, 255, 6,  5,  4,  255,  // bottom row
    };
    EXPECT_EQ(rgba, expected);
}

}  // namespace
