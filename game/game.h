// The one controller: owns the field, the renderer, the sound bank and the
// clock, holds the current scene and play phase, and is the only place where
// scenes change. The frame thread calls update, present and serviceBgm once
// per frame.
#pragma once

#include "game/feedback.h"
#include "game/frame_timer.h"
#include "game/options_view.h"
#include "field/puzzle_field.h"
#include "platform/platform.h"
#include "render/renderer.h"
#include "settings/keys_menu.h"
#include "settings/options_menu.h"
#include "settings/settings.h"
#include "settings/settings_saver.h"
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
    SceneOptions = 11,  // the options screen, an addition (10 is no scene)
};

enum PhaseId : int {
    PhaseFalling = 4,
    PhaseClearing = 5,
    PhaseDropping = 6,
};

// How the falling pair answers the arrows, and when its frame is drawn.
// Classic is the game as it has always played; Modern changes only timing
// and drawing, never a rule.
enum class ControlStyle { Classic, Modern };

// The play keys, read once per falling frame in this order.
struct PairKeys {
    bool left = false;                  // held
    bool leftPressed = false;           // held, and newly pressed
    bool right = false;                 // held
    bool rightPressed = false;          // held, and newly pressed
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
    // Loads what the title's first picture draws from beside the executable,
    // makes the back buffer, sets the spawn positions, applies the settings
    // and enters the first title. Missing files are silent.
    void startUp(platform::WindowId window);
    // The rest of start-up, once the first picture is out: every other
    // picture and sound (the first sound opens the audio device), then the
    // music the scene has selected starts. Only the first call after
    // startUp does anything.
    void finishStartUp();
    bool startUpFinished() const { return !restToLoad_; }
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
    void enterOptions();

    // ---- Settings (game/options_scene.cpp) ----
    // Takes the player's settings from the file at path; an empty path
    // keeps the defaults and never saves. Before startUp, which applies them.
    void useSettingsFile(const std::string& path);
    const Settings& settings() const { return settings_; }
    // Applies at once whatever differs from the current settings and, when
    // anything did, has the keys that changed saved to the settings file
    // (off the frame thread: settingsSaver_).
    void changeSettings(const Settings& next);

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

    // ---- Extras (off unless asked for) ----
    void setControlStyle(ControlStyle style) { controlStyle_ = style; }
    ControlStyle controlStyle() const { return controlStyle_; }
    // True while the game-start banner or the play stands paused.
    bool paused() const { return paused_; }

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
    void updateOptions();
    // The options' KEYS page, shown in place of the options while open.
    void updateKeysPage();
    // M (mute) and F11 / Alt+Enter (fullscreen), on every screen.
    void handleSettingKeys();
    void applyAllSettings();
    void applyVolumes();
    void applyPlaySettings();

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
    // True when the pair moved.
    bool tryMove(int direction);
    bool tryTurn(bool clockwise);
    void drawPlayScreen(PhaseId phase);
    PairKeys pollPairKeys();
    // Modern controls: when an arrow went down and whether it still is.
    struct ArrowHold {
        bool held = false;
        Millis since = 0;
    };
    // Whether the arrow asks for a move this frame; follows its hold.
    bool arrowWantsMove(ArrowHold& hold, bool down, bool pressed);

    // ---- Pause (game/pause.cpp) ----
    // Follows the pause keys and the window's focus; true while paused,
    // when the scene must not run.
    bool updatePause();
    bool pausable() const;
    void enterPause();
    void leavePause();

    SceneId scene_ = SceneTitle;
    PhaseId phase_ = PhaseFalling;
    platform::WindowId window_ = platform::NoWindow;
    PuzzleField field_;
    Renderer renderer_;
    SoundBank sound_;
    FrameTimer timer_;
    Millis now_ = 0;
    bool landingCheckPending_ = true;
    Settings settings_;
    SettingsSaver settingsSaver_;
    OptionsMenu optionsMenu_;
    OptionsView optionsView_;
    KeysMenu keysMenu_;
    bool keysPageOpen_ = false;
    // The page waits for a key, or the key just chosen is still held down
    // as the quit key: Q and the setting keys do nothing meanwhile.
    bool choosingKey_ = false;

    ControlStyle controlStyle_ = ControlStyle::Classic;
    ArrowHold arrowHolds_[2];  // left, right
    bool paused_ = false;
    bool windowWasActive_ = true;
    Surface beforePause_;  // the picture the pause covers, shown again on resume

    PlayFeedback feedback_;
    bool landingShadow_ = false;

    // Where the assets are, and whether finishStartUp still has to load them.
    std::string assetBase_;
    bool restToLoad_ = false;
};
