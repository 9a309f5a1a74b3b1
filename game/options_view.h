// The pictures of the options screen and the title's hint for it: a
// background with the entries' names, a sheet of value words and small
// glyphs, and the hint. Each is its own file beside the game; a missing one
// is not drawn (the options screen then shows a plain dark background).
#pragma once

#include "render/key_names_layout.h"
#include "render/surface.h"
#include "settings/keys_menu.h"
#include "settings/options_menu.h"

#include <array>
#include <string>
#include <vector>

class Renderer;

// Where the options screen puts things; the asset generator draws the
// background to fit.
namespace optionsLayout {
constexpr int FirstRowY = 100;  // top of the first entry's row
constexpr int RowPitch = 36;
constexpr int CursorX = 76;  // the bomb cell, as on the title
constexpr int LabelX = 120;
constexpr int ValueX = 420;
constexpr int ValueOffsetY = 6;  // value glyphs within a row
// The value sheet: word cells, then single glyphs "0".."9", "X", "%", "."
constexpr int WordWidth = 128;
constexpr int WordCount = 5;  // AUTO, ON, OFF, CLASSIC, MODERN
constexpr int ValueGlyphWidth = 16;
constexpr int ValueGlyphCount = 13;
constexpr int SheetHeight = 24;
constexpr const char* ValueGlyphOrder = "0123456789X%.";
// The notes on the control styles, one line each (classic, then modern),
// under the last row, above the foot line: the rows stand too close for a
// line between them.
constexpr int NoteWidth = 448;
constexpr int NoteHeight = 16;
constexpr int NoteOffsetY = 146;  // from the top of the CONTROLS row
// The title's hint "O OPTIONS", in the free space right of the menu, level
// with its last entry.
constexpr int HintX = 468;
constexpr int HintY = 438;
}  // namespace optionsLayout

// The KEYS page: a row per game key (its name, its keyboard key, its
// controller button), then RESET and BACK, and a line saying what the last
// choice did. The asset generator draws the background to fit.
namespace keysLayout {
constexpr int FirstRowY = 84;
constexpr int RowPitch = 26;
constexpr int CursorX = 92;  // the key names' right arrow
constexpr int KeyX = 360;
constexpr int ButtonX = 470;
constexpr int NameOffsetY = 2;  // key names within a row
// The words of the last choice, centred under the rows: cells of the
// words sheet, in the order of KeysStatus from Waiting.
constexpr int WordWidth = 320;
constexpr int WordHeight = 16;
constexpr int WordCount = 5;  // PRESS A KEY OR BUTTON, SET, SWAPPED, REFUSED, DEFAULT KEYS BACK
constexpr int WordX = 160;
constexpr int WordY = 432;
}  // namespace keysLayout

// The sheet cell of a keyboard key (platform::KeyCap) or a controller
// button; -1 for one without a name.
int keyNameCell(int cap);
int buttonNameCell(int button);

// A keyed sheet of words in the hints' lettering, one cell each, each
// word's ink starting keyNames::InkX into its cell: the names of keys as the
// screens print them (Graphics/KeyNames.bmp), or the hints' own words.
class CellSheet {
public:
    // A sheet narrower than cellWidth x cellCount or lower than
    // keyNames::CellHeight is not used.
    void load(const std::string& path, int cellWidth, int cellCount);
    bool isEmpty() const { return sheet_.isEmpty(); }
    // The width of a cell's ink; 0 for none.
    int inkWidth(int cell) const;
    // Draws a cell's word with its ink starting at x + keyNames::InkX and
    // the capitals' box at y + 3, as the hints place their text; returns
    // where its ink ends (x + InkX when there is no word or no sheet).
    int draw(Renderer& renderer, int cell, int x, int y) const;

private:
    Surface sheet_;
    int cellWidth_ = 0;
    std::vector<int> inkWidth_;
};

