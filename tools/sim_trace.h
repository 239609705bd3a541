// One line of the headless driver's trace: a JSON object with the period's
// session state and every field of the world. Every single and double is
// written as the shortest text that reads back to the same value of its type,
// the same in every build.
#pragma once

#include <string>
#include <vector>

#include "session/session.h"

// Appends the trace line of `period` (without a newline) to `out`; with
// `draws`, also the period's drawing operations.
void append_trace_line(std::string& out, int period, bool ticked, const Session& session,
                       const std::vector<DrawOp>* draws);
// Appends the line of each of the period's cues, `PERIOD NAME X Y`.
void append_cue_lines(std::string& out, int period, const Cues& cues);
// Appends a line for each of the game's sounds as it renders them, `NAME
// FRAMES HASH`: the hash of every sample's bits, 16 hexadecimal digits.
void append_sound_lines(std::string& out);
