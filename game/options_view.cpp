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

// Between the groups of a hint line: four spaces under the options and on
// the KEYS page, five on the title.
constexpr int FootGroupGap = 44;
constexpr int TitleGroupGap = 54;

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

void CellSheet::load(const std::string& path, int cellWidth, int cellCount)
{
    using namespace keyNames;
    cellWidth_ = cellWidth;
    inkWidth_.assign(static_cast<std::size_t>(cellCount), 0);
    if (!loadPicture(sheet_, path, true)) return;
    if (sheet_.width() < cellWidth * cellCount || sheet_.height() < CellHeight) {
        sheet_.release();
        return;
    }
    for (int k = 0; k < cellCount; ++k)
        for (int x = cellWidth - 1; x >= InkX; --x)
            if (inkInColumn(sheet_, cellWidth * k + x)) {
                inkWidth_[static_cast<std::size_t>(k)] = x + 1 - InkX;
                break;
            }
}

int CellSheet::inkWidth(int cell) const
{
    if (sheet_.isEmpty() || cell < 0 || cell >= static_cast<int>(inkWidth_.size())) return 0;
    return inkWidth_[static_cast<std::size_t>(cell)];
}

int CellSheet::draw(Renderer& renderer, int cell, int x, int y) const
{
    using namespace keyNames;
    const int width = inkWidth(cell);
    if (width == 0) return x + InkX;
    renderer.drawOther(sheet_, x, y, cellWidth_ * cell, 0, cellWidth_, CellHeight, true);
    return x + InkX + width;
}