// The words of the hint lines under the options and the KEYS page, for the
// lines the game draws itself when they name a key other than the default.
enum HintWord { WordChoose = 0, WordChange = 1, WordDecide = 2, WordBack = 3, WordQuit = 4 };
constexpr int HintWordCount = 5;
constexpr int HintWordWidth = 96;
// Where those lines are, and the strips without their text that the game
// draws before its own (the options' picture has its line at y 448, the
// KEYS page's at y 458, the title's key line at y 306).
constexpr int OptionsFootY = 445;
constexpr int KeysFootY = 455;
constexpr int TitleKeysY = 303;
// The control styles' note lies clear of the rows and of the foot line.
static_assert(optionsLayout::FirstRowY + optionsLayout::RowPitch * static_cast<int>(OptionsEntry::Controls) +
                      optionsLayout::NoteOffsetY >=
                  optionsLayout::FirstRowY +
                      optionsLayout::RowPitch * (static_cast<int>(OptionsEntry::Back) + 1),
              "the note below the last row");
static_assert(optionsLayout::FirstRowY + optionsLayout::RowPitch * static_cast<int>(OptionsEntry::Controls) +
                      optionsLayout::NoteOffsetY + optionsLayout::NoteHeight <=
                  OptionsFootY,
              "the note above the foot line");

class OptionsView {
public:
    enum Word { Auto = 0, On = 1, Off = 2, Classic = 3, Modern = 4 };

    // The sheets the rest of start-up reads for the options screen.
    enum Sheet { ValueSheet, NotesSheet, KeyWordsSheet, OptionsFootSheet, KeysFootSheet };
    static constexpr Sheet Sheets[] = {ValueSheet, NotesSheet, KeyWordsSheet, OptionsFootSheet,
                                       KeysFootSheet};

    // From Graphics/ under base (base ends with '/' or is empty): the title's
    // hint, loaded here; the file of each sheet, which the rest of start-up
    // reads (keyed) and hands over with adoptSheet (picture is left empty),
    // which also notes where the background is. Missing files stay silent,
    // unusable ones get one stderr line, as every picture does.
    void loadTitleHint(const std::string& base);
    static std::string sheetPath(Sheet sheet, const std::string& base);
    // Whether a sheet's picture is read with its colour key.
    static bool sheetKeyed(Sheet sheet);
    void adoptSheet(Sheet sheet, Surface& picture, const std::string& base);
    // The background, a whole screen, is held only while the options show:
    // loaded on opening, let go on closing; the KEYS page's likewise.
    void open();
    void close();
    void openKeys();
    void closeKeys();

    // The title's hints, over the title picture, naming the keys bound: the
    // options hint as it is for O, else the bound key's name in place of
    // its O; the menu's key line as the picture has it for the default keys.
    void drawTitleHint(Renderer& renderer, const platform::KeyBindings& bindings) const;
    const CellSheet& keyNames() const { return names_; }
    // The whole options screen: background, the cursor (a bomb cell from
    // the renderer's block sheet), every entry's value and what the chosen
    // control style does.
    void draw(Renderer& renderer, const OptionsMenu& menu, const Settings& settings) const;
    // The KEYS page instead of the options' own screen.
    void drawKeys(Renderer& renderer, const KeysMenu& menu, const platform::KeyBindings& bindings) const;

private:
    void drawWord(Renderer& renderer, Word word, int row) const;
    // A number of up to three digits followed by a sign ('X' or '%').
    void drawNumber(Renderer& renderer, int value, char sign, int row) const;
    // A window size in half factors: "1X", "1.5X", "2X", ...
    void drawScale(Renderer& renderer, int halves, int row) const;
    // Glyphs of the sheet's, left to right from the value's place.
    void drawGlyphs(Renderer& renderer, const char* text, int row) const;

    std::string backgroundPath_;
    std::string keysPath_;
    Surface background_;
    Surface keysBackground_;  // held, like the background, while the page shows
    Surface keysWords_;
    Surface plain_;  // stands in for a missing background
    Surface values_;
    Surface hint_;
    Surface notes_;
    // Where the hint's text after its key name starts, and the gap before it.
    int hintRestX_ = 0;
    int hintGap_ = 0;
    CellSheet names_;
    CellSheet hintWords_;
    Surface optionsFoot_;
    Surface keysFoot_;
    Surface titleKeys_;

    // One group of a hint line: the keys' caps (NoCap ends), then a word.
    struct HintGroup {
        int caps[2];
        HintWord word;
    };
    // A hint line naming the keys bound, centred, over its strip, when any
    // of its keys is not the default one; else the picture's own stays.
    template <std::size_t N>
    void drawHintLine(Renderer& renderer, const Surface& strip, int y, const HintGroup (&groups)[N],
                      const HintGroup (&defaults)[N], int groupGap) const;
};
