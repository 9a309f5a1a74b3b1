// The sheet of key names the game draws wherever a screen names a key, so
// that it names the key actually bound. The asset generator draws the sheet
// in the small hint lettering of the title and the options; the game picks
// a cell by these numbers.
#pragma once

namespace keyNames {

constexpr int CellWidth = 60;  // the whole sheet stays within the 4096 pixels a picture may have
constexpr int CellHeight = 16;
// The name's ink starts this far into its cell, as the hints' text does.
constexpr int InkX = 2;

// The cells, left to right: the letters A..Z, the digits 0..9, the named
// keys in the order of platform::KeyCap (left, right, up, down, Escape,
// Enter, Space, Backspace, Tab, F1..F12), then the controller buttons.
constexpr int FirstDigit = 26;
constexpr int FirstNamed = 36;
constexpr int NamedCount = 21;
constexpr int FirstButton = FirstNamed + NamedCount;
constexpr const char* NamedLabels[NamedCount] = {"<",  ">",  "^",  "_",  "ESC", "ENTER", "SPACE",
                                                 "BKSP", "TAB", "F1", "F2", "F3",  "F4",    "F5",
                                                 "F6", "F7", "F8", "F9", "F10", "F11",  "F12"};
constexpr int ButtonCount = 8;
constexpr const char* ButtonLabels[ButtonCount] = {"A", "B", "X", "Y", "BACK", "START", "LB", "RB"};
constexpr int CellCount = FirstButton + ButtonCount;

}  // namespace keyNames
