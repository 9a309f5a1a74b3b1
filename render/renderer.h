// The screen object: the 640 x 480 back buffer, twelve image slots filled
// from the picture files, and one drawing operation per visible element of
// the game. Scenes redraw their whole screen into the back buffer; present
// hands it to the window once per frame. Nothing is drawn into the window
// directly.
//
// The hand-over copies nothing: the window reads the picture where it was
// drawn, and drawing goes on in a second buffer. That buffer is brought up
// to date only when the next picture does not begin by covering the whole
// screen (every scene begins with its background when it has one). A
// picture drawn with the same copies as the one on screen, beginning with
// such a cover, is known to be the same and handed over as unchanged. A
// cover by the picture a buffer already holds puts back only the parts
// drawn over it since, and those only when a copy reaches them or the
// picture is handed over: a cell drawn there meanwhile is written once,
// its key gaps straight from the cover.
#pragma once

#include "field/block_list.h"
#include "platform/platform.h"
#include "render/surface.h"

#include <cstdint>
#include <string>
#include <vector>

class PuzzleField;

enum ImageSlot : int {
    SlotTitle = 0,
    SlotRankBg = 2,
    SlotBlocks = 4,
    SlotGameBg = 5,
    SlotPaused = 6,
    SlotDigits = 7,
    SlotLetters = 8,
    SlotGameOver = 9,
    SlotGameStart = 10,
    SlotNameCursor = 11,
};
constexpr int ImageSlotCount = 12;

// Pictures drawn over the screens above to tell the player what happened.
// Each has its own file and loads like the slots; a missing one draws nothing.
enum OverlayPicture : int {
    OverlayChainWord,
    OverlayChainDigits,
    OverlayLevelUp,
    OverlayPromptPatch,
    OverlayNewRecord,
    OverlayNamePanel,
    OverlayNameFrame,
    OverlayPlayKeys,
    OverlayNameKeys,
    OverlayShadow,
    OverlayMoreKeys,
    OverlaySoundNotice,
    OverlayQuitQuestion,
    OverlayCount,
};

// Screen geometry (the cell size is the field's CellSize).
constexpr int ScreenWidth = 640;
constexpr int ScreenHeight = 480;
constexpr int FieldLeft = 192;  // (640 - 8 x 32) / 2
constexpr int FieldTop = 48;    // (480 - 12 x 32) / 2
constexpr int GlyphWidth = 24;
constexpr int GlyphHeight = 34;
constexpr int BannerWidth = 256;
constexpr int BannerHeight = 160;
constexpr int BannerLeft = FieldLeft;  // the banners cover the well's width

// Loads a picture file into image and, when keyed, builds its key runs for
// pure green. A file that is there but rejected gets one stderr line with its
// path and the reason; a missing one gets none. False when not loaded.
bool loadPicture(Surface& image, const std::string& path, bool keyed);

class Renderer {
public:
    Renderer() = default;
    virtual ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // ---- Set-up and presentation ----
    void attachWindow(platform::WindowId window) { window_ = window; }
    platform::WindowId window() const { return window_; }
    // Fills the back buffer with one colour. False when no window is
    // attached or the size is not accepted.
    bool createBackBuffer(int width, int height, int red, int green, int blue);
    // Loads a picture file into a slot and, when keyed, builds its key runs
    // for pure green. False for a slot outside 0..11 (nothing changes) and
    // when the file is missing or not of the accepted shape (slot left empty).
    // A file that is there but rejected gets one stderr line with its path
    // and the reason; a missing one gets none.
    bool loadBitmap(int slot, const std::string& path, bool keyed);
    // Takes a picture loaded elsewhere (loadPicture) into a slot, leaving
    // picture empty. False for a slot outside 0..11 (nothing changes).
    bool adoptImage(int slot, Surface& picture);
    // Hands the whole back buffer to the window. False without a window or
    // without a back buffer.
    bool present();

