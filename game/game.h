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

#include <functional>
#include <memory>
#include <string>

struct RestOfStartUp;

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
// and drawing, never a rule, and adds two keys: Up drops the pair at once,
// and Q during the game asks before it quits.
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
    bool drop = false;                  // Up, newly pressed (read by modern controls only)
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
    // music the scene has selected starts. Inline, the first call after
    // startUp loads it all and later ones do nothing; with background
    // loading, the first call starts the loader and each call (one a frame)
    // takes what it has read so far.
    void finishStartUp();
    bool startUpFinished() const { return !restToLoad_; }
    // The desktop game's loading: the rest of start-up is read on a loader
    // thread of its own while frames go on. The loader asks keepGoing before
    // each file (the desktop asks platform::running) and stops for good at
    // the first no; the title's own files give way to a shutdown too.
    // Without it (the default) the rest loads inline, as the tests, the
    // replay tools and the page need. Before startUp.
    void setBackgroundLoading(std::function<bool()> keepGoing) { loaderKeepGoing_ = std::move(keepGoing); }
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
    // Every scene change calls it: the keys held at this moment do nothing
    // on the new screen until they are let go.
    void ignoreHeldKeys();

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
    // True while the question before quitting shows (modern controls).
    bool quitAsked() const { return quitAsked_; }

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
    // The title menu's keys of one frame.
    struct TitleKeys {
        bool up = false;
        bool down = false;
        bool decide = false;
        bool options = false;
        bool any() const { return up || down || decide || options; }
    };
    void holdTitleKeys(const TitleKeys& keys);
    TitleKeys takeHeldTitleKeys();
    // Takes into the game what the loader has read since the last call.
    void adoptLoadedRest();
    // The decide key (Z unless bound otherwise), Enter or Space newly
    // pressed: the decide keys outside play.
    bool decidePressed();
    // M (mute) and F11 / Alt+Enter (fullscreen), on every screen; true
    // when M turned the sound off or on.
    bool handleSettingKeys();
    // The sound notice over what this frame drew.
    void drawSoundNotice();
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
    // One half-row fall step without the gate; the same result.
    int fallHalfRow();
    // Modern's Up: half row by half row until the pair lands, in one frame.
    int dropPair();
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
    // Modern controls' Q during the game: the question, paused as the pause
    // is; Z, Enter or Space quits, Esc (or P) goes back to where the game
    // was.
    bool asksBeforeQuit() const;
    void askQuit();
    void answerQuitQuestion();

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
    bool quitAsked_ = false;
    bool pausedBeforeQuestion_ = false;
    bool windowWasActive_ = true;
    Surface beforePause_;  // the picture the pause covers, shown again on resume

    PlayFeedback feedback_;
    SoundNotice soundNotice_;
    bool landingShadow_ = false;

    // Where the assets are, whether finishStartUp still has to load them,
    // and the rest of start-up while it loads (destroyed first: the loader
    // stops before anything else goes).
    std::string assetBase_;
    bool restToLoad_ = false;
    std::function<bool()> loaderKeepGoing_;  // empty: inline
    // Title keys pressed while the rest loads wait for it, in order; more
    // than this many are dropped.
    static constexpr int MaxHeldTitleKeys = 8;
    TitleKeys heldTitleKeys_[MaxHeldTitleKeys];
    int heldTitleKeyCount_ = 0;
    std::unique_ptr<RestOfStartUp> rest_;
};
