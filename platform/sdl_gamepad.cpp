// SDL platform: game controllers. Any controller SDL has a mapping for is
// opened when it is plugged in (or found at start) and closed when pulled;
// its buttons and left stick feed the keys through GamepadKeys. Everything
// here runs on the main thread, inside the event loop.
//
// Test hook, built only with TESSALOOM_TEST_HOOKS (a player's game takes no
// input from a file): TESSALOOM_TEST_GAMEPAD may name a regular file of
// commands, one a line, that the end-to-end tests append to. Each time the event loop
// wakes it reads what has been added (never waiting, at most 64 KiB in all)
// and plays it on a virtual controller that SDL treats like a real one:
//   attach            plug the virtual controller in
//   detach            pull it out
//   BUTTON down|up    SDL's button names: a, b, y, back, start, dpleft, ...
//   AXIS VALUE        SDL's axis names (leftx, lefty), -32768..32767
// Unset, it costs one getenv at start.
#include "platform/gamepad_keys.h"
#include "platform/sdl_internal.h"

#include <SDL.h>

#include <vector>

#ifdef TESSALOOM_TEST_HOOKS
#include "platform/files.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#endif

namespace {

using platform::PadAxis;
using platform::PadButton;

std::vector<SDL_GameController*> controllers;
bool started = false;

platform::GamepadKeys& padKeys()
{
    static platform::GamepadKeys keys(platform::sdlKeyLatches());
    return keys;
}

bool padButtonOf(int button, PadButton& out)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_A: out = PadButton::A; return true;
    case SDL_CONTROLLER_BUTTON_B: out = PadButton::B; return true;
    case SDL_CONTROLLER_BUTTON_X: out = PadButton::X; return true;
    case SDL_CONTROLLER_BUTTON_Y: out = PadButton::Y; return true;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: out = PadButton::LeftShoulder; return true;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: out = PadButton::RightShoulder; return true;
    case SDL_CONTROLLER_BUTTON_BACK: out = PadButton::Back; return true;
    case SDL_CONTROLLER_BUTTON_START: out = PadButton::Start; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: out = PadButton::DPadUp; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: out = PadButton::DPadDown; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: out = PadButton::DPadLeft; return true;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: out = PadButton::DPadRight; return true;
    default: return false;
    }
}

SDL_JoystickID idOf(SDL_GameController* controller)
{
    return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
}

bool isOpen(SDL_JoystickID id)
{
    for (SDL_GameController* c : controllers)
        if (idOf(c) == id) return true;
    return false;
}

void plugIn(int deviceIndex)
{
    // Announced twice when plugged in while SDL starts.
    if (isOpen(SDL_JoystickGetDeviceInstanceID(deviceIndex))) return;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return;
    controllers.push_back(controller);
    padKeys().attach(idOf(controller));
}

void pullOut(SDL_JoystickID id)
{
    for (auto it = controllers.begin(); it != controllers.end(); ++it) {
        if (idOf(*it) != id) continue;
        SDL_GameControllerClose(*it);
        controllers.erase(it);
        break;
    }
    padKeys().detach(id);
}

// ---- Test hook ----------------------------------------------------------------
#ifdef TESSALOOM_TEST_HOOKS

constexpr std::size_t TestCommandCap = 64 * 1024;

struct TestPad {
    int fd = -1;
    std::size_t taken = 0;
    std::string partial;               // a line not finished yet
    SDL_Joystick* joystick = nullptr;  // the virtual controller, when attached
};
TestPad testPad;

void openTestCommands()
{
    const char* path = std::getenv("TESSALOOM_TEST_GAMEPAD");
    if (!path || !*path) return;
    // Opened as the game's own files are: never waiting, never taking a
    // terminal, and kept only when it is a regular file.
    std::uint64_t size = 0;
    platform::ReadResult result;
    testPad.fd = platform::openRegularFile(path, size, result);
    if (testPad.fd < 0)
        std::fprintf(stderr, "tessaloom: TESSALOOM_TEST_GAMEPAD ignored: %s\n",
                     result.reason.empty() ? "no such file" : result.reason.c_str());
}

