// The game-over banner and the name entry that follows a ranking score.
#include "game/game.h"

#include "platform/platform.h"

namespace {

constexpr int NameEntryBannerY = 80;
constexpr int NameLetterX[3] = {250, 300, 350};
constexpr int NameLetterY = 250;
constexpr int NameCursorX = 251;
constexpr int NameCursorPitch = 50;
constexpr int NameCursorY = 290;

}  // namespace

void Game::updateGameOver()
{
    if (!dueAtLeast(now_, field_.overStamp(), BannerStepMs)) return;

    const int bannerY = field_.overCount();
    renderer_.drawGameScreen(field_);
    renderer_.drawGameOverBanner(BannerLeft, bannerY);

    // Stamped before any scene change, so that the title's reset leaves the
    // stamp at 0 for the next game over rather than at this frame's time.
    field_.setOverStamp(now_);

    bool readsZ = false;
    if (field_.advanceOverCount()) {
        if (field_.qualifiesForRanking()) {
            enterNameEntry();
        } else {
            // Z is read only once the banner has arrived, so presses during
            // the slide do not count.
            readsZ = true;
            if (decidePressed()) enterTitle();
        }
    }
    // The banner asks for Z only in the frames that read it.
    if (!readsZ) renderer_.drawPromptPatch(BannerLeft, bannerY);
}

void Game::updateNameEntry()
{
    const bool confirm = decidePressed();
    const bool up = platform::keyNewlyPressed(platform::Key::Up);
    const bool down = platform::keyNewlyPressed(platform::Key::Down);
    const bool left = platform::keyNewlyPressed(platform::Key::Left);
    const bool right = platform::keyNewlyPressed(platform::Key::Right);
    const bool back = platform::keyNewlyPressed(platform::Key::Backspace);
    // One letter a frame; the Z key decides, so a typed Z is no letter.
    char typed = platform::takeTypedLetter();
    if (typed == 'Z') typed = 0;

    // One command per frame: the first pressed key in this order wins.
    if (confirm) {
        field_.saveRanking();
        enterTitle();
    } else if (up) {
        field_.editName(PuzzleField::NameLetterPrevious);
    } else if (down) {
        field_.editName(PuzzleField::NameLetterNext);
    } else if (left) {
        field_.editName(PuzzleField::NameCursorLeft);
    } else if (right) {
        field_.editName(PuzzleField::NameCursorRight);
    } else if (back) {
        field_.editName(PuzzleField::NameCursorLeft);
    } else if (typed != 0) {
        field_.typeNameLetter(typed - 'A');
    }

    // Drawn also in the confirming frame, from the field the title has just
    // reset; the title itself follows in the next frame.
    renderer_.drawGameScreen(field_);
    renderer_.drawGameOverBanner(BannerLeft, NameEntryBannerY);
    // Said as a new record, on a panel of its own behind the letters, with
    // the keys of this screen beside it.
    renderer_.drawNewRecord(BannerLeft, NameEntryBannerY);
    renderer_.drawNamePanel();
    renderer_.drawNameKeys();
    renderer_.drawNameFrame(NameLetterX[field_.nameCursor()], NameLetterY);
    for (int i = 0; i < 3; ++i)
        renderer_.drawLetter(field_.nameLetter(i), NameLetterX[i], NameLetterY);
    renderer_.drawNameCursor(NameCursorX + NameCursorPitch * field_.nameCursor(), NameCursorY);
}
