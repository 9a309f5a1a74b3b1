// What the browser's entry (web/main.cpp) and the browser platform share:
// where the page keeps its files.
#pragma once

#include "platform/platform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace web {

// The pictures and sounds, made at load in memory; the game finds them
// beside its "executable", which the platform reports inside this folder.
constexpr const char* GameFolder = "/game/";
// The player's files (Data/Rank.ds, .config/tessaloom/settings.ini), kept
// in the browser's storage: the working folder and HOME.
constexpr const char* PlayerFolder = "/home/web_user";

// The page's test mode plays recorded input as the replay runner does: the
// clock reads what the script says, the keys come from the script and the
// player's own keys are ignored.
void useScriptedClock(std::uint32_t ms);
void advanceScriptedClock(std::uint32_t ms);
void scriptKeyDown(platform::Key key, bool repeat);
void scriptKeyUp(platform::Key key);

// Whether a message box is open on the page; the game's frames wait while
// one is, as the desktop's frame thread waits for its box.
bool messageBoxOpen();
struct ShownMessageBox {
    std::string caption;
    std::string text;
};
// Every box shown so far, for the test mode's report.
const std::vector<ShownMessageBox>& shownMessageBoxes();

}  // namespace web
