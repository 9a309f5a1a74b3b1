#include "app/frame_loop.h"

#include "game/game.h"

void frameThreadMain() { runGameThread<Game>(); }
