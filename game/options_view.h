// The pictures of the options screen and the title's hint for it: a
// background with the entries' names, a sheet of value words and small
// glyphs, and the hint. Each is its own file beside the game; a missing one
// is not drawn (the options screen then shows a plain dark background).
#pragma once

#include "render/surface.h"
#include "settings/options_menu.h"

#include <string>

class Renderer;

// Where the options screen puts things; the asset generator draws the
// background to fit.
namespace optionsLayout {
constexpr int FirstRowY = 100;  // top of the first entry's row
constexpr int RowPitch = 40;
constexpr int CursorX = 76;  // the bomb cell, as on the title
constexpr int LabelX = 120;
constexpr int ValueX = 420;
constexpr int ValueOffsetY = 8;  // value glyphs within a row
// The value sheet: word cells, then single glyphs "0".."9", "X", "%", ".".
constexpr int WordWidth = 128;
constexpr int WordCount = 5;  // AUTO, ON, OFF, CLASSIC, MODERN
constexpr int ValueGlyphWidth = 16;
constexpr int ValueGlyphCount = 13;
constexpr int SheetHeight = 24;
constexpr const char* ValueGlyphOrder = "0123456789X%.";
// The notes on the control styles, one line each (classic, then modern),
// under the CONTROLS row's name.
constexpr int NoteWidth = 448;
constexpr int NoteHeight = 16;
constexpr int NoteOffsetY = 31;  // from the top of the CONTROLS row
// The title's hint "O OPTIONS", in the free space right of the menu, level
// with its last entry.
constexpr int HintX = 468;
constexpr int HintY = 438;
}  // namespace optionsLayout

class OptionsView {
public:
    enum Word { Auto = 0, On = 1, Off = 2, Classic = 3, Modern = 4 };

    // The sheets the rest of start-up reads for the options screen.
    enum Sheet { ValueSheet, NotesSheet };
    static constexpr Sheet Sheets[] = {ValueSheet, NotesSheet};

    // From Graphics/ under base (base ends with '/' or is empty): the title's
    // hint, loaded here; the file of each sheet, which the rest of start-up
    // reads (keyed) and hands over with adoptSheet (picture is left empty),
    // which also notes where the background is. Missing files stay silent,
    // unusable ones get one stderr line, as every picture does.
    void loadTitleHint(const std::string& base);
    static std::string sheetPath(Sheet sheet, const std::string& base);
    void adoptSheet(Sheet sheet, Surface& picture, const std::string& base);
    // The background, a whole screen, is held only while the options show:
    // loaded on opening, let go on closing.
    void open();
    void close();

    // The title's hint, over the title picture.
    void drawTitleHint(Renderer& renderer) const;
    // The whole options screen: background, the cursor (a bomb cell from
    // the renderer's block sheet), every entry's value and what the chosen
    // control style does.
    void draw(Renderer& renderer, const OptionsMenu& menu, const Settings& settings) const;

private:
    void drawWord(Renderer& renderer, Word word, int row) const;
    // A number of up to three digits followed by a sign ('X' or '%').
    void drawNumber(Renderer& renderer, int value, char sign, int row) const;
    // A window size in half factors: "1X", "1.5X", "2X", ...
    void drawScale(Renderer& renderer, int halves, int row) const;
    // Glyphs of the sheet's, left to right from the value's place.
    void drawGlyphs(Renderer& renderer, const char* text, int row) const;

    std::string backgroundPath_;
    Surface background_;
    Surface plain_;  // stands in for a missing background
    Surface values_;
    Surface hint_;
    Surface notes_;
};
