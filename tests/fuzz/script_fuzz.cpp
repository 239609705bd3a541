// libFuzzer target: arbitrary bytes as an input script for the headless
// driver. A script that parses is played for up to FUZZ_PERIODS periods with
// a seeded generator, and the world's invariants must hold after each one.
#include <cstdint>
#include <sstream>

#include "invariants.h"
#include "tools/headless.h"
#include "tools/sim_run.h"

namespace {
constexpr int FUZZ_PERIODS = 300;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::vector<ScriptEvent> events;
    try {
        events = parse_script(in, "fuzz", FUZZ_PERIODS);
    } catch (const InputError&) {
        return 0;  // refused cleanly, as it should be
    }
    HeadlessBattle battle(random_from_seed(1));
    Session& s = battle.session;
    std::size_t next = 0;
    int level = 0;
    for (int period = 1; period <= FUZZ_PERIODS && !s.end; ++period) {
        abort_on_broken_invariant(s.world, s.picture,
                                  run_scripted_period(battle.match, events, next, period), level,
                                  period);
    }
    return 0;
}
