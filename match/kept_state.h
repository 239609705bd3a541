// The battle as it stood at one period, played or shown again, kept so that
// a replay of it can jump back there: the session, its picture run-length
// coded (a field mostly white keeps small), and where it stood in its battle
// file.
#pragma once

#include <cstdint>
#include <vector>

#include "record/recording.h"

struct KeptState {
    Session session;                   // the picture's pixels aside; none where it was blind
    std::vector<std::uint8_t> pixels;  // the picture's pixels, run-length coded
    ReplayPosition at;
    ReplayState state = ReplayState::Running;
};

KeptState keep_state(Session& session, const ReplayPosition& at, ReplayState state);
// Puts the session and the replay back as they were kept, the session
// following the replay's recorded seeds from there; the whole picture counts
// as changed (and is white if it was kept at another display scale than the
// session's now). The session's drawing log stays where it was.
void restore_state(const KeptState& kept, Session& session, Replay& replay);
// The memory the state takes, in bytes.
std::size_t kept_size(const KeptState& kept);
