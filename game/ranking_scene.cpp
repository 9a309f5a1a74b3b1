// The ranking view: the five best scores, read from the file every frame.
#include "game/game.h"

#include "platform/platform.h"
#include "rank/ranking.h"

#include <string>

void Game::updateRanking()
{
    // Esc leaves as it leaves the options; the decide keys as ever.
    const bool decide = decidePressed();
    const bool escape = platform::keyNewlyPressed(platform::Key::Escape);
    const bool back = decide || escape;

    renderer_.drawRankingBackground();

    // One name and one score for all five rows: a row missing from the file
    // keeps the name read for the row above it, and its score reads 0.
    // Nothing is cached, so a ranking saved a moment ago shows at once.
    std::string name;
    int score = 0;
    for (int place = 1; place <= 5; ++place) {
        rankEntry(place, name, score);
        renderer_.drawRankEntry(place, name, score);
    }

    // Back to the title, without the decide sound.
    if (back) enterTitle();
}
