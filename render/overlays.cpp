// The overlays: pictures drawn over the screens to tell the player what
// happened. Each is drawn only when its picture loaded.
#include "render/overlay_layout.h"
#include "render/renderer.h"

#include <algorithm>
#include <charconv>

using namespace overlay;

bool Renderer::loadOverlay(int id, const std::string& path, bool keyed)
{
    if (id < 0 || id >= OverlayCount) return false;
    overlayKeyed_[id] = keyed;
    markUntracked();  // the same copies may now draw something else
    return loadPicture(overlays_[id], path, keyed);
}

bool Renderer::adoptOverlay(int id, Surface& picture, bool keyed)
{
    if (id < 0 || id >= OverlayCount) return false;
    overlayKeyed_[id] = keyed;
    markUntracked();
    overlays_[id].swap(picture);
    picture.release();
    return true;
}

Surface& Renderer::overlay(int id)
{
    if (id < 0 || id >= OverlayCount) {
        noImage_.release();
        return noImage_;
    }
    markUntracked();
    return overlays_[id];
}

void Renderer::drawOverlay(int id, int x, int y)
{
    const Surface& picture = overlays_[id];
    copyImage(picture, overlayKeyed_[id] ? Copy::Keyed : Copy::Plain, x, y, 0, 0, picture.width(),
              picture.height());
}

void Renderer::drawPlayKeys() { drawOverlay(OverlayPlayKeys, KeyPanelX, KeyPanelY); }

void Renderer::drawNameKeys() { drawOverlay(OverlayNameKeys, KeyPanelX, KeyPanelY); }

void Renderer::drawMoreKeys() { drawOverlay(OverlayMoreKeys, MoreKeysX, MoreKeysY); }

void Renderer::drawLevelUp(int y) { drawOverlay(OverlayLevelUp, LevelUpX, y); }

void Renderer::drawSoundNotice(bool muted)
{
    const Surface& sheet = overlays_[OverlaySoundNotice];
    copyImage(sheet, overlayKeyed_[OverlaySoundNotice] ? Copy::Keyed : Copy::Plain, SoundNoticeX,
              SoundNoticeY, 0, muted ? 0 : SoundNoticeHeight, SoundNoticeWidth, SoundNoticeHeight);
}

void Renderer::drawPromptPatch(int bannerX, int bannerY)
{
    drawOverlay(OverlayPromptPatch, bannerX + PromptPatchX, bannerY + PromptPatchY);
}

void Renderer::drawNewRecord(int bannerX, int bannerY)
{
    drawOverlay(OverlayNewRecord, bannerX + RecordRibbonX, bannerY + RecordRibbonY);
}

void Renderer::drawNamePanel() { drawOverlay(OverlayNamePanel, NamePanelX, NamePanelY); }

void Renderer::drawNameFrame(int letterX, int letterY)
{
    drawOverlay(OverlayNameFrame, letterX + NameFrameDx, letterY + NameFrameDy);
}

void Renderer::drawChainGlyphs(const char* text, int count, int x, int y, int alpha)
{
    const Surface& sheet = overlays_[OverlayChainDigits];
    for (int k = 0; k < count; ++k) {
        const char c = text[k];
        const int glyph = c == '+' ? 10 : c - '0';
        if (glyph < 0 || glyph >= ChainGlyphCount) continue;
        copyImage(sheet, Copy::Blended, x + ChainGlyphWidth * k, y, ChainGlyphWidth * glyph, 0,
                  ChainGlyphWidth, ChainGlyphHeight, alpha);
    }
}

void Renderer::drawChainLabel(int steps, int points, int centreX, int centreY, int alpha)
{
    char stepText[12];
    const int stepCount =
        static_cast<int>(std::to_chars(stepText, stepText + sizeof stepText, steps).ptr - stepText);
    char pointText[13] = {'+'};
    const int pointCount =
        1 + static_cast<int>(std::to_chars(pointText + 1, pointText + sizeof pointText, points).ptr -
                             pointText - 1);

    // Two lines, each centred: "<steps> CHAIN" over "+<points>".
    const int stepWidth = ChainGlyphWidth * stepCount + ChainWordGap + ChainWordWidth;
    const int pointWidth = ChainGlyphWidth * pointCount;
    const int width = std::max(stepWidth, pointWidth);
    const int height = 2 * ChainGlyphHeight + ChainLineGap;
    constexpr int WellWidth = CellSize * GridColumns;
    constexpr int WellHeight = CellSize * GridRows;
    const int left = std::clamp(centreX - width / 2, FieldLeft, FieldLeft + WellWidth - width);
    const int top = std::clamp(centreY - height / 2, FieldTop, FieldTop + WellHeight - height);

    const int stepLeft = left + (width - stepWidth) / 2;
    drawChainGlyphs(stepText, stepCount, stepLeft, top, alpha);
    const Surface& word = overlays_[OverlayChainWord];
    copyImage(word, Copy::Blended, stepLeft + ChainGlyphWidth * stepCount + ChainWordGap, top, 0, 0,
              word.width(), word.height(), alpha);
    drawChainGlyphs(pointText, pointCount, left + (width - pointWidth) / 2,
                    top + ChainGlyphHeight + ChainLineGap, alpha);
}
