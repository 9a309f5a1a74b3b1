#include "render/renderer.h"

#include "field/puzzle_field.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr int NextPairX0 = 513;
constexpr int NextPairX1 = 545;
constexpr int NextPairY = 185;
constexpr int ScoreRight = 630;
constexpr int ScoreY = 85;
constexpr int LevelRight = 580;
constexpr int LevelY = 290;
constexpr int ClearedRight = 630;
constexpr int ClearedY = 390;
constexpr int MenuCursorX = 210;
constexpr int BombCellX = 128;
constexpr int RankNameX = 180;
constexpr int RankScoreX = 300;
constexpr int RankPitch = 30;
// The pause panel is banner-sized, centred on the well.
constexpr int PausePanelTop = FieldTop + (GridRows * CellSize - BannerHeight) / 2;

// Source x of a cell code's picture on the block sheet; -1 draws nothing
// (Empty, Outside), -2 is a code the game does not know. Stone and Bomb
// sit in the sheet's sixth and fifth cells.
constexpr int BlockSheetX[] = {0, 32, 64, 96, 160, 128, -1, -1};

// The fields of one copy folded in a 64-bit word at a time: a multiply
// and a shift per word, so hashing stays small beside the copy itself.
constexpr std::uint64_t HashStart = 14695981039346656037ull;
std::uint64_t hashIn(std::uint64_t hash, std::uint64_t value)
{
    hash = (hash ^ value) * 0x9E3779B97F4A7C15ull;
    return hash ^ (hash >> 29);
}
std::uint64_t pairOf(int low, int high)
{
    return static_cast<std::uint32_t>(low) | static_cast<std::uint64_t>(static_cast<std::uint32_t>(high))
                                                 << 32;
}

}  // namespace

bool loadPicture(Surface& image, const std::string& path, bool keyed)
{
    const char* reason = nullptr;
    const bool loaded = image.loadBmp(path, &reason);
    // A missing picture stays silent (the game runs on without it); one that
    // is there but unusable says why, so the player can tell the two apart.
    if (reason != nullptr)
        std::fprintf(stderr, "tessaloom: skipping the picture %s: %s\n", path.c_str(), reason);
    if (keyed) image.buildKeyRuns(0, 255, 0);
    return loaded;
}

Renderer::~Renderer()
{
    // The window must stop reading shown_ before it goes.
    if (window_ != platform::NoWindow && !shown_.isEmpty()) platform::releaseFrame(window_);
}

bool Renderer::createBackBuffer(int width, int height, int red, int green, int blue)
{
    if (window_ == platform::NoWindow) return false;
    if (!shown_.isEmpty()) {
        platform::releaseFrame(window_);
        shown_.release();
    }
    stale_ = false;
    shownKnown_ = false;
    startNextPicture();
    markUntracked();
    const bool created = backBuffer_.createFilled(width, height, red, green, blue);
    sizeTiles();
    return created;
}

Surface& Renderer::backBuffer()
{
    bringUpToDate();
    markUntracked();
    return backBuffer_;
}

void Renderer::markUntracked()
{
    payAll();  // whoever comes past the copies sees the picture as drawn
    untracked_ = true;
    backHeld_.cover = nullptr;
    shownHeld_.cover = nullptr;
}

void Renderer::bringUpToDate()
{
    if (!stale_) return;
    stale_ = false;
    if (shown_.byteCount() == backBuffer_.byteCount()) {
        forgetOwed();
        std::memcpy(backBuffer_.pixels(), shown_.pixels(), backBuffer_.byteCount());
        backHeld_ = shownHeld_;
    }
}

