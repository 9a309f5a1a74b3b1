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

void OptionsView::loadTitleHint(const std::string& base)
{
    loadPicture(hint_, base + "Graphics/OptionsHint.bmp", true);
}

std::string OptionsView::sheetPath(Sheet sheet, const std::string& base)
{
    return base + (sheet == NotesSheet ? "Graphics/ControlsNotes.bmp" : "Graphics/OptionValues.bmp");
}

void OptionsView::adoptSheet(Sheet sheet, Surface& picture, const std::string& base)
{
    backgroundPath_ = base + "Graphics/Options.bmp";
    Surface& mine = sheet == NotesSheet ? notes_ : values_;
    mine.swap(picture);
    picture.release();
}

void OptionsView::open()
{
    if (!loadPicture(background_, backgroundPath_, false))
        plain_.createFilled(ScreenWidth, ScreenHeight, PlainRed, PlainGreen, PlainBlue);
}

void OptionsView::close()
{
    background_.release();
    plain_.release();
}

void OptionsView::drawTitleHint(Renderer& renderer) const
{
    renderer.drawOther(hint_, HintX, HintY, 0, 0, hint_.width(), hint_.height(), true);
}

void OptionsView::drawWord(Renderer& renderer, Word word, int row) const
{
    renderer.drawOther(values_, ValueX, rowY(row) + ValueOffsetY, WordWidth * word, 0, WordWidth, SheetHeight,
                       true);
}

void OptionsView::drawNumber(Renderer& renderer, int value, char sign, int row) const
{
    char text[5] = {};
    int n = 0;
    if (value >= 100) text[n++] = static_cast<char>('0' + value / 100 % 10);
    if (value >= 10) text[n++] = static_cast<char>('0' + value / 10 % 10);
    text[n++] = static_cast<char>('0' + value % 10);
    text[n++] = sign;
    drawGlyphs(renderer, text, row);
}

void OptionsView::drawScale(Renderer& renderer, int halves, int row) const
{
    if (halves % 2 == 0) {
        drawNumber(renderer, halves / 2, 'X', row);
        return;
    }
    // Only 1.5x lies between whole factors.
    const char text[] = {static_cast<char>('0' + halves / 2 % 10), '.', '5', 'X', '\0'};
    drawGlyphs(renderer, text, row);
}

void OptionsView::drawGlyphs(Renderer& renderer, const char* text, int row) const
{
    for (int k = 0; text[k]; ++k) {
        const int glyph = static_cast<int>(std::strchr(ValueGlyphOrder, text[k]) - ValueGlyphOrder);
        renderer.drawOther(values_, ValueX + ValueGlyphWidth * k, rowY(row) + ValueOffsetY,
                           WordWidth * WordCount + ValueGlyphWidth * glyph, 0, ValueGlyphWidth, SheetHeight,
                           true);
    }
}

void OptionsView::draw(Renderer& renderer, const OptionsMenu& menu, const Settings& s) const
{
    const Surface& back = background_.isEmpty() ? plain_ : background_;
    renderer.drawOther(back, 0, 0, 0, 0, back.width(), back.height(), false);

    const auto onOff = [](bool on) { return on ? On : Off; };
    const auto row = [](OptionsEntry e) { return static_cast<int>(e); };
    if (s.windowHalves == Settings::AutoScale)
        drawWord(renderer, Auto, row(OptionsEntry::WindowSize));
    else
        drawScale(renderer, s.windowHalves, row(OptionsEntry::WindowSize));
    drawWord(renderer, onOff(s.fullscreen), row(OptionsEntry::Fullscreen));
    drawNumber(renderer, s.musicVolume, '%', row(OptionsEntry::MusicVolume));
    drawNumber(renderer, s.effectsVolume, '%', row(OptionsEntry::EffectsVolume));
    drawWord(renderer, onOff(s.mute), row(OptionsEntry::Mute));
    drawWord(renderer, s.controls == ControlsSetting::Modern ? Modern : Classic, row(OptionsEntry::Controls));
    drawWord(renderer, onOff(s.landingShadow), row(OptionsEntry::LandingShadow));
    const int note = s.controls == ControlsSetting::Modern ? 1 : 0;
    renderer.drawOther(notes_, LabelX, rowY(row(OptionsEntry::Controls)) + NoteOffsetY, 0, NoteHeight * note,
                       NoteWidth, NoteHeight, true);

    renderer.drawBlock(CursorX, rowY(menu.cursorIndex()) + (RowPitch - CellSize) / 2, Bomb, -1);
}
