// What the browser's entry (web/main.cpp) and the browser platform share:
// where the page keeps its files.
#pragma once

namespace web {

// The pictures and sounds, made at load in memory; the game finds them
// beside its "executable", which the platform reports inside this folder.
constexpr const char* GameFolder = "/game/";
// The player's files (Data/Rank.ds, .config/tessaloom/settings.ini), kept
// in the browser's storage: the working folder and HOME.
constexpr const char* PlayerFolder = "/home/web_user";

}  // namespace web
