// The game's three full-screen backgrounds.
#pragma once

#include "tools/assetgen/raster.h"

namespace assetgen {

Canvas titleBackground();    // 640 x 480, opaque
Canvas rankingBackground();  // 640 x 480, opaque
Canvas gameBackground();     // 640 x 480, opaque

}  // namespace assetgen