void attachTestPad()
{
    if (testPad.joystick) return;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    // Buttons and axes in SDL's own order, so SDL maps them one to one.
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "Tessaloom test gamepad";
    const int index = SDL_JoystickAttachVirtualEx(&desc);
    if (index >= 0) testPad.joystick = SDL_JoystickOpen(index);
}

void detachTestPad()
{
    if (!testPad.joystick) return;
    const SDL_JoystickID id = SDL_JoystickInstanceID(testPad.joystick);
    SDL_JoystickClose(testPad.joystick);
    testPad.joystick = nullptr;
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
}

void runTestCommand(const std::string& line)
{
    std::istringstream words(line);
    std::string name, value;
    words >> name >> value;
    if (name == "attach") return attachTestPad();
    if (name == "detach") return detachTestPad();
    if (!testPad.joystick) return;
    const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
    if (button != SDL_CONTROLLER_BUTTON_INVALID && (value == "down" || value == "up")) {
        SDL_JoystickSetVirtualButton(testPad.joystick, button, value == "down");
        return;
    }
    const SDL_GameControllerAxis axis = SDL_GameControllerGetAxisFromString(name.c_str());
    if (axis != SDL_CONTROLLER_AXIS_INVALID && !value.empty())
        SDL_JoystickSetVirtualAxis(testPad.joystick, axis,
                                   static_cast<Sint16>(std::clamp(std::atoi(value.c_str()), -32768, 32767)));
}

void closeTestCommands()
{
    detachTestPad();
    if (testPad.fd >= 0) ::close(testPad.fd);
    testPad = TestPad{};
}

#else
void openTestCommands() {}
void closeTestCommands() {}
#endif

}  // namespace

namespace platform {

void sdlStartGamepads()
{
    // Without controller support the keyboard still plays: no gamepads.
    started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    // Controllers present now are announced as plugged in by the first events.
    if (started) openTestCommands();
}

void sdlStopGamepads()
{
    closeTestCommands();
    for (SDL_GameController* c : controllers)
        SDL_GameControllerClose(c);
    controllers.clear();
    padKeys().detachAll();
    if (started) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started = false;
}

bool sdlGamepadsOpen() { return !controllers.empty(); }

void sdlGamepadBindings(const KeyBindings& bindings) { padKeys().setBindings(bindings); }

void sdlGamepadEvent(const SDL_Event& e)
{
    switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: plugIn(e.cdevice.which); return;
    case SDL_CONTROLLERDEVICEREMOVED: pullOut(e.cdevice.which); return;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        PadButton button;
        if (!padButtonOf(e.cbutton.button, button)) return;
        const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
        if (down && buttonChoosable(static_cast<int>(button))) sdlNotePressedButton(static_cast<int>(button));
        padKeys().button(e.cbutton.which, button, down);
        return;
    }
    case SDL_CONTROLLERAXISMOTION:
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
            padKeys().axis(e.caxis.which, PadAxis::LeftX, e.caxis.value);
        if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
            padKeys().axis(e.caxis.which, PadAxis::LeftY, e.caxis.value);
        return;
    default: return;
    }
}

void sdlServeTestGamepad()
{
#ifdef TESSALOOM_TEST_HOOKS
    if (testPad.fd < 0) return;
    char bytes[512];
    while (testPad.taken < TestCommandCap) {
        const ssize_t got = ::read(testPad.fd, bytes, sizeof bytes);
        if (got <= 0) break;
        testPad.taken += static_cast<std::size_t>(got);
        testPad.partial.append(bytes, static_cast<std::size_t>(got));
    }
    std::size_t end;
    while ((end = testPad.partial.find('\n')) != std::string::npos) {
        // Until its plug-in event has opened the virtual controller, its
        // buttons would go unseen: the rest waits for a later wake-up.
        if (testPad.joystick && !isOpen(SDL_JoystickInstanceID(testPad.joystick))) break;
        const std::string line = testPad.partial.substr(0, end);
        testPad.partial.erase(0, end + 1);
        runTestCommand(line);
    }
#endif
}

}  // namespace platform
