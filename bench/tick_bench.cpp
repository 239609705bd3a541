// One tick of a level-50 battle, with the game's own surface, with a QPainter
// drawing the same operations onto a QImage, and with the drawing discarded.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "battle/tick.h"
#include "tools/headless_platform.h"
#include "tools/sim_run.h"

namespace {

constexpr int LEVEL_SETUP_PERIODS = 100;  // 49 next-level clicks, two periods apart
constexpr int BATTLE_PERIODS = 150;       // then the battle runs a while: shells in the air
constexpr int TICKS_PER_RESTORE = 100;    // back to the same battle every so many ticks

// The drawing operations made with QPainter instead, for comparison.
class PainterPlatform final : public HeadlessPlatform {
  public:
    PainterPlatform() : image_(DESIGN_WIDTH, DESIGN_HEIGHT, QImage::Format_RGB32) {
        image_.fill(Qt::white);
        painter_.begin(&image_);
    }
    void clear_surface() override { image_.fill(Qt::white); }
    void draw_line(float x1, float y1, float x2, float y2, ColourValue colour) override {
        painter_.setPen(pen(colour));
        painter_.drawLine(QPointF(x1, y1), QPointF(x2, y2));
        current_ = QPointF(x2, y2);
    }
    void draw_line_on(float x2, float y2, ColourValue colour) override {
        painter_.setPen(pen(colour));
        painter_.drawLine(current_, QPointF(x2, y2));
        current_ = QPointF(x2, y2);
    }
    void draw_circle(float x, float y, float radius, ColourValue colour) override {
        painter_.setPen(pen(colour));
        painter_.drawEllipse(QPointF(x, y), radius, radius);
    }

  private:
    static QColor pen(ColourValue c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }
    QImage image_;
    QPainter painter_;
    QPointF current_;
};

// The game logic alone: every drawing operation is dropped.
class DiscardPlatform final : public HeadlessPlatform {
  public:
    void clear_surface() override {}
    void draw_line(float, float, float, float, ColourValue) override {}
    void draw_line_on(float, float, ColourValue) override {}
    void draw_circle(float, float, float, ColourValue) override {}
};

// The world of a level-50 battle, reached as the headless driver reaches it.
GameWorld level_50_battle() {
    HeadlessPlatform p(DESIGN_WIDTH, DESIGN_HEIGHT, 2026);
    std::vector<ScriptEvent> clicks;
    for (int k = 1; k <= 49; ++k) {
        clicks.push_back({2 * k, {.kind = InputKind::Click, .button = SmallButton::NextLevel}});
    }
    GameWorld w{};
    std::size_t next = 0;
    for (int period = 1; period <= LEVEL_SETUP_PERIODS + BATTLE_PERIODS; ++period) {
        run_period(w, p, clicks, next, period);
    }
    return w;
}

template <typename Surface>
void tick_at_level_50(benchmark::State& state) {
    const GameWorld start = level_50_battle();
    GameWorld w = start;
    Surface p;
    int ticks = 0;
    for (auto _ : state) {
        on_tick(w, p);
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
    tick_at_level_50<HeadlessPlatform>(state);
}
// The game's own surface with the pixels of a screen at display scale 2.
class ScaleTwoPlatform final : public HeadlessPlatform {
  public:
    ScaleTwoPlatform() : HeadlessPlatform(DESIGN_WIDTH, DESIGN_HEIGHT, 1, 2) {}
};

void tick_scale_2(benchmark::State& state) {
    tick_at_level_50<ScaleTwoPlatform>(state);
}
void tick_qpainter(benchmark::State& state) {
    tick_at_level_50<PainterPlatform>(state);
}
void tick_no_drawing(benchmark::State& state) {
    tick_at_level_50<DiscardPlatform>(state);
}

BENCHMARK(tick)->Unit(benchmark::kMicrosecond);
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
