#include "game/game.h"

#include "platform/platform.h"

namespace {

// Both the scene switch and the phase switch report a bad id with this text.
const char* const UndefinedSceneText = "Undefined game scene";

}  // namespace

// The members are built in declaration order: field, renderer, sound, timer
// (the timer raises the timer resolution last and gives it back first).
Game::Game() = default;

Game::~Game() = default;

void Game::update()
{
    now_ = timer_.elapsed();

    if (choosingKey_) {
        // The KEYS page waits for a key: every key is only a key, Q too.
        for (int k = 0; k < platform::KeyCount; ++k)
            platform::queryKey(static_cast<platform::Key>(k));
    } else {
        // Q acts while held, on every screen, before the scene runs.
        if (platform::keyHeld(platform::Key::Q)) scene_ = SceneQuit;
        handleSettingKeys();
    }
    if (updatePause()) return;

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

void Game::enterTitle()
{
    scene_ = SceneTitle;
    sound_.selectBgm(BgmTitle);
    sound_.playSelectedBgm();
    field_.reset();
    feedback_.clear();
}

void Game::enterRanking()
{
    scene_ = SceneRanking;
    sound_.selectBgm(BgmOver);
    sound_.playSelectedBgm();
}

void Game::enterGameOver()
{
    scene_ = SceneGameOver;
    sound_.selectBgm(BgmOver);
    sound_.playSelectedBgm();
}

void Game::enterNameEntry()
{
    // Asked again here so that no caller can store a score that does not
    // belong in the table; the game-over music plays on.
    if (field_.qualifiesForRanking()) {
        scene_ = SceneNameEntry;
    } else {
        changeScene(SceneTitle);
    }
}

void Game::enterGameStart()
{
    scene_ = SceneGameStart;
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
