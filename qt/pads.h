// The desktop's game pads, through SDL2's game controller API and its
// database of pads (SDL_GAMECONTROLLERCONFIG adds more, as in any SDL game):
// SDL for input alone, Qt keeping the window. Its events are read once a
// period on the game's timer, and each pad connected is handed to the match
// in the standard layout (input/pad.h).
#pragma once

#include <map>

#include "match/match.h"

struct _SDL_GameController;

class Pads {
  public:
    // Opens SDL's game controller subsystem; where it cannot be, one line says
    // so and there are no pads.
    Pads();
    ~Pads();
    Pads(const Pads&) = delete;
    Pads& operator=(const Pads&) = delete;

    // What came of the pads since the last period, to the match: pads
    // connected and gone, and each one's state, with where the keyboard is.
    void read(Match& match, KeyPlace place);
    // Rumbles every pad connected.
    void rumble(double strength, int ms);

  private:
    bool open_ = false;
    std::map<int, _SDL_GameController*> pads_;  // by SDL's instance id
};
