// The tests' way into the Game: raw state that bypasses the scene logic, so a
// test can build a situation directly, and the play steps a test drives one
// by one. Not part of the game; the benchmarks use it too.
#pragma once

#include "game/game.h"

struct GameTestAccess {
    static void setScene(Game& game, SceneId scene) { game.scene_ = scene; }
    static void setPhase(Game& game, PhaseId phase) { game.phase_ = phase; }
    static void setLandingCheckPending(Game& game, bool pending) { game.landingCheckPending_ = pending; }

    static void checkMatches(Game& game) { game.checkMatches(); }
    static void settle(Game& game) { game.settle(); }
    static int stepPairFall(Game& game, bool pushed) { return game.stepPairFall(pushed); }
    static void landPair(Game& game, int index) { game.landPair(index); }
    static int chainPoints(int base, int count) { return Game::chainPoints(base, count); }
    static SettingsSaver& settingsSaver(Game& game) { return game.settingsSaver_; }
    // The options screen's pictures from base + "Graphics/".
    static void loadOptionsPictures(Game& game, const std::string& base)
    {
        game.optionsView_.loadTitleHint(base);
        for (const OptionsView::Sheet sheet : OptionsView::Sheets) {
            Surface picture;
            loadPicture(picture, OptionsView::sheetPath(sheet, base), OptionsView::sheetKeyed(sheet));
            game.optionsView_.adoptSheet(sheet, picture, base);
        }
    }
};
