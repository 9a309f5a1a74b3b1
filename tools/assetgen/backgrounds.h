// The game's full-screen backgrounds, and the options screen's pictures.
#pragma once

#include "tools/assetgen/raster.h"

namespace assetgen {

Canvas titleBackground();    // 640 x 480, opaque
Canvas rankingBackground();  // 640 x 480, opaque
Canvas gameBackground();     // 640 x 480, opaque

// The options screen: entry names on rows 40 pixels apart from y 100, the
// values drawn by the game from the sheet at x 420 (game/options_view.h).
Canvas optionsBackground();  // 640 x 480, opaque
Canvas optionValueSheet();   // 832 x 24, keyed: five words, then "0".."9", "X", "%"
Canvas optionsHint();        // 128 x 16, keyed: the title's "O  OPTIONS"

}  // namespace assetgen
