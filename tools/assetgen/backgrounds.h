// The game's full-screen backgrounds, the panel and label styles they share
// with the overlays, and the options screen's pictures.
#pragma once

#include "tools/assetgen/raster.h"
#include "tools/assetgen/stroke_font.h"

namespace assetgen {

// One row of the play screen's key list: key tops, then what they do.
struct KeyRow {
    const char* keys;
    const char* action;
};
constexpr int KeyRowCount = 4;

Canvas titleBackground();    // 640 x 480, opaque
Canvas rankingBackground();  // 640 x 480, opaque
Canvas gameBackground();     // 640 x 480, opaque
// The game background with other key rows (the key panels are cut from it).
Canvas gameBackground(const KeyRow (&rows)[KeyRowCount]);

// A dark, slightly transparent rounded box with a thin light border.
void drawPanel(Canvas& c, float x0, float y0, float x1, float y1, float opacity = 0.82f);
// White-to-blue labels with a dark rim, capitals `cap` pixels high.
TextStyle labelStyle(float cap);

// The options screen: entry names on rows 36 pixels apart from y 100, the
// values drawn by the game from the sheet at x 420 (game/options_view.h).
Canvas optionsBackground();  // 640 x 480, opaque
Canvas optionValueSheet();   // 848 x 24, keyed: five words, then "0".."9", "X", "%", "."
Canvas optionsHint();        // 128 x 16, keyed: the title's "O  OPTIONS"
Canvas keysBackground();     // 640 x 480, opaque: the KEYS page
Canvas keyWordSheet();       // 320 x 80, keyed: what the last choice did
// The hint lines' place on the options screen, the KEYS page and the title
// without their text (640 x 16, opaque), and their words (5 cells of 96 x
// 16, keyed: CHOOSE, CHANGE, DECIDE, BACK, QUIT), for the lines the game
// draws itself.
Canvas optionsFootStrip();
Canvas keysFootStrip();
Canvas titleKeysStrip();
Canvas hintWordSheet();
// Every key's and button's name in the hints' lettering, one cell each
// (render/key_names_layout.h), keyed.
Canvas keyNameSheet();
// Keyed: the two control styles in plain words, one line each.
Canvas controlsNotes();

}  // namespace assetgen
