// The options screen, and the settings the game applies from anywhere: the
// window, the volumes and mute, and the play settings.
#include "game/game.h"

#include "platform/key_bindings.h"
#include "platform/platform.h"

void Game::useSettingsFile(const std::string& path)
{
    settings_ = loadSettings(path);
    settingsSaver_.use(path);
}

void Game::enterOptions()
{
    // The title music plays on; each visit starts at the first entry.
    scene_ = SceneOptions;
    ignoreHeldKeys();
    optionsMenu_.reset();
    keysPageOpen_ = false;
    choosingKey_ = false;
    optionsView_.open();
}

void Game::updateOptions()
{
    if (keysPageOpen_) {
        updateKeysPage();
        return;
    }
    // Each key once per frame, as on the title.
    const bool up = platform::keyNewlyPressed(platform::Key::Up);
    const bool down = platform::keyNewlyPressed(platform::Key::Down);
    const bool left = platform::keyNewlyPressed(platform::Key::Left);
    const bool right = platform::keyNewlyPressed(platform::Key::Right);
    const bool decide = decidePressed();
    const bool leave = platform::keyNewlyPressed(platform::Key::Escape);

    if (leave || (decide && optionsMenu_.cursor() == OptionsEntry::Back)) {
        // Back to the title as it was left: its cursor stays, its music
        // plays on. The title draws itself in the next frame.
        sound_.playEffect(SeDecide);
        optionsView_.close();
        scene_ = SceneTitle;
        ignoreHeldKeys();
        return;
    }
    if (up || down) {
        sound_.playEffect(SeSelect);
        optionsMenu_.moveCursor(up ? -1 : 1);
    }
    // The sound comes after the change, so a new effects volume is heard.
    if (left != right) {
        changeSettings(optionsMenu_.changed(settings_, left ? -1 : 1, platform::windowSizeLimit()));
        sound_.playEffect(SeSelect);
    }
    if (decide && optionsMenu_.cursor() == OptionsEntry::Keys) {
        sound_.playEffect(SeDecide);
        keysMenu_.reset();
        keysPageOpen_ = true;
        optionsView_.openKeys();
        optionsView_.drawKeys(renderer_, keysMenu_, settings_.keys);
        return;
    }
    if (decide) {
        changeSettings(optionsMenu_.decided(settings_, platform::windowSizeLimit()));
        sound_.playEffect(SeDecide);
    }

    optionsView_.draw(renderer_, optionsMenu_, settings_);
}

void Game::updateKeysPage()
{
    // Every key is read each frame, as on the options screen, so no press
    // waits for a later frame. The press reports are taken after the keys:
    // the press that starts a wait is always taken with it, never as the
    // key chosen (the platform reports a press before it marks the key).
    const bool up = platform::keyNewlyPressed(platform::Key::Up);
    const bool down = platform::keyNewlyPressed(platform::Key::Down);
    const bool decide = decidePressed();
    const bool leave = platform::keyNewlyPressed(platform::Key::Escape);
    const int cap = platform::takePressedCap();
    const int button = platform::takePressedButton();

    Settings next = settings_;
    if (keysMenu_.waiting()) {
        if (keysMenu_.pressed(next.keys, cap, button)) {
            sound_.playEffect(keysMenu_.status() == KeysStatus::Refused ? SeSelect : SeDecide);
            changeSettings(next);
        }
    } else if (leave || (decide && keysMenu_.cursor() == KeysMenu::BackRow)) {
        sound_.playEffect(SeDecide);
        keysPageOpen_ = false;
        optionsView_.closeKeys();
        optionsView_.draw(renderer_, optionsMenu_, settings_);
        return;
    } else {
        if (up || down) {
            sound_.playEffect(SeSelect);
            keysMenu_.moveCursor(up ? -1 : 1);
        }
        if (decide) {
            sound_.playEffect(SeDecide);
            keysMenu_.decide(next.keys);
            changeSettings(next);
        }
    }
    choosingKey_ = keysMenu_.waiting() || (choosingKey_ && platform::keyHeld(platform::Key::Q));
    optionsView_.drawKeys(renderer_, keysMenu_, settings_.keys);
}

bool Game::handleSettingKeys()
{
    // M types a letter in the name entry: it mutes everywhere else.
    const bool mute = platform::keyNewlyPressed(platform::Key::M) && scene_ != SceneNameEntry;
    const bool fullscreen = platform::keyNewlyPressed(platform::Key::Fullscreen);
    Settings next = settings_;
    if (mute) next.mute = !next.mute;
    if (fullscreen) next.fullscreen = !next.fullscreen;
    changeSettings(next);
    if (mute) soundNotice_.show(settings_.mute, now_);
    return mute;
}

void Game::changeSettings(const Settings& next)
{
    const Settings old = settings_;
    if (next == old) return;
    settings_ = next;

    // A new window size leaves fullscreen; fullscreen comes back after it
    // when still wanted, so the window keeps the new size underneath.
    const bool newScale = next.windowHalves != old.windowHalves;
    if (newScale) platform::setWindowSize(next.windowHalves);
    if (next.fullscreen != old.fullscreen || (newScale && next.fullscreen))
        platform::setFullscreen(next.fullscreen);
    if (next.musicVolume != old.musicVolume || next.effectsVolume != old.effectsVolume ||
        next.mute != old.mute)
        applyVolumes();
    if (next.controls != old.controls || next.landingShadow != old.landingShadow) applyPlaySettings();
    if (next.keys != old.keys) platform::setKeyBindings(next.keys);
    if (next.sharpScaling != old.sharpScaling) platform::setSharpScaling(next.sharpScaling);

    settingsSaver_.save(settings_, settingKeysChanged(old, next));
}

void Game::applyAllSettings()
{
    // The window opens at the picture's size; "auto" picks the comfortable
    // factor for this desktop.
    platform::setSharpScaling(settings_.sharpScaling);
    platform::setWindowSize(settings_.windowHalves);
    if (settings_.fullscreen) platform::setFullscreen(true);
    applyVolumes();
    applyPlaySettings();
    platform::setKeyBindings(settings_.keys);
}

void Game::applyVolumes()
{
    const bool mute = settings_.mute;
    sound_.setVolumes(mute ? 0 : settings_.musicVolume, mute ? 0 : settings_.effectsVolume);
}

void Game::applyPlaySettings()
{
    setControlStyle(settings_.controls == ControlsSetting::Modern ? ControlStyle::Modern
                                                                  : ControlStyle::Classic);
    // Modern controls also answer a key in the frame that reads it, run the
    // moment the key goes down instead of up to a whole pause later. The
    // game's clock gates every step of play alike either way; classic keeps
    // the even rhythm of frames it always had.
    platform::setKeyEndsPause(controlStyle_ == ControlStyle::Modern);
    setLandingShadow(settings_.landingShadow);
}