    // ---- Screens ----
    void drawTitleBackground();
    void drawRankingBackground();
    void drawGameBackground();
    // The screen under every play-time picture: the game background with
    // the play keys, the settled blocks, score, level and cleared count.
    void drawGameScreen(const PuzzleField& field);
    // Every grid cell, colour-keyed, at its place on the screen.
    void drawField(const PuzzleField& field);
    // A block of the falling pair at its column and half row.
    void drawPairBlock(const PairBlock& block);
    // The dropping blocks, shifted down by the shared drop offset.
    void drawFallingBlocks(const DropList& drops);
    // The fading blocks, blended by the shared fade level.
    void drawClearingGroups(const GroupList& groups);
    void drawNextPair(int firstCode, int secondCode);
    void drawScore(int value);
    void drawLevel(int value);
    void drawClearedCount(int value);
    // The bomb cell beside the menu entry of item 9, 1 or 2; others draw nothing.
    void drawMenuCursor(int item);
    void drawGameOverBanner(int x, int y);
    void drawGameStartBanner(int x, int y);
    void drawNameCursor(int x, int y);
    // The paused play: the game background with the play keys and the
    // counters, the well and the next pair left out, the pause panel
    // centred on the well.
    void drawPauseScreen(const PuzzleField& field);
    // The question before quitting, over the pause screen's panel.
    void drawQuitQuestion();
    // Place 1..5 (others draw nothing): up to three name characters, then
    // the score left-aligned with a pitch of 30.
    void drawRankEntry(int place, const std::string& name, int score);

    // ---- Glyphs ----
    // The block cell of a cell code at (x, y): keyed for alpha <= 0, else
    // blended with that alpha. Empty and Outside draw nothing; any other
    // code outside 0..5 shows "undefine block type!!" and draws nothing.
    void drawBlock(int x, int y, int cellCode, int alpha);
    // "0".."9"; any other character draws nothing.
    void drawDigit(char character, int x, int y);
    // Letter 0..25 (A..Z); another index shows "undefined string".
    void drawLetter(int letterIndex, int x, int y);
    // "A".."Z" and "a".."z" as capitals; any other character draws nothing.
    void drawChar(char character, int x, int y);
    // The value in decimal, right-aligned: its last digit ends at rightEdge - 1.
    void drawNumber(int value, int rightEdge, int y);

    // ---- Overlays (render/overlays.cpp) ----
    // Loads like loadBitmap; false for an id outside the enum.
    bool loadOverlay(int id, const std::string& path, bool keyed);
    // Takes a picture loaded elsewhere, as adoptImage; keyed says how it was
    // loaded, so how it is drawn.
    bool adoptOverlay(int id, Surface& picture, bool keyed);
    // The left panel's key rows: what each key does in play or in name entry.
    void drawPlayKeys();
    void drawNameKeys();
    // Pause, sound and fullscreen, under the rules of the left panel.
    void drawMoreKeys();
    // "2 CHAIN" over "+points", centred on (centreX, centreY) but kept inside
    // the well, mixed in with weight alpha / 256.
    void drawChainLabel(int steps, int points, int centreX, int centreY, int alpha);
    // LEVEL UP across the well's middle, its top at y.
    void drawLevelUp(int y);
    // "SOUND OFF" or "SOUND ON" in the top right corner.
    void drawSoundNotice(bool muted);
    // Hides the "PRESS Z" line of the game-over banner drawn at (x, y).
    void drawPromptPatch(int bannerX, int bannerY);
    // The name entry's additions: the ribbon over the banner's prompt line,
    // the panel behind the letters, the frame round the chosen letter.
    void drawNewRecord(int bannerX, int bannerY);
    void drawNamePanel();
    void drawNameFrame(int letterX, int letterY);
    // A faint outline of a block of this cell code at a grid cell.
    void drawLandingShadow(int column, int row, int cellCode);

