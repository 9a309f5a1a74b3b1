// Entry of the browser version. The page has one thread, so there is no
// frame thread: main() opens the player's storage and the canvas and hands
// a tick to the page's frame callback. The tick first makes the pictures
// and sounds in memory, one file a tick with a progress line, then runs the
// one frame step at the game's rhythm.
#include "app/frame_loop.h"
#include "app/frame_pacer.h"
#include "app/players_game.h"
#include "platform/platform.h"
#include "platform/web.h"
#include "render/renderer.h"
#include "tools/assetgen/generate.h"

#include <emscripten.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool storageReady = false;
std::vector<assetgen::AssetStep> assetSteps;
std::size_t assetsMade = 0;
double assetsStartedAt = 0;
PlayersGame* game = nullptr;
FramePacer pacer(FramePauseMs);

// clang-format off
EM_JS(void, js_status, (const char* text), {
    if (Module.tessaloomStatus) Module.tessaloomStatus(UTF8ToString(text));
});
// clang-format on

// The player's folder lives in the browser's storage: read it back before
// the game looks at its files.
// clang-format off
EM_JS(void, js_mount_storage, (const char* folder), {
    const dir = UTF8ToString(folder);
    try {
        FS.mkdirTree(dir);
    } catch (e) {
    }
    FS.mount(IDBFS, {}, dir);
    FS.syncfs(
        true, function(err) {
            if (err) console.warn('tessaloom: the saved scores could not be read: ' + err);
            Module._tessaloom_web_storage_ready();
        });
});
// clang-format on

void status(const std::string& text) { js_status(text.c_str()); }

void startGame()
{
    if (::chdir(web::PlayerFolder) != 0) std::fprintf(stderr, "tessaloom: no folder %s\n", web::PlayerFolder);
    game = new PlayersGame;
    game->startUp(platform::mainWindow());
    status("");
}

void tick()
{
    if (!storageReady) return;
    if (assetsMade < assetSteps.size()) {
        if (assetsMade == 0) assetsStartedAt = emscripten_get_now();
        if (!assetSteps[assetsMade].write(web::GameFolder))
            std::fprintf(stderr, "tessaloom: could not make %s\n", assetSteps[assetsMade].what.c_str());
        ++assetsMade;
        if (assetsMade == assetSteps.size())
            std::printf("tessaloom: pictures and sounds made in %.0f ms\n", emscripten_get_now() - assetsStartedAt);
        if (assetsMade < assetSteps.size())
            status("Making the " + assetSteps[assetsMade].what + " (" + std::to_string(assetsMade + 1) +
                   " of " + std::to_string(assetSteps.size()) + ")");
        return;
    }
    if (!game) startGame();
    if (!platform::running()) {
        emscripten_cancel_main_loop();
        delete game;
        game = nullptr;
        status("The game has ended. Reload the page to play again.");
        return;
    }
    if (pacer.due(emscripten_get_now())) stepFrame(*game);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void tessaloom_web_storage_ready() { storageReady = true; }

int main()
{
    std::string error;
    if (!platform::openWindow("Tessaloom", 0, 0, ScreenWidth, ScreenHeight, error)) {
        std::fprintf(stderr, "tessaloom: %s\n", error.c_str());
        return 1;
    }
    if (!assetgen::createAssetFolders(web::GameFolder)) return 1;
    assetSteps = assetgen::gameAssetSteps();
    status("Making the " + assetSteps.front().what);
    js_mount_storage(web::PlayerFolder);
    emscripten_set_main_loop(tick, 0, 1);
    return 0;
}
