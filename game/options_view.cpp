#include "game/options_view.h"

#include "field/block.h"
#include "platform/key_bindings.h"
#include "render/renderer.h"

#include <cstring>

using namespace optionsLayout;

namespace {

// Dark blue-violet, the options background's own base colour.
constexpr int PlainRed = 24, PlainGreen = 22, PlainBlue = 56;

int rowY(int row) { return FirstRowY + RowPitch * row; }

// Whether any pixel of a picture's column is not key green.
bool inkInColumn(const Surface& picture, int x)
{
    for (int y = 0; y < picture.height(); ++y) {
        const std::uint8_t* p = picture.pixels() + picture.pixelOffset(x, y);
        if (p[0] != 0 || p[1] != 255 || p[2] != 0) return true;
    }
    return false;
}

}  // namespace

int keyNameCell(int cap)
{
    using namespace keyNames;
    if (cap >= 'A' && cap <= 'Z') return cap - 'A';
    if (cap >= '0' && cap <= '9') return FirstDigit + cap - '0';
    if (cap >= platform::CapLeft && cap <= platform::CapF12) return FirstNamed + cap - platform::CapLeft;
    return -1;
}

int buttonNameCell(int button)
{
    const std::string name = platform::padButtonName(button);
    for (int k = 0; k < keyNames::ButtonCount; ++k)
        if (name == keyNames::ButtonLabels[k]) return keyNames::FirstButton + k;
    return -1;
}

void KeyNameSheet::load(const std::string& base)
{
    using namespace keyNames;
    inkWidth_.fill(0);
    if (!loadPicture(sheet_, base + "Graphics/KeyNames.bmp", true)) return;
    if (sheet_.width() < CellWidth * CellCount || sheet_.height() < CellHeight) {
        sheet_.release();
        return;
    }
    for (int k = 0; k < CellCount; ++k)
        for (int x = CellWidth - 1; x >= InkX; --x)
            if (inkInColumn(sheet_, CellWidth * k + x)) {
                inkWidth_[static_cast<std::size_t>(k)] = x + 1 - InkX;
                break;
            }
}

int KeyNameSheet::draw(Renderer& renderer, int cell, int x, int y) const
{
    using namespace keyNames;
    if (sheet_.isEmpty() || cell < 0 || cell >= CellCount) return x + InkX;
    renderer.drawOther(sheet_, x, y, CellWidth * cell, 0, CellWidth, CellHeight, true);
    return x + InkX + inkWidth_[static_cast<std::size_t>(cell)];
}

void OptionsView::loadTitleHint(const std::string& base)
{
    names_.load(base);
    hintRestX_ = 0;
    if (!loadPicture(hint_, base + "Graphics/OptionsHint.bmp", true)) return;
    // The hint is its key's name, a gap, then the rest: found in the picture.
    int x = 0;
    while (x < hint_.width() && !inkInColumn(hint_, x))
        ++x;
    while (x < hint_.width() && inkInColumn(hint_, x))
        ++x;
    const int nameEnd = x;
    while (x < hint_.width() && !inkInColumn(hint_, x))
        ++x;
    hintRestX_ = x < hint_.width() ? x : 0;
    hintGap_ = x - nameEnd;
}

void OptionsView::load(const std::string& base)
{
    const std::string graphics = base + "Graphics/";
    backgroundPath_ = graphics + "Options.bmp";
    keysPath_ = graphics + "KeysPage.bmp";
    loadPicture(values_, graphics + "OptionValues.bmp", true);
    loadPicture(keysWords_, graphics + "KeyWords.bmp", true);
}

void OptionsView::openKeys()
{
    if (!loadPicture(keysBackground_, keysPath_, false))
        keysBackground_.createFilled(ScreenWidth, ScreenHeight, PlainRed, PlainGreen, PlainBlue);
}

void OptionsView::closeKeys() { keysBackground_.release(); }

void OptionsView::drawKeys(Renderer& renderer, const KeysMenu& menu,
                           const platform::KeyBindings& bindings) const
{
    namespace k = keysLayout;
    renderer.drawOther(keysBackground_, 0, 0, 0, 0, keysBackground_.width(), keysBackground_.height(), false);
    for (int row = 0; row < KeysMenu::KeyRows; ++row) {
        const auto key = static_cast<std::size_t>(KeysMenu::RowKeys[row]);
        const int y = k::FirstRowY + k::RowPitch * row + k::NameOffsetY;
        // The row waiting for a key shows none.
        if (menu.waiting() && menu.cursor() == row) continue;
        names_.draw(renderer, keyNameCell(bindings.caps[key]), k::KeyX, y);
        names_.draw(renderer, buttonNameCell(bindings.buttons[key]), k::ButtonX, y);
    }
    names_.draw(renderer, keyNameCell(platform::CapRight), k::CursorX,
                k::FirstRowY + k::RowPitch * menu.cursor() + k::NameOffsetY);
    const int word = static_cast<int>(menu.status()) - static_cast<int>(KeysStatus::Waiting);
    if (word >= 0 && word < k::WordCount)
        renderer.drawOther(keysWords_, k::WordX, k::WordY, 0, k::WordHeight * word, k::WordWidth,
                           k::WordHeight, true);
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
    closeKeys();
}

void OptionsView::drawTitleHint(Renderer& renderer, int optionsCap) const
{
    if (optionsCap == 'O' || names_.isEmpty() || hintRestX_ == 0) {
        renderer.drawOther(hint_, HintX, HintY, 0, 0, hint_.width(), hint_.height(), true);
        return;
    }
    const int nameEnd = names_.draw(renderer, keyNameCell(optionsCap), HintX, HintY);
    renderer.drawOther(hint_, nameEnd + hintGap_, HintY, hintRestX_, 0, hint_.width() - hintRestX_,
                       hint_.height(), true);
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
    for (int k = 0; k < n; ++k) {
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
    if (s.windowScale == Settings::AutoScale)
        drawWord(renderer, Auto, row(OptionsEntry::WindowSize));
    else
        drawNumber(renderer, s.windowScale, 'X', row(OptionsEntry::WindowSize));
    drawWord(renderer, onOff(s.fullscreen), row(OptionsEntry::Fullscreen));
    drawNumber(renderer, s.musicVolume, '%', row(OptionsEntry::MusicVolume));
    drawNumber(renderer, s.effectsVolume, '%', row(OptionsEntry::EffectsVolume));
    drawWord(renderer, onOff(s.mute), row(OptionsEntry::Mute));
    drawWord(renderer, s.controls == ControlsSetting::Modern ? Modern : Classic, row(OptionsEntry::Controls));
    drawWord(renderer, onOff(s.landingShadow), row(OptionsEntry::LandingShadow));

    renderer.drawBlock(CursorX, rowY(menu.cursorIndex()) + (RowPitch - CellSize) / 2, Bomb, -1);
}
