#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "qt/placement.h"

namespace {

// A battle window on its own session, shown; a program loop run meanwhile
// ends with 99 after 5 s at the latest.
struct Shown {
    Match match;
    BattleKeeper keeper;
    MainWindow window{match, keeper};
    Session& session = match.session;
    QTimer deadline;
    Shown() {
        match_start_game(match, window, random_from_seed(1), DESIGN_WIDTH, DESIGN_HEIGHT,
                         window.devicePixelRatioF());
        window.show();
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        deadline.start(5000);
    }
};

TEST(MainWindow, opens_frameless_named_quenmar_at_its_design_size_with_the_battle_running) {
    Shown s;
    EXPECT_EQ(s.window.windowTitle(), "Quenmar");
    EXPECT_TRUE(s.window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(s.window.size(), QSize(723, 651));
    EXPECT_EQ(s.session.picture.area_width, 723);
    EXPECT_EQ(s.session.picture.area_height, 651);
    EXPECT_TRUE(s.session.controls.battle_timer_running);
}

TEST(MainWindow, the_first_period_sets_up_level_one_and_shows_the_tanks) {
    Shown s;
    ASSERT_TRUE(QTest::qWaitFor([&] { return s.session.ticks >= 2; }, 5000));
    const QImage shot = s.window.grab().toImage();
    int blue = 0, white = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            blue += shot.pixel(x, y) == qRgb(0, 0, 150);
            white += shot.pixel(x, y) == qRgb(255, 255, 255);
        }
    }
    EXPECT_GT(blue, 0) << "the player's tank shows blue";
    EXPECT_GT(white, shot.width() * shot.height() * 9 / 10) << "on a white field";
}

// From a tiny window to a large one, the picture follows the window in the
// screen's own pixels, and the battle runs on.
TEST(MainWindow, the_picture_follows_the_window_size_and_the_battle_runs_on) {
    Shown s;
    for (const QSize size : {QSize(1, 1), QSize(400, 300), QSize(1200, 900)}) {
        s.window.resize(size);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return s.session.picture.area_width == size.width(); }, 5000));
        EXPECT_EQ(s.session.picture.area_height, size.height());
        EXPECT_EQ(s.session.picture.width,
                  std::lround(size.width() * s.window.devicePixelRatioF()));
        const long long ticks = s.session.ticks;
        ASSERT_TRUE(QTest::qWaitFor([&] { return s.session.ticks > ticks + 2; }, 5000));
    }
}

TEST(MainWindow, a_close_request_ends_the_program_as_quit_does) {
    Shown s;
    s.window.close();
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(s.session.end->status, 0);
}

}  // namespace

namespace {

// The message box lives in the program's one event loop: the loop runs on
// until the player closes it and then ends with the status given, even in a
// process that asked to exit earlier.
TEST(MainWindowEnd, a_message_is_said_in_one_line_and_shown_before_the_program_ends) {
    Shown s;
    QString message;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box != nullptr && box->isVisible()) {
                message = box->text();
                box->accept();
            }
        }
    });
    closer.start(10);
    QCoreApplication::exit(0);  // an exit asked for before the end
    testing::internal::CaptureStderr();
    s.window.end_program(4, "the game stopped: a fault");
    const int status = QApplication::exec();
    EXPECT_EQ(status, 4);
    EXPECT_EQ(message, "the game stopped: a fault");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(said.substr(0, said.find('\n')), "quenmar: the game stopped: a fault");
}

}  // namespace

namespace {

// What the window shows, as the window system has it: the window's backing
// store, in the screen's pixels, which keeps every pixel not repainted.
int pixels_not_shown(MainWindow& window, const Surface& s) {
    QApplication::processEvents();
    QPaintDevice* device = window.backingStore()->paintDevice();
    if (device->devType() != QInternal::Image) {
        ADD_FAILURE() << "the backing store is no image";
        return -1;
    }
    const QImage& shown = *static_cast<QImage*>(device);
    if (shown.width() != s.width || shown.height() != s.height) {
        ADD_FAILURE() << "shown " << shown.width() << "x" << shown.height() << ", surface "
                      << s.width << "x" << s.height;
        return -1;
    }
    int wrong = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            wrong += (shown.pixel(x, y) | 0xFF000000u) !=
                     (s.pixels[static_cast<std::size_t>(y * s.width + x)] | 0xFF000000u);
        }
    }
    return wrong;
}

TEST(MainWindowRepaint, every_pixel_a_tick_or_a_record_changes_is_repainted) {
    Shown s;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s.window));
    // The battle paused, so that only the periods run here tick.
    const auto period = [&](std::vector<InputEvent> records) {
        for (const InputEvent& e : records)
            match_take(s.match, e);
        s.session.controls.battle_timer_running = true;
        match_run_period(s.match);
        s.session.controls.battle_timer_running = false;
    };
    period({});
    for (int level = 1; level < 8; ++level) {
        period({{.kind = InputKind::Click, .button = SmallButton::NextLevel}});
        period({});
    }
    period({{.kind = InputKind::MouseDown, .mouse = MouseButton::Left, .x = 600, .y = 100}});
    for (int tick = 0; tick < 120; ++tick) {
        period({});
        ASSERT_EQ(pixels_not_shown(s.window, s.session.picture), 0) << "after tick " << tick;
    }
    period({{.kind = InputKind::KeyPress, .character = CharCode::Enter}});
    EXPECT_EQ(pixels_not_shown(s.window, s.session.picture), 0) << "after Enter";
}

}  // namespace

namespace {

TEST(MainWindowPlacement, opens_at_its_design_size_where_it_fits_else_as_large_as_fits_centred) {
    const struct {
        QRect available;
        QRect opens;
    } cases[] = {
        {QRect(0, 0, 1280, 1024), QRect(278, 186, 723, 651)},
        {QRect(0, 0, 1093, 614), QRect(185, 0, 723, 614)},  // 1366 x 768 at 125 %
        {QRect(0, 24, 683, 360), QRect(0, 24, 683, 360)},   // 1366 x 768 at 200 %, a top panel
        {QRect(1920, 0, 723, 651), QRect(1920, 0, 723, 651)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fitted_geometry(c.available), c.opens)
            << c.available.width() << "x" << c.available.height();
    }
}

}  // namespace
