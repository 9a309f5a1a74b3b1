// The game's sound effects.
#pragma once

#include <string>

#include "tools/assetgen/synth.h"

namespace assetgen {

// Effects by file stem: "Decide", "Select", "GameOver", "Turn", "Move",
// "Bottom", "Chain1" .. "Chain5", "GameStart". An unknown name gives an
// empty buffer.
SoundBuffer effect(const std::string& name);

}  // namespace assetgen
