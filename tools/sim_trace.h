// One line of the headless driver's trace: a JSON object with the period's
// session state and every field of the world. Every single and double is
// written as a text that reads back to the same value of its type (natively,
// the shortest such text).
#pragma once

#include <string>
#include <vector>

#include "session/session.h"

// Appends the trace line of `period` (without a newline) to `out`; with
// `draws`, also the period's drawing operations.
void append_trace_line(std::string& out, int period, bool ticked, const Session& session,
                       const std::vector<DrawOp>* draws);
