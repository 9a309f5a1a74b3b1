// The game's pictures, drawn in code: the block sheet, the glyph sheets,
// the banners and the name cursor (the backgrounds are in backgrounds.h).
#pragma once

#include "tools/assetgen/raster.h"

namespace assetgen {

// Cell codes of the block sheet's pictures (the game's own numbering).
enum BlockKind {
    BlockRed = 0,
    BlockGreen = 1,
    BlockBlue = 2,
    BlockYellow = 3,
    BlockStone = 4,
    BlockBomb = 5
};

// Sheet x of a block kind: colours at 0, 32, 64, 96, the bomb at 128, the stone at 160.
int blockSheetX(int kind);

// The main colour of a block kind's picture (the stone's grey, the bomb's rim).
Rgb blockBaseColour(int kind);

// Draws one 32 x 32 block picture with its top-left at (x, y).
void drawBlockCell(Canvas& canvas, int x, int y, int kind);

Canvas blockSheet();   // 192 x 32, keyed
Canvas digitSheet();   // 240 x 34, keyed: 0..9
Canvas letterSheet();  // 624 x 34, keyed: A..Z
// 256 x 160, keyed; without the prompt, the panel shows where "PRESS Z" was.
Canvas gameOverBanner(bool withPrompt = true);
Canvas gameStartBanner();  // 256 x 160, keyed
Canvas nameCursor();       // 24 x 5, opaque
Canvas pausePanel();
Canvas quitQuestionPanel();  // keyed: "QUIT?" with its two answers       // 256 x 160, keyed

}  // namespace assetgen