    // Whether anything was drawn since the last hand-over: a screen that
    // drew nothing in a frame keeps its picture, extras included.
    bool drawnSincePresent() const { return copies_ > 0; }
    // The picture being drawn, up to date. Whatever a caller changes through
    // it (or through image) is handed over at the next present.
    Surface& backBuffer();
    // Draws part of a picture that the renderer does not own, keyed or not,
    // counted like its own copies (so a still screen is still seen as one).
    void drawOther(const Surface& picture, int x, int y, int sourceX, int sourceY, int width, int height,
                   bool keyed);
    // The image of a slot; an empty Surface for a slot outside 0..11.
    Surface& image(int slot);
    // The picture of an overlay; an empty Surface for an id outside the enum.
    Surface& overlay(int id);

private:
    enum class Copy { Plain, Keyed, Blended };
    void drawPicture(int slot, int x, int y, bool keyed);
    void drawOverlay(int id, int x, int y);
    // One line of chain glyphs: '0'..'9' and '+' from the digit sheet.
    void drawChainGlyphs(const char* text, int count, int x, int y, int alpha);
    // Every drawing into the back buffer goes through here: it brings the
    // back buffer up to date when the copy does not cover it, and notes the
    // copy for present.
    void copyImage(const Surface& image, Copy how, int x, int y, int sourceX, int sourceY, int width,
                   int height, int alpha = 0);
    // Copies the picture on screen into a back buffer left behind by the
    // last hand-over.
    void bringUpToDate();
    void startNextPicture();
    // Some buffer or picture was reached past copyImage: the copies no
    // longer tell what the buffers hold.
    void markUntracked();

    // What a buffer holds when every change to it came through copyImage
    // since a whole-screen cover by one of the slot images: that cover,
    // with the rectangles drawn over it since (merged where they touch, so
    // a row of cells is one rectangle). A cover of the same picture then
    // puts back only these rectangles. No cover means "not known".
    struct DrawnRect {
        int x, y, w, h;
    };
    struct Held {
        static constexpr int MaxRects = 96;
        const Surface* cover = nullptr;
        int count = 0;
        DrawnRect rects[MaxRects];
        void note(int x, int y, int w, int h, int screenW, int screenH);
    };
    void coverBackBuffer(const Surface& image, int width, int height);

    // The put-back a cover owes, in tiles of the back buffer: an owed tile
    // still holds an older picture where the cover should show. Copies
    // settle the tiles they reach before drawing; everything else that
    // reads or hands over the back buffer pays all first. A row of tiles is
    // one word, so a back buffer wider than 64 tiles is put back at once.
    static constexpr int TileSide = 16;
    static constexpr int MaxTileColumns = 64;
    void sizeTiles();
    bool canOwe() const { return !owedRows_.empty(); }
    void owe(const DrawnRect& r);
    // Puts the cover back on the owed tiles among columns tx0..tx1 and rows
    // ty0..ty1 (tile indices, inclusive).
    void payTiles(int tx0, int ty0, int tx1, int ty1);
    void payAll();
    void forgetOwed();
    // Settles the owed tiles a copy reaches; true when it drew the copy
    // itself (a keyed copy over owed tiles only, in one pass).
    bool settleOwed(const Surface& image, Copy how, int x, int y, int sourceX, int sourceY, int width,
                    int height);

    platform::WindowId window_ = platform::NoWindow;
    Surface backBuffer_;
    // The picture handed over last, which the window reads; its size and
    // pixels stay as they are until the next hand-over.
    Surface shown_;
    // The back buffer still holds an older picture than shown_.
    bool stale_ = false;
    // The copies since the last present: how many, a hash of them, whether
    // the first covered the whole back buffer, and whether the back buffer
    // or an image was reached in any other way.
    int copies_ = 0;
    std::uint64_t copyHash_ = 0;
    bool coveredFirst_ = false;
    bool untracked_ = true;
    // The hash of the picture on screen, when its pixels follow from its
    // copies alone.
    bool shownKnown_ = false;
    std::uint64_t shownHash_ = 0;
    Held backHeld_;
    Held shownHeld_;
    const Surface* owedCover_ = nullptr;
    int owedCount_ = 0;
    int tileColumns_ = 0;
    // Bit tx of owedRows_[ty]: the tile in column tx of tile row ty is owed.
    std::vector<std::uint64_t> owedRows_;
    Surface images_[ImageSlotCount];
    Surface noImage_;
    Surface overlays_[OverlayCount];
    bool overlayKeyed_[OverlayCount] = {};
};
