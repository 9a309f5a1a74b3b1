// Where the pictures drawn over the play screens go and how large they are.
// The game places them with these numbers and the asset generator draws
// them to fit, so the two never disagree. Every overlay sits in free space or
// on a panel of its own: none moves anything the screens already show.
#pragma once

namespace overlay {

// The key rows of the left panel (the game background's "KEYS" list),
// redrawn with what each key does during play and during name entry.
constexpr int KeyPanelX = 12;
constexpr int KeyPanelY = 80;
constexpr int KeyPanelWidth = 160;
constexpr int KeyPanelHeight = 124;

// The "LEVEL UP" badge, over the heading of the level display.
constexpr int LevelUpX = 497;
constexpr int LevelUpY = 257;
constexpr int LevelUpWidth = 96;
constexpr int LevelUpHeight = 26;

// The game-over banner's "PRESS Z" line, relative to the banner: the patch
// that hides it and the name entry's ribbon that replaces it.
constexpr int PromptPatchX = 72;
constexpr int PromptPatchY = 94;
constexpr int PromptPatchWidth = 112;
constexpr int PromptPatchHeight = 24;
constexpr int RecordRibbonX = 12;
constexpr int RecordRibbonY = 88;
constexpr int RecordRibbonWidth = 232;
constexpr int RecordRibbonHeight = 32;

// The name entry's backing panel behind the three letters (at x 250, 300
// and 350, y 250, the cursor below them at y 290): a prompt above the
// letters, the keys below the cursor.
constexpr int NamePanelX = 216;
constexpr int NamePanelY = 222;
constexpr int NamePanelWidth = 192;
constexpr int NamePanelHeight = 124;
// The frame around the chosen letter, relative to the letter's top left.
constexpr int NameFrameDx = -4;
constexpr int NameFrameDy = -4;
constexpr int NameFrameWidth = 32;
constexpr int NameFrameHeight = 54;

// The chain label's glyphs: "0".."9" and "+" side by side, and the word.
constexpr int ChainGlyphWidth = 16;
constexpr int ChainGlyphHeight = 24;
constexpr int ChainGlyphCount = 11;
constexpr int ChainWordWidth = 84;
// Between the step count and the word, and between the two lines.
constexpr int ChainWordGap = 8;
constexpr int ChainLineGap = 2;

}  // namespace overlay
