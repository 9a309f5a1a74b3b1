// Screens composed by the game's Renderer straight from the pictures, without
// running the game: every menu cursor row at once, a field showing every kind
// of block, a fading block and the largest numbers. For checking generated
// or edited pictures by eye.
#pragma once

#include <string>

// Reads <assetDir>/Graphics/ and writes title.bmp, title_rows.bmp, play.bmp,
// start.bmp, name_entry.bmp and ranking.bmp into outDir, and for each block
// kind 0..5 the overlays over a field of that kind: feedback_<kind>.bmp,
// name_entry_<kind>.bmp and game_over_sliding_<kind>.bmp. False when a file
// could not be written.
bool writeComposedScreens(const std::string& assetDir, const std::string& outDir);
