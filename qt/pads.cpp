#include "qt/pads.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr float AXIS_FULL = 32767;
constexpr Uint16 RUMBLE_FULL = 0xFFFF;

// SDL's buttons, in PadButton's order.
constexpr SDL_GameControllerButton BUTTONS[PAD_BUTTONS] = {SDL_CONTROLLER_BUTTON_A,
                                                           SDL_CONTROLLER_BUTTON_B,
                                                           SDL_CONTROLLER_BUTTON_X,
                                                           SDL_CONTROLLER_BUTTON_Y,
                                                           SDL_CONTROLLER_BUTTON_BACK,
                                                           SDL_CONTROLLER_BUTTON_START,
                                                           SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
                                                           SDL_CONTROLLER_BUTTON_RIGHTSHOULDER,
                                                           SDL_CONTROLLER_BUTTON_DPAD_UP,
                                                           SDL_CONTROLLER_BUTTON_DPAD_DOWN,
                                                           SDL_CONTROLLER_BUTTON_DPAD_LEFT,
                                                           SDL_CONTROLLER_BUTTON_DPAD_RIGHT};

float axis(SDL_GameController* pad, SDL_GameControllerAxis which) {
    return std::clamp(static_cast<float>(SDL_GameControllerGetAxis(pad, which)) / AXIS_FULL, -1.0f,
                      1.0f);
}

PadState state_of(SDL_GameController* pad) {
    PadState s;
    for (std::size_t i = 0; i < PAD_BUTTONS; ++i)
        s.held[i] = SDL_GameControllerGetButton(pad, BUTTONS[i]) != 0;
    s.left_x = axis(pad, SDL_CONTROLLER_AXIS_LEFTX);
    s.left_y = axis(pad, SDL_CONTROLLER_AXIS_LEFTY);
    s.right_x = axis(pad, SDL_CONTROLLER_AXIS_RIGHTX);
    s.right_y = axis(pad, SDL_CONTROLLER_AXIS_RIGHTY);
    s.left_trigger = axis(pad, SDL_CONTROLLER_AXIS_TRIGGERLEFT);
    s.right_trigger = axis(pad, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    return s;
}

}  // namespace

Pads::Pads() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");                // Qt's and the game's
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");  // SDL has no window of its own
    open_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!open_)
        std::fprintf(stderr,
                     "quenmar: game pads cannot be read (%s); the game plays on without them\n",
                     SDL_GetError());
}

Pads::~Pads() {
    for (const auto& [id, pad] : pads_)
        SDL_GameControllerClose(pad);
    if (open_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Pads::read(Match& match, KeyPlace place) {
    if (!open_) return;
    for (SDL_Event e; SDL_PollEvent(&e) != 0;) {
        if (e.type == SDL_CONTROLLERDEVICEADDED) {
            if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) {
                pads_[SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad))] = pad;
            }
        } else if (e.type == SDL_CONTROLLERDEVICEREMOVED && pads_.contains(e.cdevice.which)) {
            SDL_GameControllerClose(pads_[e.cdevice.which]);
            pads_.erase(e.cdevice.which);
            match_pad_gone(match, e.cdevice.which, place);
        }
    }
    for (const auto& [id, pad] : pads_)
        match_pad(match, id, state_of(pad), place);
}

void Pads::rumble(double strength, int ms) {
    const auto magnitude = static_cast<Uint16>(std::clamp(strength, 0.0, 1.0) * RUMBLE_FULL);
    for (const auto& [id, pad] : pads_)
        SDL_GameControllerRumble(pad, magnitude, magnitude, static_cast<Uint32>(ms));
}
