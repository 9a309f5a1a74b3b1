// The generator's own stroke font: capitals, digits, a few signs (% among
// them) and four
// arrows, each a set of polylines in a box 4 units wide and 6 high (y down).
// Text is drawn as round-capped strokes with a dark outline around them, so
// it reads on any background and survives the hard edge of a colour key.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/assetgen/raster.h"

namespace assetgen {

struct GlyphPoint {
    float x, y;
};
using GlyphPath = std::vector<GlyphPoint>;  // one point draws a dot

// The paths of a character; lower case maps to capitals. Arrows: '<' left,
// '>' right, '^' up, '_' down. Characters without a glyph (and space) give
// an empty list.
const std::vector<GlyphPath>& glyphPaths(char c);

struct TextStyle {
    float capHeight = 24;             // pixels from the top to the bottom of a capital
    float widthScale = 0.85f;         // glyph width relative to its height's unit
    float stroke = 3.5f;              // stroke width in pixels
    float outline = 1.5f;             // dark rim around the stroke
    float tracking = 2.0f;            // extra pixels between glyphs
    Rgb top = rgb(255, 255, 255);     // fill at the top of a capital ...
    Rgb bottom = rgb(255, 255, 255);  // ... and at its bottom
    Rgb rim = rgb(16, 16, 32);
    float shadowDx = 0, shadowDy = 0;  // drop shadow offset; 0, 0 for none
    float shadowOpacity = 0.5f;
};

// Pixel width of a string, from the left of the first glyph's ink box to the
// right of the last one's (stroke and outline included).
float textWidth(const std::string& text, const TextStyle& style);

// Draws text whose ink (outline included) starts at x and whose capitals'
// box starts at y; strokes reach half a stroke plus the outline above and
// below that box.
void drawText(Canvas& canvas, const std::string& text, float x, float y, const TextStyle& style);

// The same, centred horizontally on cx.
void drawTextCentred(Canvas& canvas, const std::string& text, float cx, float y, const TextStyle& style);

}  // namespace assetgen
