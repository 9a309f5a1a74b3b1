// Entry of the browser version. The page has one thread, so there is no
// frame thread: main() opens the player's storage and the canvas and hands
// a tick to the page's frame callback. The tick first makes the pictures
// and sounds in memory, one file a tick with a progress line (or takes the
// ones this build made on an earlier visit from the browser), then runs the
// one frame step at the game's rhythm.
//
// Test modes, chosen by the page's address (see web/index.html):
//   ?replay=<file>  plays recorded input on a scripted clock, as the replay
//                   runner does (no pictures or sounds, a fresh working
//                   folder in memory), then shows the same report as
//                   `tessaloom-replay play`; with &keep it plays in the
//                   player's own folder, so its scores are kept.
//   ?box=<text>     shows a message box before the first frame, as the
//                   desktop's self-test does.
#include "app/frame_loop.h"
#include "app/frame_pacer.h"
#include "app/players_game.h"
#include "platform/platform.h"
#include "platform/web.h"
#include "rank/ranking.h"
#include "rank/text_file.h"
#include "render/renderer.h"
#include "tools/assetgen/generate.h"
#include "tools/replay/input_script.h"
#include "tools/replay/summary.h"

#include <emscripten.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

bool storageReady = false;
std::vector<assetgen::AssetStep> assetSteps;
std::size_t assetsMade = 0;
double assetsStartedAt = 0;
// Files the browser's cache gave back, -1 while it is being asked.
int assetsRestored = -1;
PlayersGame* game = nullptr;
FramePacer pacer(FramePauseMs);

// The test mode's recorded input and where it has got to.
struct ScriptedRun {
    bool wanted = false;
    bool keep = false;  // in the player's folder, not a fresh one
    bool loaded = false;
    replay::InputScript script;
    std::size_t next = 0;
    int frame = 0;
    std::unique_ptr<Game> game;
};
ScriptedRun scriptedRun;
// Frames a tick plays of a script: fast, yet the page stays responsive.
constexpr int ScriptFramesPerTick = 400;

// clang-format off
EM_JS(void, js_status, (const char* text), {
    if (Module.tessaloomStatus) Module.tessaloomStatus(UTF8ToString(text));
});
// clang-format on

// The player's folder lives in the browser's storage (the page copies it
// to and from memory): read it back before the game looks at its files.
// Without storage the game starts all the same, with an empty folder.
// clang-format off
EM_JS(void, js_load_storage, (const char* folder), {
    const dir = UTF8ToString(folder);
    try {
        FS.mkdirTree(dir);
    } catch (e) {
    }
    Module.tessaloomLoadFiles(function() { Module._tessaloom_web_storage_ready(); });
});
// clang-format on

// The page's address: its test modes.
// clang-format off
EM_JS(char*, js_query, (const char* name), {
    const v = new URLSearchParams(location.search).get(UTF8ToString(name));
    return v === null ? 0 : allocateUTF8(v);
});
EM_JS(char*, js_take_script, (), {
    const t = Module.tessaloomScriptText;
    if (typeof t !== 'string') return 0;
    Module.tessaloomScriptText = null;
    return allocateUTF8(t);
});
EM_JS(void, js_script_done, (const char* report), {
    if (Module.tessaloomScriptDone) Module.tessaloomScriptDone(UTF8ToString(report));
});
// clang-format on

// What this build made last time, kept in the browser (web/index.html):
// asked at start, stored once everything is made.
// clang-format off
EM_JS(void, js_restore_assets, (const char* folder), {
    if (!Module.tessaloomRestoreAssets) {
        Module._tessaloom_web_assets_restored(0);
        return;
    }
    Module.tessaloomRestoreAssets(UTF8ToString(folder), function(count) { Module._tessaloom_web_assets_restored(count); });
});
EM_JS(void, js_keep_assets, (const char* folder), {
    if (Module.tessaloomKeepAssets) Module.tessaloomKeepAssets(UTF8ToString(folder));
});
// clang-format on

// A query parameter, or nothing.
bool query(const char* name, std::string& value)
{
    char* v = js_query(name);
    if (!v) return false;
    value = v;
    std::free(v);
    return true;
}

void status(const std::string& text) { js_status(text.c_str()); }

void applyScriptKey(const replay::InputEvent& ev)
{
    if (ev.kind == replay::EventKind::Release)
        web::scriptKeyUp(ev.key);
    else
        web::scriptKeyDown(ev.key, ev.kind == replay::EventKind::Repeat);
}

// The report of `tessaloom-replay play`, line for line.
std::string scriptReport(const ScriptedRun& run)
{
    std::string r = "frames " + std::to_string(run.frame) + "\nquit " + (platform::running() ? "no" : "yes") +
                    "\n";
    for (const web::ShownMessageBox& box : web::shownMessageBoxes())
        r += "message box [" + box.caption + "] " + box.text + "\n";
    return r + replay::summarize(*run.game);
}

