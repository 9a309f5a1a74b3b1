// The game as a player runs it: with the player's settings file. Tests and
// tools use Game itself, which keeps the defaults and never writes one.
#pragma once

#include "game/game.h"
#include "settings/settings.h"

struct PlayersGame : Game {
    void startUp(platform::WindowId window)
    {
        useSettingsFile(settingsFilePath());
        Game::startUp(window);
    }
};
