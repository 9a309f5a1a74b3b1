// The one controller: owns the field, the renderer, the sound bank and the
// clock, holds the current scene and play phase, and is the only place where
// scenes change. The frame thread calls update, present and serviceBgm once
// per frame.
#pragma once

#include "game/feedback.h"
#include "game/frame_timer.h"
#include "field/puzzle_field.h"
#include "platform/platform.h"
#include "render/renderer.h"
#include "sound/sound_bank.h"

#include <string>

enum SceneId : int {
    SceneTitle = 0,
    SceneRanking = 1,
    SceneQuit = 2,
    ScenePlay = 3,
    SceneGameOver = 7,
    SceneNameEntry = 8,
    SceneGameStart = 9,
};

enum PhaseId : int {
    PhaseFalling = 4,
    PhaseClearing = 5,
    PhaseDropping = 6,
};

// The play keys, read once per falling frame in this order.
struct PairKeys {
    bool left = false;                  // held
    bool right = false;                 // held
    bool down = false;                  // held
    bool turnCounterClockwise = false;  // Z, newly pressed
    bool turnClockwise = false;         // C, newly pressed
};

class Game {
public:
    Game();
    virtual ~Game();
    Game(const Game&) = delete;
    Game& operator=(const Game&) = delete;

    // ---- Per frame (frame thread) ----
    // Reads the clock, forces the quit scene while Q is held, runs one step
    // of the current scene.
    void update();
    // Hands the back buffer to the window.
    void present();
    // Starts the selected music again from its beginning.
    void serviceBgm();

    // ---- Start-up (game/startup.cpp) ----
    // Loads every picture and sound from beside the executable, makes the
    // back buffer, sets the spawn positions and enters the first title.
    // Missing files are silent.
    void startUp(platform::WindowId window);
    // The steps of startUp, each passing its arguments on.
    void attachWindow(platform::WindowId window);
    bool createBackBuffer(int width, int height, int red, int green, int blue);
    bool loadBitmap(int slot, const std::string& path, bool colourKeyed);
    bool loadBgm(BgmId id, const std::string& path);
    bool loadEffect(SeId id, const std::string& path);
    bool setSpawnPosition(int index, int column, int row);

    // ---- Scene changes ----
    void changeScene(SceneId id);
    void enterTitle();
    void enterRanking();
    void enterGameOver();
    void enterNameEntry();
    void enterGameStart();
    void enterFirstTitle();
    void changePhase(PhaseId id);

    // ---- State ----
    SceneId scene() const { return scene_; }
    PhaseId phase() const { return phase_; }
    Millis now() const { return now_; }
    bool landingCheckPending() const { return landingCheckPending_; }
    platform::WindowId window() const { return window_; }
    PuzzleField& field() { return field_; }
    const PuzzleField& field() const { return field_; }
    Renderer& renderer() { return renderer_; }
    SoundBank& sound() { return sound_; }

    // ---- What the screens add to tell the player what happened ----
    // The faint outline of where the falling pair would land; off unless
    // switched on.
    void setLandingShadow(bool on) { landingShadow_ = on; }
    bool landingShadow() const { return landingShadow_; }

private:
    // Tests reach the steps below and set raw state through it.
    friend struct GameTestAccess;

    // The banners step at most once per this many milliseconds.
    static constexpr Millis BannerStepMs = 33;

    // ---- Front-end scenes (game/) ----
    void updateTitle();
    void updateGameStart();
    void updateGameOver();
    void updateNameEntry();
    void updateRanking();

    // ---- Play (play/) ----
    void updatePlay();
    void updateFalling();
    void updateClearing();
    void updateDropping();
    void checkMatches();
    void settle();
    // Points of one clear step of `count` blocks at `base` points a block,
    // before the chain multiplier.
    static int chainPoints(int base, int count);
    bool fallDue(bool pushed) const;
    bool moveDue() const;
    bool turnDue() const;
    // -1 while the pair still falls (or no step was due), else the index
    // of the block that landed.
    int stepPairFall(bool pushed);
    int handlePairInput(const PairKeys& keys);
    void landPair(int index);
    void tryMove(int direction);
    bool tryTurn(bool clockwise);
    void drawPlayScreen(PhaseId phase);
    PairKeys pollPairKeys();

    SceneId scene_ = SceneTitle;
    PhaseId phase_ = PhaseFalling;
    platform::WindowId window_ = platform::NoWindow;
    PuzzleField field_;
    Renderer renderer_;
    SoundBank sound_;
    FrameTimer timer_;
    Millis now_ = 0;
    bool landingCheckPending_ = true;
    PlayFeedback feedback_;
    bool landingShadow_ = false;
};