void Renderer::Held::note(int x, int y, int w, int h, int screenW, int screenH)
{
    if (cover == nullptr) return;
    // Cut to the screen in 64 bits: positions may be anywhere.
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right = std::min<long long>(static_cast<long long>(x) + w, screenW);
    const long long bottom = std::min<long long>(static_cast<long long>(y) + h, screenH);
    if (left >= right || top >= bottom) return;
    DrawnRect r{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                static_cast<int>(bottom - top)};
    // Putting back more of the cover than was drawn over is harmless, so
    // neighbours in one band join across small gaps (empty cells).
    constexpr int Gap = 64;
    while (count > 0) {
        DrawnRect& last = rects[count - 1];
        const bool sameBand = r.y == last.y && r.h == last.h && r.x <= last.x + last.w + Gap &&
                              last.x <= r.x + r.w + Gap;
        const bool sameColumn = r.x == last.x && r.w == last.w && r.y <= last.y + last.h &&
                                last.y <= r.y + r.h;
        const bool inside = r.x >= last.x && r.y >= last.y && r.x + r.w <= last.x + last.w &&
                            r.y + r.h <= last.y + last.h;
        if (!sameBand && !sameColumn && !inside) break;
        const int x0 = std::min(r.x, last.x), y0 = std::min(r.y, last.y);
        const int x1 = std::max(r.x + r.w, last.x + last.w), y1 = std::max(r.y + r.h, last.y + last.h);
        r = DrawnRect{x0, y0, x1 - x0, y1 - y0};
        --count;  // the joined rectangle tries its new neighbour too
    }
    if (count == MaxRects) {
        cover = nullptr;  // too scattered to track: the next cover copies all
        return;
    }
    rects[count++] = r;
}

void Renderer::coverBackBuffer(const Surface& image, int width, int height)
{
    if (backHeld_.cover == &image) {
        if (owedCover_ != &image) payAll();
        sizeTiles();  // unless the back buffer was resized by hand, nothing to do
        if (canOwe()) {
            owedCover_ = &image;
            for (int k = 0; k < backHeld_.count; ++k)
                owe(backHeld_.rects[k]);
        } else {
            for (int k = 0; k < backHeld_.count; ++k) {
                const DrawnRect& r = backHeld_.rects[k];
                image.blit(backBuffer_, r.x, r.y, r.x, r.y, r.w, r.h);
            }
        }
    } else {
        forgetOwed();
        image.blit(backBuffer_, 0, 0, 0, 0, width, height);
    }
    // Only the slot images are known to change nowhere but through a load.
    const bool slotImage = &image >= images_ && &image < images_ + ImageSlotCount;
    backHeld_.cover = slotImage ? &image : nullptr;
    backHeld_.count = 0;
}

