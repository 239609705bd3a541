// The headless driver's input files: the script of input events and the list
// of random numbers. Both are read whole and checked before anything runs.
#pragma once

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

#include "input/input_event.h"

// One scripted input event and the timer period it comes in.
struct ScriptEvent {
    int period = 0;
    InputEvent event;
};

// A refused input file: `where` is "FILE:LINE" or the option's name.
struct InputError : std::runtime_error {
    InputError(const std::string& where, const std::string& what)
        : std::runtime_error(where + ": " + what) {}
};

constexpr int MAX_AREA_SIDE = 4096;  // largest drawing-area width or height

// Reads `PERIOD EVENT ARGS...` lines; periods lie in 1..last_period and never
// decrease. Throws InputError naming the file and line of the first fault.
std::vector<ScriptEvent> parse_script(std::istream& in, const std::string& file_name,
                                      int last_period);

// Reads one number r with 0 <= r < 1 per line, each rounded to the nearest
// single. Throws InputError naming the file and line of the first fault.
std::vector<float> parse_randoms(std::istream& in, const std::string& file_name);
