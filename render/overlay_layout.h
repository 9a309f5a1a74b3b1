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

// The keys that work beside the play ones (pause, sound, fullscreen), in
// the free foot of the left panel under the rules.
constexpr int MoreKeysX = 12;
constexpr int MoreKeysY = 428;
constexpr int MoreKeysWidth = 160;
constexpr int MoreKeysHeight = 36;

// The "LEVEL UP" badge, across the well's middle columns (the well spans
// x 192..447, y 48..431) where the eyes are: in the upper place, or in the
// lower one while a block of the falling pair is under the upper.
constexpr int LevelUpWidth = 144;
constexpr int LevelUpHeight = 34;
constexpr int LevelUpX = 192 + (256 - LevelUpWidth) / 2;
constexpr int LevelUpUpperY = 48 + 104;
constexpr int LevelUpLowerY = 48 + 248;

// The notice after M, "SOUND OFF" over "SOUND ON" in one sheet: in the top
// right corner, which every screen leaves free.
constexpr int SoundNoticeX = 480;
constexpr int SoundNoticeY = 10;
constexpr int SoundNoticeWidth = 148;
constexpr int SoundNoticeHeight = 30;

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
constexpr int ChainGlyphHeight = 26;  // the rim's whole width above and below
constexpr int ChainGlyphCount = 11;
constexpr int ChainWordWidth = 84;
// Between the step count and the word, and between the two lines.
constexpr int ChainWordGap = 8;
constexpr int ChainLineGap = 2;

}  // namespace overlay
