// libFuzzer target: arbitrary bytes as a battle, in a file or a link, as the
// game reads either. A battle that is read is fought again for up to
// FUZZ_PERIODS periods; the replay must stop cleanly where the battles part,
// and the world's invariants must hold throughout.
#include <cstdint>

#include "invariants.h"
#include "tools/headless.h"

namespace {
constexpr int FUZZ_PERIODS = 300;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BattleFile file;
    try {
        file = read_battle(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz");
    } catch (const InputError&) {
        return 0;  // refused cleanly, as it should be
    }
    HeadlessFrontEnd front_end;
    Match match;
    match_start_replay(match, front_end, std::move(file));
    const Session& s = match.session;
    int level = 0;
    for (int period = 1;
         period <= FUZZ_PERIODS && match.replay->state == ReplayState::Running && !match.ended;
         ++period) {
        abort_on_broken_invariant(s.world, s.picture, match_run_period(match), level, period);
    }
    return 0;
}