// Starts the script once the page has fetched it; then plays a share of
// its frames each tick, and reports at the end.
void tickScript()
{
    ScriptedRun& run = scriptedRun;
    if (!run.loaded) {
        char* text = js_take_script();
        if (!text) return;
        std::string error;
        const bool ok = replay::parseInputScript(text, run.script, error);
        std::free(text);
        if (!ok) {
            std::fprintf(stderr, "tessaloom: the recorded input is not readable: %s\n", error.c_str());
            emscripten_cancel_main_loop();
            return;
        }
        run.loaded = true;
        const char* folder = run.keep ? web::PlayerFolder : "/replay";
        if (!run.keep) ::mkdir(folder, 0755);
        if (::chdir(folder) != 0) std::fprintf(stderr, "tessaloom: no folder %s\n", folder);
        web::useScriptedClock(run.script.startMs);
        run.game = std::make_unique<Game>();
        run.game->startUp(platform::mainWindow());
        status("Playing the recorded input");
    }
    for (int n = 0; n < ScriptFramesPerTick; ++n) {
        if (run.frame >= run.script.frames || !platform::running()) {
            const std::string report = scriptReport(run);
            std::fputs(report.c_str(), stdout);
            js_script_done(report.c_str());
            status("");
            emscripten_cancel_main_loop();
            return;
        }
        const std::uint32_t step = replay::takeFrameEvents(run.script, run.next, run.frame, applyScriptKey);
        if (run.frame > 0) web::advanceScriptedClock(step);
        stepFrame(*run.game);
        ++run.frame;
    }
}

void startGame()
{
    if (::chdir(web::PlayerFolder) != 0) std::fprintf(stderr, "tessaloom: no folder %s\n", web::PlayerFolder);
    game = new PlayersGame;
    game->startUp(platform::mainWindow());
    std::string selfTest;
    if (query("box", selfTest)) platform::messageBox(selfTest, "self-test");
    status("");
}

void tick()
{
    if (!storageReady) return;
    if (scriptedRun.wanted) {
        tickScript();
        return;
    }
    if (assetsRestored < 0) return;
    if (assetsMade == 0 && static_cast<std::size_t>(assetsRestored) == assetSteps.size()) {
        std::printf("tessaloom: pictures and sounds taken from the browser's cache in %.0f ms\n",
                    emscripten_get_now() - assetsStartedAt);
        assetsMade = assetSteps.size();
    }
    if (assetsMade < assetSteps.size()) {
        if (assetsMade == 0) assetsStartedAt = emscripten_get_now();
        if (!assetSteps[assetsMade].write(web::GameFolder))
            std::fprintf(stderr, "tessaloom: could not make %s\n", assetSteps[assetsMade].what.c_str());
        ++assetsMade;
        if (assetsMade == assetSteps.size()) {
            std::printf("tessaloom: pictures and sounds made in %.0f ms\n",
                        emscripten_get_now() - assetsStartedAt);
            js_keep_assets(web::GameFolder);
        }
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
    // The frames wait while a message box is open.
    if (web::messageBoxOpen()) return;
    if (pacer.due(emscripten_get_now())) stepFrame(*game);
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void tessaloom_web_storage_ready() { storageReady = true; }
// Another tab stored scores since this one loaded the files: the page put
// them and the table this tab loaded beside each other in memory; the
// scores this tab added since are merged into the stored ones.
extern "C" EMSCRIPTEN_KEEPALIVE void tessaloom_web_merge_rank()
{
    TextFileReader stored, base;
    stored.open("/tmp/tessaloom-stored-rank");
    base.open("/tmp/tessaloom-base-rank");
    std::string reason;
    if (!mergeRankFile(stored.text(), base.text(), &reason))
        std::fprintf(stderr, "tessaloom: could not merge the scores of another tab: %s\n", reason.c_str());
}

extern "C" EMSCRIPTEN_KEEPALIVE void tessaloom_web_assets_restored(int count) { assetsRestored = count; }

int main()
{
    std::string error;
    if (!platform::openWindow("Tessaloom", 0, 0, ScreenWidth, ScreenHeight, error)) {
        std::fprintf(stderr, "tessaloom: %s\n", error.c_str());
        return 1;
    }
    std::string keep;
    scriptedRun.wanted = query("replay", keep);
    scriptedRun.keep = query("keep", keep);
    if (scriptedRun.wanted) {
        // As the runner without --assets: nothing to load.
        status("Loading the recorded input");
    } else {
        if (!assetgen::createAssetFolders(web::GameFolder)) return 1;
        assetSteps = assetgen::gameAssetSteps();
        status("Making the " + assetSteps.front().what);
        assetsStartedAt = emscripten_get_now();
        js_restore_assets(web::GameFolder);
    }
    js_load_storage(web::PlayerFolder);
    emscripten_set_main_loop(tick, 0, 1);
    return 0;
}
