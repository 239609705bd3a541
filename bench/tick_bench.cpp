// One tick of a level-50 battle: with the game's own picture at display
// scale 1 and 2, with the same drawing operations made through a QPainter
// onto a QImage instead, and with no pixels to draw into (the game logic's
// own share). And the mixer's work for a period of a level-50 battle: its
// cues played and a period's frames mixed.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "battle/tick.h"
#include "tools/headless.h"
#include "tools/sim_run.h"

namespace {

constexpr int LEVEL_SETUP_PERIODS = 100;  // 49 next-level clicks, two periods apart
constexpr int BATTLE_PERIODS = 150;       // then the battle runs a while: shells in the air
constexpr int TICKS_PER_RESTORE = 100;    // back to the same battle every so many ticks

// The world of a level-50 battle, reached as the headless driver reaches it.
GameWorld level_50_battle() {
    HeadlessBattle battle(random_from_seed(2026));
    std::vector<ScriptEvent> clicks;
    for (int k = 1; k <= 49; ++k) {
        clicks.push_back({2 * k, {.kind = InputKind::Click, .button = SmallButton::NextLevel}});
    }
    std::size_t next = 0;
    for (int period = 1; period <= LEVEL_SETUP_PERIODS + BATTLE_PERIODS; ++period)
        run_scripted_period(battle.match, clicks, next, period);
    return battle.session.world;
}

// The drawing operations of a tick made again with QPainter.
class PainterReplay {
  public:
    PainterReplay() : image_(DESIGN_WIDTH, DESIGN_HEIGHT, QImage::Format_RGB32) {
        image_.fill(Qt::white);
        painter_.begin(&image_);
    }
    void draw(const std::vector<DrawOp>& ops) {
        for (const DrawOp& op : ops) {
            painter_.setPen(
                QColor(op.colour & 0xFF, (op.colour >> 8) & 0xFF, (op.colour >> 16) & 0xFF));
            switch (op.kind) {
                case DrawOp::Kind::Clear:
                    image_.fill(Qt::white);
                    break;
                case DrawOp::Kind::Line:
                    painter_.drawLine(QPointF(op.a, op.b), QPointF(op.c, op.d));
                    current_ = QPointF(op.c, op.d);
                    break;
                case DrawOp::Kind::LineOn:
                    painter_.drawLine(current_, QPointF(op.a, op.b));
                    current_ = QPointF(op.a, op.b);
                    break;
                case DrawOp::Kind::Circle:
                    painter_.drawEllipse(QPointF(op.a, op.b), op.c, op.c);
                    break;
            }
        }
    }

  private:
    QImage image_;
    QPainter painter_;
    QPointF current_;
};

enum class Drawing { Own, Painter, None };

void tick_at_level_50(benchmark::State& state, Drawing drawing, double scale) {
    const GameWorld start = level_50_battle();
    GameWorld w = start;
    Surface picture;
    surface_set_area(picture, DESIGN_WIDTH, DESIGN_HEIGHT, scale);
    if (drawing != Drawing::Own) surface_resize(picture, 0, 0);  // every line clipped away
    std::vector<DrawOp> ops;
    PainterReplay painter;
    if (drawing == Drawing::Painter) picture.draw_log = &ops;
    RandomSource random = random_from_seed(1);
    bool next_level_requested = false;
    int ticks = 0;
    for (auto _ : state) {
        on_tick(w, picture, random, next_level_requested);
        painter.draw(ops);
        ops.clear();
        if (++ticks == TICKS_PER_RESTORE) {
            state.PauseTiming();
            w = start;
            ticks = 0;
            state.ResumeTiming();
        }
    }
    state.counters["level"] = w.level;
}

void tick(benchmark::State& state) {
    tick_at_level_50(state, Drawing::Own, 1);
}
void tick_scale_2(benchmark::State& state) {
    tick_at_level_50(state, Drawing::Own, 2);
}
void tick_qpainter(benchmark::State& state) {
    tick_at_level_50(state, Drawing::Painter, 1);
}
void tick_no_drawing(benchmark::State& state) {
    tick_at_level_50(state, Drawing::None, 1);
}

// The cues of a stretch of a level-50 battle, a period's at a time, played
// and mixed as the match does, with the engine running.
void mixer_period(benchmark::State& state) {
    HeadlessBattle battle(random_from_seed(2026));
    std::vector<Cues> periods;
    for (int period = 1; period <= LEVEL_SETUP_PERIODS + BATTLE_PERIODS + 400; ++period) {
        if (period <= LEVEL_SETUP_PERIODS && period % 2 == 0)
            match_take(battle.match, {.kind = InputKind::Click, .button = SmallButton::NextLevel});
        match_run_period(battle.match);
        if (period > LEVEL_SETUP_PERIODS) periods.push_back(battle.session.cues);
    }
    Mixer mixer;
    mixer_start(mixer);
    std::vector<float> frames(2 * SAMPLE_RATE * PERIOD_MS / 1000);
    const Listener listener{361, 325, DESIGN_WIDTH, DESIGN_HEIGHT};
    std::size_t next = 0;
    for (auto _ : state) {
        mixer_play(mixer, periods[next++ % periods.size()], listener);
        mixer_set_engine(mixer, 2);
        mixer_render(mixer, frames);
        benchmark::DoNotOptimize(frames.data());
    }
    state.counters["voices"] = static_cast<double>(mixer.voices.size());
}

BENCHMARK(tick)->Unit(benchmark::kMicrosecond);
BENCHMARK(mixer_period)->Unit(benchmark::kMicrosecond);
BENCHMARK(tick_scale_2)->Unit(benchmark::kMicrosecond);
BENCHMARK(tick_qpainter)->Unit(benchmark::kMicrosecond);
BENCHMARK(tick_no_drawing)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
