#include "game/game.h"

#include "game/rest_of_startup.h"
#include "platform/platform.h"

namespace {

// Both the scene switch and the phase switch report a bad id with this text.
const char* const UndefinedSceneText = "Undefined game scene";

// The keys a screen reads for itself. Q, M and the fullscreen key act the
// same on every screen and are read before any scene, so they are left out.
constexpr platform::Key ScreenKeys[] = {
    platform::Key::Left, platform::Key::Right, platform::Key::Up,    platform::Key::Down,
    platform::Key::Z,    platform::Key::C,     platform::Key::P,     platform::Key::Escape,
    platform::Key::O,    platform::Key::Enter, platform::Key::Space, platform::Key::Backspace,
};

}  // namespace

// The members are built in declaration order: field, renderer, sound, timer
// (the timer raises the timer resolution last and gives it back first).
Game::Game() = default;

Game::~Game() = default;

void Game::update()
{
    now_ = timer_.elapsed();

    bool soundToggled = false;
    if (choosingKey_) {
        // The KEYS page waits for a key: every key is only a key, Q too.
        for (int k = 0; k < platform::KeyCount; ++k)
            platform::queryKey(static_cast<platform::Key>(k));
    } else {
        // Q acts while held, on every screen, before the scene runs; modern
        // controls ask first during the game.
        if (!asksBeforeQuit()) {
            if (platform::keyHeld(platform::Key::Q)) scene_ = SceneQuit;
        } else if (!quitAsked_ && platform::keyNewlyPressed(platform::Key::Q)) {
            askQuit();
        }
        soundToggled = handleSettingKeys();
    }
    if (quitAsked_) {
        // The question stands still like the pause screen; M brings both
        // back with the notice.
        if (soundToggled) {
            renderer_.drawPauseScreen(field_);
            renderer_.drawQuitQuestion();
        }
        answerQuitQuestion();
        drawSoundNotice();
        return;
    }
    if (updatePause()) {
        // The pause screen is drawn once; M brings it back with the notice.
        if (soundToggled) renderer_.drawPauseScreen(field_);
        drawSoundNotice();
        return;
    }

    switch (scene_) {
    case SceneTitle: updateTitle(); break;
    case SceneRanking: updateRanking(); break;
    case SceneQuit: platform::requestQuit(); break;
    case ScenePlay: updatePlay(); break;
    case SceneGameOver: updateGameOver(); break;
    case SceneNameEntry: updateNameEntry(); break;
    case SceneGameStart: updateGameStart(); break;
    case SceneOptions: updateOptions(); break;
    default:
        // The bad value stays, so the box comes again every frame.
        platform::messageBox("Undefined gamescene", "");
        break;
    }
    drawSoundNotice();
}

void Game::drawSoundNotice()
{
    // Only over a screen drawn in this frame: one that drew nothing keeps
    // its picture, and takes the notice away at its next drawing.
    if (renderer_.drawnSincePresent()) soundNotice_.draw(renderer_, now_);
}

void Game::present() { renderer_.present(); }

void Game::serviceBgm() { sound_.playSelectedBgm(); }

void Game::attachWindow(platform::WindowId window)
{
    window_ = window;
    renderer_.attachWindow(window);
    sound_.setWindow(window);
}

bool Game::createBackBuffer(int width, int height, int red, int green, int blue)
{
    return renderer_.createBackBuffer(width, height, red, green, blue);
}

bool Game::loadBitmap(int slot, const std::string& path, bool colourKeyed)
{
    return renderer_.loadBitmap(slot, path, colourKeyed);
}

bool Game::loadBgm(BgmId id, const std::string& path) { return sound_.loadBgm(id, path); }

bool Game::loadEffect(SeId id, const std::string& path) { return sound_.loadEffect(id, path); }

bool Game::setSpawnPosition(int index, int column, int row)
{
    return field_.setSpawnPosition(index, column, row);
}

void Game::changeScene(SceneId id)
{
    switch (id) {
    case SceneTitle: enterTitle(); break;
    case SceneRanking: enterRanking(); break;
    case SceneQuit:
    case ScenePlay:
        // Quitting and play keep whatever music is on.
        scene_ = id;
        break;
    case SceneGameOver: enterGameOver(); break;
    case SceneNameEntry: enterNameEntry(); break;
    case SceneGameStart: enterGameStart(); break;
    case SceneOptions: enterOptions(); break;
    default:
        // 4, 5 and 6 are phase ids, not scenes.
        platform::messageBox(UndefinedSceneText, "");
        break;
    }
}

void Game::ignoreHeldKeys()
{
    // A key held down from the screen before, or a press it left unread,
    // must not act on a screen the player has not seen yet: names came out
    // scrolled by a Down held from the game's end.
    for (platform::Key key : ScreenKeys)
        platform::ignoreHeldKey(key);
    // Letters typed before belong to no name.
    while (platform::takeTypedLetter() != 0) {
    }
}

bool Game::decidePressed()
{
    // Each of the three is read, so none keeps a press for later.
    const bool z = platform::keyNewlyPressed(platform::Key::Z);
    const bool enter = platform::keyNewlyPressed(platform::Key::Enter);
    const bool space = platform::keyNewlyPressed(platform::Key::Space);
    return z || enter || space;
}

void Game::enterTitle()
{
    scene_ = SceneTitle;
    ignoreHeldKeys();
    sound_.selectBgm(BgmTitle);
    sound_.playSelectedBgm();
    field_.reset();
    feedback_.clear();
}

void Game::enterRanking()
{
    scene_ = SceneRanking;
    ignoreHeldKeys();
    sound_.selectBgm(BgmOver);
    sound_.playSelectedBgm();
}

void Game::enterGameOver()
{
    scene_ = SceneGameOver;
    ignoreHeldKeys();
    sound_.selectBgm(BgmOver);
    sound_.playSelectedBgm();
}

void Game::enterNameEntry()
{
    // Asked again here so that no caller can store a score that does not
    // belong in the table; the game-over music plays on.
    if (field_.qualifiesForRanking()) {
        scene_ = SceneNameEntry;
        ignoreHeldKeys();
    } else {
        changeScene(SceneTitle);
    }
}

void Game::enterGameStart()
{
    scene_ = SceneGameStart;
    ignoreHeldKeys();
    sound_.selectBgm(BgmPlay);
    sound_.playSelectedBgm();
}

void Game::enterFirstTitle()
{
    enterTitle();
    // The title shows with a pair already prepared, so the first game
    // begins straight in the falling phase.
    changePhase(PhaseFalling);
}

void Game::changePhase(PhaseId id)
{
    switch (id) {
    case PhaseFalling:
        field_.clearChainState();
        landingCheckPending_ = true;
        field_.spawnPairBlock(0);
        field_.spawnPairBlock(1);
        phase_ = PhaseFalling;
        break;
    case PhaseClearing:
        // The check sets the phase itself.
        checkMatches();
        break;
    case PhaseDropping: settle(); break;
    default: platform::messageBox(UndefinedSceneText, ""); break;
    }
}
