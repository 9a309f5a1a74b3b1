#include "game/options_view.h"

#include "field/block.h"
#include "render/renderer.h"

#include <cstring>

using namespace optionsLayout;

namespace {

// Dark blue-violet, the options background's own base colour.
constexpr int PlainRed = 24, PlainGreen = 22, PlainBlue = 56;

int rowY(int row) { return FirstRowY + RowPitch * row; }

}  // namespace

void OptionsView::load(const std::string& base)
{
    const std::string graphics = base + "Graphics/";
    if (!loadPicture(background_, graphics + "Options.bmp", false))
        plain_.createFilled(ScreenWidth, ScreenHeight, PlainRed, PlainGreen, PlainBlue);
    loadPicture(values_, graphics + "OptionValues.bmp", true);
    loadPicture(hint_, graphics + "OptionsHint.bmp", true);
}

void OptionsView::drawTitleHint(Surface& screen) const
{
    hint_.blitKeyed(screen, HintX, HintY, 0, 0, hint_.width(), hint_.height());
}

void OptionsView::drawWord(Surface& screen, Word word, int row) const
{
    values_.blitKeyed(screen, ValueX, rowY(row) + ValueOffsetY, WordWidth * word, 0, WordWidth, SheetHeight);
}

void OptionsView::drawNumber(Surface& screen, int value, char sign, int row) const
{
    char text[5] = {};
    int n = 0;
    if (value >= 100) text[n++] = static_cast<char>('0' + value / 100 % 10);
    if (value >= 10) text[n++] = static_cast<char>('0' + value / 10 % 10);
    text[n++] = static_cast<char>('0' + value % 10);
    text[n++] = sign;
    for (int k = 0; k < n; ++k) {
        const int glyph = static_cast<int>(std::strchr(ValueGlyphOrder, text[k]) - ValueGlyphOrder);
        values_.blitKeyed(screen, ValueX + ValueGlyphWidth * k, rowY(row) + ValueOffsetY, WordWidth * WordCount + ValueGlyphWidth * glyph,
                          0, ValueGlyphWidth, SheetHeight);
    }
}

void OptionsView::draw(Renderer& renderer, const OptionsMenu& menu, const Settings& s) const
{
    Surface& screen = renderer.backBuffer();
    const Surface& back = background_.isEmpty() ? plain_ : background_;
    back.blit(screen, 0, 0, 0, 0, back.width(), back.height());

    const auto onOff = [](bool on) { return on ? On : Off; };
    const auto row = [](OptionsEntry e) { return static_cast<int>(e); };
    if (s.windowScale == Settings::AutoScale)
        drawWord(screen, Auto, row(OptionsEntry::WindowSize));
    else
        drawNumber(screen, s.windowScale, 'X', row(OptionsEntry::WindowSize));
    drawWord(screen, onOff(s.fullscreen), row(OptionsEntry::Fullscreen));
    drawNumber(screen, s.musicVolume, '%', row(OptionsEntry::MusicVolume));
    drawNumber(screen, s.effectsVolume, '%', row(OptionsEntry::EffectsVolume));
    drawWord(screen, onOff(s.mute), row(OptionsEntry::Mute));
    drawWord(screen, s.controls == ControlsSetting::Modern ? Modern : Classic, row(OptionsEntry::Controls));
    drawWord(screen, onOff(s.landingShadow), row(OptionsEntry::LandingShadow));

    renderer.drawBlock(CursorX, rowY(menu.cursorIndex()) + (RowPitch - CellSize) / 2, Bomb, -1);
}