void OptionsView::loadTitleHint(const std::string& base)
{
    names_.load(base + "Graphics/KeyNames.bmp", keyNames::CellWidth, keyNames::CellCount);
    hintWords_.load(base + "Graphics/HintWords.bmp", HintWordWidth, HintWordCount);
    loadPicture(titleKeys_, base + "Graphics/TitleKeys.bmp", false);
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

std::string OptionsView::sheetPath(Sheet sheet, const std::string& base)
{
    const char* name = "Graphics/OptionValues.bmp";
    switch (sheet) {
    case ValueSheet: break;
    case NotesSheet: name = "Graphics/ControlsNotes.bmp"; break;
    case KeyWordsSheet: name = "Graphics/KeyWords.bmp"; break;
    case OptionsFootSheet: name = "Graphics/OptionsFoot.bmp"; break;
    case KeysFootSheet: name = "Graphics/KeysFoot.bmp"; break;
    }
    return base + name;
}

bool OptionsView::sheetKeyed(Sheet sheet) { return sheet != OptionsFootSheet && sheet != KeysFootSheet; }

void OptionsView::adoptSheet(Sheet sheet, Surface& picture, const std::string& base)
{
    const std::string graphics = base + "Graphics/";
    backgroundPath_ = graphics + "Options.bmp";
    keysPath_ = graphics + "KeysPage.bmp";
    Surface* mine = &values_;
    switch (sheet) {
    case ValueSheet: break;
    case NotesSheet: mine = &notes_; break;
    case KeyWordsSheet: mine = &keysWords_; break;
    case OptionsFootSheet: mine = &optionsFoot_; break;
    case KeysFootSheet: mine = &keysFoot_; break;
    }
    mine->swap(picture);
    picture.release();
}

template <std::size_t N>
void OptionsView::drawHintLine(Renderer& renderer, const Surface& strip, int y, const HintGroup (&groups)[N],
                               const HintGroup (&defaults)[N], int groupGap) const
{
    bool asDrawn = true;
    for (std::size_t g = 0; g < N; ++g)
        asDrawn = asDrawn && groups[g].caps[0] == defaults[g].caps[0] &&
                  groups[g].caps[1] == defaults[g].caps[1];
    if (asDrawn || strip.isEmpty() || names_.isEmpty() || hintWords_.isEmpty()) return;
    // The pictures' spacing: a narrow gap between two keys, a wider one
    // before the word, the widest between groups.
    constexpr int KeyGap = 12, WordGap = 24;
    const auto groupWidth = [this](const HintGroup& group) {
        int width = names_.inkWidth(keyNameCell(group.caps[0]));
        if (group.caps[1] != platform::NoCap) width += KeyGap + names_.inkWidth(keyNameCell(group.caps[1]));
        return width + WordGap + hintWords_.inkWidth(group.word);
    };
    int total = groupGap * static_cast<int>(N - 1);
    for (const HintGroup& group : groups)
        total += groupWidth(group);
    renderer.drawOther(strip, 0, y, 0, 0, strip.width(), strip.height(), false);
    int x = (ScreenWidth - total) / 2 - keyNames::InkX;
    for (const HintGroup& group : groups) {
        x = names_.draw(renderer, keyNameCell(group.caps[0]), x, y);
        if (group.caps[1] != platform::NoCap)
            x = names_.draw(renderer, keyNameCell(group.caps[1]), x + KeyGap - keyNames::InkX, y);
        x = hintWords_.draw(renderer, group.word, x + WordGap - keyNames::InkX, y);
        x += groupGap - keyNames::InkX;
    }
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
    using platform::Key;
    const auto cap = [&bindings](Key key) { return bindings.caps[static_cast<std::size_t>(key)]; };
    const platform::KeyBindings d = platform::KeyBindings::defaults();
    const auto was = [&d](Key key) { return d.caps[static_cast<std::size_t>(key)]; };
    const HintGroup line[] = {{{cap(Key::Up), cap(Key::Down)}, WordChoose},
                              {{cap(Key::Z), platform::NoCap}, WordChange},
                              {{cap(Key::Escape), platform::NoCap}, WordBack}};
    const HintGroup asDrawn[] = {{{was(Key::Up), was(Key::Down)}, WordChoose},
                                 {{was(Key::Z), platform::NoCap}, WordChange},
                                 {{was(Key::Escape), platform::NoCap}, WordBack}};
    drawHintLine(renderer, keysFoot_, KeysFootY, line, asDrawn, FootGroupGap);

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

void OptionsView::drawTitleHint(Renderer& renderer, const platform::KeyBindings& bindings) const
{
    using platform::Key;
    const auto cap = [&bindings](Key key) { return bindings.caps[static_cast<std::size_t>(key)]; };
    const platform::KeyBindings d = platform::KeyBindings::defaults();
    const auto was = [&d](Key key) { return d.caps[static_cast<std::size_t>(key)]; };
    const HintGroup line[] = {{{cap(Key::Up), cap(Key::Down)}, WordChoose},
                              {{cap(Key::Z), platform::NoCap}, WordDecide},
                              {{cap(Key::Q), platform::NoCap}, WordQuit}};
    const HintGroup asDrawn[] = {{{was(Key::Up), was(Key::Down)}, WordChoose},
                                 {{was(Key::Z), platform::NoCap}, WordDecide},
                                 {{was(Key::Q), platform::NoCap}, WordQuit}};
    drawHintLine(renderer, titleKeys_, TitleKeysY, line, asDrawn, TitleGroupGap);

    const int optionsCap = cap(Key::O);
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

    using platform::Key;
    const auto cap = [&s](Key key) { return s.keys.caps[static_cast<std::size_t>(key)]; };
    const platform::KeyBindings d = platform::KeyBindings::defaults();
    const auto was = [&d](Key key) { return d.caps[static_cast<std::size_t>(key)]; };
    const HintGroup line[] = {{{cap(Key::Up), cap(Key::Down)}, WordChoose},
                              {{cap(Key::Left), cap(Key::Right)}, WordChange},
                              {{cap(Key::Z), platform::NoCap}, WordDecide},
                              {{cap(Key::Escape), platform::NoCap}, WordBack}};
    const HintGroup asDrawn[] = {{{was(Key::Up), was(Key::Down)}, WordChoose},
                                 {{was(Key::Left), was(Key::Right)}, WordChange},
                                 {{was(Key::Z), platform::NoCap}, WordDecide},
                                 {{was(Key::Escape), platform::NoCap}, WordBack}};
    drawHintLine(renderer, optionsFoot_, OptionsFootY, line, asDrawn, FootGroupGap);
}