namespace {

// Bits first..last of a tile row.
std::uint64_t tileBits(int first, int last)
{
    const std::uint64_t upTo = last >= 63 ? ~0ull : (2ull << last) - 1;
    return upTo & ~((1ull << first) - 1);
}

// Counted in the word itself: without a popcount instruction in the
// baseline x86-64 set, the builtin becomes a library call.
int bitCount(std::uint64_t bits)
{
    bits -= (bits >> 1) & 0x5555555555555555ull;
    bits = (bits & 0x3333333333333333ull) + ((bits >> 2) & 0x3333333333333333ull);
    bits = (bits + (bits >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return static_cast<int>((bits * 0x0101010101010101ull) >> 56);
}

}  // namespace

void Renderer::sizeTiles()
{
    const int columns = (backBuffer_.width() + TileSide - 1) / TileSide;
    const std::size_t rows = columns <= MaxTileColumns
                                 ? static_cast<std::size_t>((backBuffer_.height() + TileSide - 1) / TileSide)
                                 : 0;
    if (columns == tileColumns_ && rows == owedRows_.size()) return;
    forgetOwed();
    tileColumns_ = columns;
    owedRows_.assign(rows, 0);
}

void Renderer::owe(const DrawnRect& r)
{
    // Held rectangles lie inside the screen and are never empty.
    const std::uint64_t bits = tileBits(r.x / TileSide, (r.x + r.w - 1) / TileSide);
    for (int ty = r.y / TileSide; ty <= (r.y + r.h - 1) / TileSide; ++ty) {
        std::uint64_t& row = owedRows_[static_cast<std::size_t>(ty)];
        owedCount_ += bitCount(bits & ~row);
        row |= bits;
    }
}

void Renderer::payTiles(int tx0, int ty0, int tx1, int ty1)
{
    const std::uint64_t within = tileBits(tx0, tx1);
    for (int ty = ty0; ty <= ty1; ++ty) {
        std::uint64_t& row = owedRows_[static_cast<std::size_t>(ty)];
        std::uint64_t bits = row & within;
        row &= ~within;
        owedCount_ -= bitCount(bits);
        while (bits != 0) {
            // Neighbours in a row go back in one copy.
            const int first = __builtin_ctzll(bits);
            const std::uint64_t from = bits >> first;
            const int count = ~from == 0 ? 64 - first : __builtin_ctzll(~from);
            if (first + count < 64)
                bits &= ~0ull << (first + count);
            else
                bits = 0;
            owedCover_->blit(backBuffer_, first * TileSide, ty * TileSide, first * TileSide, ty * TileSide,
                             count * TileSide, TileSide);
        }
    }
    if (owedCount_ == 0) owedCover_ = nullptr;
}

void Renderer::payAll()
{
    if (owedCount_ > 0) payTiles(0, 0, tileColumns_ - 1, static_cast<int>(owedRows_.size()) - 1);
}

void Renderer::forgetOwed()
{
    if (owedCount_ > 0) std::fill(owedRows_.begin(), owedRows_.end(), 0);
    owedCount_ = 0;
    owedCover_ = nullptr;
}

bool Renderer::settleOwed(const Surface& image, Copy how, int x, int y, int sourceX, int sourceY, int width,
                          int height)
{
    if (&image == &backBuffer_) {
        payAll();  // a copy within the back buffer reads it too
        return false;
    }
    PixelRect area{x, y, width, height};
    // Cells and glyphs lie inside both pictures: no clipping to work out.
    const bool inside = x >= 0 && y >= 0 && sourceX >= 0 && sourceY >= 0 && width > 0 && height > 0 &&
                        width <= backBuffer_.width() - x && height <= backBuffer_.height() - y &&
                        width <= image.width() - sourceX && height <= image.height() - sourceY;
    if (!inside && !image.landingArea(backBuffer_, x, y, sourceX, sourceY, width, height, area)) return false;
    const int tx0 = area.x / TileSide, tx1 = (area.x + area.width - 1) / TileSide;
    const int ty0 = area.y / TileSide, ty1 = (area.y + area.height - 1) / TileSide;
    const std::uint64_t reached = tileBits(tx0, tx1);
    std::uint64_t owedHere = 0;
    bool allOwed = true;
    for (int ty = ty0; ty <= ty1; ++ty) {
        const std::uint64_t row = owedRows_[static_cast<std::size_t>(ty)] & reached;
        owedHere |= row;
        allOwed = allOwed && row == reached;
    }
    if (owedHere == 0) return false;
    // Which of the tiles reached lie wholly inside the area: all but those
    // of an edge that sticks out of it.
    const int ix0 = tx0 + (tx0 * TileSide < area.x ? 1 : 0);
    const int iy0 = ty0 + (ty0 * TileSide < area.y ? 1 : 0);
    const int ix1 = tx1 - (std::min((tx1 + 1) * TileSide, backBuffer_.width()) > area.x + area.width ? 1 : 0);
    const int iy1 = ty1 -
                    (std::min((ty1 + 1) * TileSide, backBuffer_.height()) > area.y + area.height ? 1 : 0);
    const bool opaque = how == Copy::Plain || (how == Copy::Keyed && !image.hasKeyRuns());
    const bool keyedOverCover = how == Copy::Keyed && !opaque && allOwed && ix0 == tx0 && iy0 == ty0 &&
                                ix1 == tx1 && iy1 == ty1;
    if ((keyedOverCover || opaque) && ix0 <= ix1) {
        // Tiles the copy writes whole need nothing put back; a keyed copy
        // writes them whole when nothing was drawn there since the cover.
        const std::uint64_t inside = tileBits(ix0, ix1);
        for (int ty = iy0; ty <= iy1; ++ty) {
            std::uint64_t& row = owedRows_[static_cast<std::size_t>(ty)];
            owedCount_ -= bitCount(row & inside);
            row &= ~inside;
        }
    }
    if (keyedOverCover) {
        const Surface& cover = *owedCover_;
        if (owedCount_ == 0) owedCover_ = nullptr;
        image.blitKeyedOver(backBuffer_, x, y, sourceX, sourceY, width, height, cover);
        return true;
    }
    if (owedCount_ > 0)
        payTiles(tx0, ty0, tx1, ty1);
    else
        owedCover_ = nullptr;
    return false;
}

void Renderer::startNextPicture()
{
    copies_ = 0;
    copyHash_ = HashStart;
    coveredFirst_ = false;
    untracked_ = false;
}

void Renderer::copyImage(const Surface& image, Copy how, int x, int y, int sourceX, int sourceY, int width,
                         int height, int alpha)
{
    // A plain copy of a picture at least as large as the screen, from its
    // corner to the screen's, leaves nothing of what was there.
    const bool covers = how == Copy::Plain && !image.isEmpty() && !backBuffer_.isEmpty() && x == 0 &&
                        y == 0 && sourceX == 0 && sourceY == 0 && width >= backBuffer_.width() &&
                        height >= backBuffer_.height() && image.width() >= backBuffer_.width() &&
                        image.height() >= backBuffer_.height();
    if (copies_ == 0) {
        coveredFirst_ = covers;
        if (coveredFirst_)
            stale_ = false;
        else
            bringUpToDate();
    }
    ++copies_;
    // A picture is known by where it lives: pictures change only when loaded,
    // and a load marks the frame untracked.
    const auto source = reinterpret_cast<std::uintptr_t>(&image);
    for (std::uint64_t v : {static_cast<std::uint64_t>(source), pairOf(static_cast<int>(how), alpha),
                            pairOf(x, y), pairOf(sourceX, sourceY), pairOf(width, height)})
        copyHash_ = hashIn(copyHash_, v);
    if (covers) {
        coverBackBuffer(image, width, height);
        return;
    }
    backHeld_.note(x, y, width, height, backBuffer_.width(), backBuffer_.height());
    if (owedCount_ > 0 && settleOwed(image, how, x, y, sourceX, sourceY, width, height)) return;
    switch (how) {
    case Copy::Plain: image.blit(backBuffer_, x, y, sourceX, sourceY, width, height); break;
    case Copy::Keyed: image.blitKeyed(backBuffer_, x, y, sourceX, sourceY, width, height); break;
    case Copy::Blended: image.blitBlended(backBuffer_, x, y, sourceX, sourceY, width, height, alpha); break;
    }
}

bool Renderer::loadBitmap(int slot, const std::string& path, bool keyed)
{
    if (slot < 0 || slot >= ImageSlotCount) return false;
    markUntracked();  // the same copies may now draw something else
    return loadPicture(images_[slot], path, keyed);
}

bool Renderer::adoptImage(int slot, Surface& picture)
{
    if (slot < 0 || slot >= ImageSlotCount) return false;
    markUntracked();
    images_[slot].swap(picture);
    picture.release();
    return true;
}

bool Renderer::present()
{
    if (window_ == platform::NoWindow || backBuffer_.isEmpty()) return false;
    payAll();
    // Nothing drawn since the last hand-over, or the same copies over a
    // whole-screen cover: the picture on screen is this one.
    const bool same = !untracked_ && !shown_.isEmpty() &&
                      (copies_ == 0 || (shownKnown_ && coveredFirst_ && copyHash_ == shownHash_));
    if (same) {
        const Surface& picture = stale_ ? shown_ : backBuffer_;
        const bool ok =
            platform::presentFrame(window_, picture.pixels(), picture.width(), picture.height(), true);
        startNextPicture();
        return ok;
    }
    bringUpToDate();
    if (!platform::presentFrame(window_, backBuffer_.pixels(), backBuffer_.width(), backBuffer_.height()))
        return false;
    // A picture that built on the one before depends on more than its copies.
    shownKnown_ = !untracked_ && copies_ > 0 && coveredFirst_;
    shownHash_ = copyHash_;
    // The window now reads these pixels; drawing goes on in the other buffer.
    if (shown_.width() != backBuffer_.width() || shown_.height() != backBuffer_.height())
        shown_.createFilled(backBuffer_.width(), backBuffer_.height(), 0, 0, 0);
    backBuffer_.swap(shown_);
    std::swap(backHeld_, shownHeld_);
    stale_ = true;
    startNextPicture();
    return true;
}

Surface& Renderer::image(int slot)
{
    if (slot < 0 || slot >= ImageSlotCount) {
        // Whatever a caller did to it last time must not show up as a picture.
        noImage_.release();
        return noImage_;
    }
    markUntracked();
    return images_[slot];
}

void Renderer::drawPicture(int slot, int x, int y, bool keyed)
{
    const Surface& picture = images_[slot];
    copyImage(picture, keyed ? Copy::Keyed : Copy::Plain, x, y, 0, 0, picture.width(), picture.height());
}

void Renderer::drawOther(const Surface& picture, int x, int y, int sourceX, int sourceY, int width,
                         int height, bool keyed)
{
    copyImage(picture, keyed ? Copy::Keyed : Copy::Plain, x, y, sourceX, sourceY, width, height);
}

void Renderer::drawTitleBackground() { drawPicture(SlotTitle, 0, 0, false); }

void Renderer::drawRankingBackground() { drawPicture(SlotRankBg, 0, 0, false); }

void Renderer::drawGameBackground() { drawPicture(SlotGameBg, 0, 0, false); }

void Renderer::drawGameScreen(const PuzzleField& field)
{
    drawGameBackground();
    drawPlayKeys();
    drawField(field);
    drawScore(field.score());
    drawLevel(field.level());
    drawClearedCount(field.clearedCount());
}

void Renderer::drawField(const PuzzleField& field)
{
    for (int row = 0; row < GridRows; ++row) {
        for (int column = 0; column < GridColumns; ++column) {
            drawBlock(FieldLeft + CellSize * column, FieldTop + CellSize * row, field.cellAt(column, row),
                      -1);
        }
    }
}

void Renderer::drawPairBlock(const PairBlock& block)
{
    drawBlock(FieldLeft + CellSize * block.column(), FieldTop + CellSize / 2 * block.pairRow(false),
              block.colour(), -1);
}

void Renderer::drawFallingBlocks(const DropList& drops)
{
    const int offset = DropBlock::dropOffset();
    for (const DropBlock& block : drops) {
        drawBlock(FieldLeft + CellSize * block.column(), FieldTop + CellSize * block.row() + offset,
                  block.colour(), -1);
    }
}

void Renderer::drawClearingGroups(const GroupList& groups)
{
    const int level = ClearBlock::fadeLevel();
    for (const ClearGroup& group : groups) {
        for (const ClearBlock& block : group) {
            drawBlock(FieldLeft + CellSize * block.column(), FieldTop + CellSize * block.row(),
                      block.colour(), level);
        }
    }
}

void Renderer::drawNextPair(int firstCode, int secondCode)
{
    drawBlock(NextPairX0, NextPairY, firstCode, -1);
    drawBlock(NextPairX1, NextPairY, secondCode, -1);
}

void Renderer::drawScore(int value) { drawNumber(value, ScoreRight, ScoreY); }

void Renderer::drawLevel(int value) { drawNumber(value, LevelRight, LevelY); }

void Renderer::drawClearedCount(int value) { drawNumber(value, ClearedRight, ClearedY); }

void Renderer::drawMenuCursor(int item)
{
    int y;
    switch (item) {
    case 9: y = 350; break;  // game start
    case 1: y = 390; break;  // ranking view
    case 2: y = 430; break;  // quit
    default: return;
    }
    copyImage(images_[SlotBlocks], Copy::Keyed, MenuCursorX, y, BombCellX, 0, CellSize, CellSize);
}

void Renderer::drawGameOverBanner(int x, int y) { drawPicture(SlotGameOver, x, y, true); }

void Renderer::drawGameStartBanner(int x, int y) { drawPicture(SlotGameStart, x, y, true); }

void Renderer::drawNameCursor(int x, int y) { drawPicture(SlotNameCursor, x, y, false); }

void Renderer::drawPauseScreen(const PuzzleField& field)
{
    // No cell of the stack and no coming colour may show, so the pause
    // cannot be used to study them: the screen is blanked first, in case
    // the background is missing, and the well and the preview left out.
    forgetOwed();
    std::fill_n(backBuffer_.pixels(), backBuffer_.byteCount(), std::uint8_t{0});
    // Nothing of the picture before may come back under the copies below.
    stale_ = false;
    markUntracked();
    drawGameBackground();
    drawScore(field.score());
    drawLevel(field.level());
    drawClearedCount(field.clearedCount());
    // The keys as the play screen names them.
    drawPlayKeys();
    drawMoreKeys();
    drawPicture(SlotPaused, BannerLeft, PausePanelTop, true);
}

void Renderer::drawQuitQuestion() { drawOverlay(OverlayQuitQuestion, BannerLeft, PausePanelTop); }

void Renderer::drawRankEntry(int place, const std::string& name, int score)
{
    if (place < 1 || place > 5) return;
    const int y = 50 + 60 * place;
    for (std::size_t k = 0; k < name.size() && k < 3; ++k) {
        drawChar(name[k], RankNameX + RankPitch * static_cast<int>(k), y);
    }
    char text[12];
    const auto end = std::to_chars(text, text + sizeof text, score).ptr;
    for (const char* c = text; c != end; ++c) {
        drawDigit(*c, RankScoreX + RankPitch * static_cast<int>(c - text), y);
    }
}

void Renderer::drawBlock(int x, int y, int cellCode, int alpha)
{
    const int sheetX = cellCode >= 0 && cellCode <= Outside ? BlockSheetX[cellCode] : -2;
    if (sheetX == -1) return;
    if (sheetX == -2) {
        // Spelt so on purpose: the game has always shown this text and caption.
        platform::messageBox("undefine block type!!", "cution");
        return;
    }
    if (alpha <= 0) {
        copyImage(images_[SlotBlocks], Copy::Keyed, x, y, sheetX, 0, CellSize, CellSize);
    } else {
        copyImage(images_[SlotBlocks], Copy::Blended, x, y, sheetX, 0, CellSize, CellSize, alpha);
    }
}

void Renderer::drawLandingShadow(int column, int row, int cellCode)
{
    // The outlines are laid out as the block sheet; a faint mix keeps them
    // apart from the blocks themselves.
    constexpr int ShadowAlpha = 150;
    if (row < 0 || cellCode < 0 || cellCode > Outside || BlockSheetX[cellCode] < 0) return;
    copyImage(overlays_[OverlayShadow], Copy::Blended, FieldLeft + CellSize * column,
              FieldTop + CellSize * row, BlockSheetX[cellCode], 0, CellSize, CellSize, ShadowAlpha);
}

void Renderer::drawDigit(char character, int x, int y)
{
    if (character < '0' || character > '9') return;
    copyImage(images_[SlotDigits], Copy::Keyed, x, y, GlyphWidth * (character - '0'), 0, GlyphWidth,
              GlyphHeight);
}

void Renderer::drawLetter(int letterIndex, int x, int y)
{
    if (letterIndex < 0 || letterIndex > 25) {
        platform::messageBox("undefined string", "error");
        return;
    }
    copyImage(images_[SlotLetters], Copy::Keyed, x, y, GlyphWidth * letterIndex, 0, GlyphWidth, GlyphHeight);
}

void Renderer::drawChar(char character, int x, int y)
{
    if (character >= 'A' && character <= 'Z') {
        drawLetter(character - 'A', x, y);
    } else if (character >= 'a' && character <= 'z') {
        drawLetter(character - 'a', x, y);
    }
}

void Renderer::drawNumber(int value, int rightEdge, int y)
{
    char text[12];  // "-2147483648" is the longest
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    const int n = static_cast<int>(end - text);
    for (int k = 0; k < n; ++k)
        drawDigit(text[k], rightEdge - GlyphWidth * (n - k), y);
}
