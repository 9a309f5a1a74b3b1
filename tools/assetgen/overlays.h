// The pictures the game draws over its screens to say what happened: the
// chain label, the level-up badge, the name entry's ribbon, panel and letter
// frame, the patch that hides "PRESS Z" until Z is read, the key panels and
// the landing shadow. Sizes and places come from render/overlay_layout.h.
#pragma once

#include "tools/assetgen/raster.h"

namespace assetgen {

Canvas chainWord();      // keyed: "CHAIN"
Canvas chainDigits();    // keyed: "0".."9" and "+", one cell each
Canvas levelUpBadge();   // keyed
Canvas promptPatch();    // opaque: the game-over banner's panel without "PRESS Z"
Canvas recordRibbon();   // keyed: "NEW HIGH SCORE"
Canvas namePanel();      // keyed: "ENTER YOUR NAME", room for the letters, the keys
Canvas nameFrame();      // keyed: a light ring with dark edges
Canvas playKeyPanel();   // opaque: the left panel's key rows during play
Canvas moreKeyPanel();   // opaque: pause, sound and fullscreen keys under the rules
Canvas soundNotice();    // keyed: "SOUND OFF" over "SOUND ON"
Canvas nameKeyPanel();   // opaque: the same rows during name entry
Canvas landingShadow();  // keyed: an outline per block kind, laid out as the block sheet

}  // namespace assetgen
