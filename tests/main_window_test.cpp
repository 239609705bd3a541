#include "qt/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBackingStore>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "base/checked.h"

namespace {

TEST(MainWindow, opens_frameless_named_quenmar_at_its_design_size_with_the_timer_running) {
    GameWorld world{};
    MainWindow window(world);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Quenmar");
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.width(), 723);
    EXPECT_EQ(window.height(), 651);
    EXPECT_EQ(window.ScaleWidth(), 723.0f);
    EXPECT_EQ(window.ScaleHeight(), 651.0f);
    EXPECT_TRUE(window.tmr_Enabled());
    EXPECT_EQ(window.Tag(), "0");
}

TEST(MainWindow, the_first_timer_event_sets_up_level_one_and_shows_the_tanks) {
    GameWorld world{};
    MainWindow window(world);
    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return world.level == 1; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return world.cur_tank == MAX_SLOT + 1; }, 5000));
    const QImage shot = window.grab().toImage();
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

TEST(MainWindow, the_surface_follows_the_window_size) {
    GameWorld world{};
    MainWindow window(world);
    window.show();
    window.resize(400, 300);
    QApplication::processEvents();
    EXPECT_EQ(window.ScaleWidth(), 400.0f);
    EXPECT_EQ(window.ScaleHeight(), 300.0f);
    EXPECT_EQ(window.surface().width, std::lround(400 * window.devicePixelRatioF()))
        << "the picture has the screen's own pixels";
}

TEST(MainWindow, a_close_request_stops_the_game) {
    GameWorld world{};
    MainWindow window(world);
    window.show();
    window.close();
    EXPECT_FALSE(window.tmr_Enabled());
}

}  // namespace

namespace {

// The message box lives in the program's one event loop: the loop runs on
// until the player closes it and then ends with status 4, even in a process
// that asked to exit earlier.
TEST(MainWindowFault, a_counter_overflow_stops_the_game_says_so_and_ends_with_status_4) {
    GameWorld world{};
    world.level = 50;
    world.wins = 32767;  // the player stands alone: the next tick scores one win more
    world.tank_hp[0] = 2;
    world.tank_x[0] = 100;
    world.tank_y[0] = 100;
    MainWindow window(world);
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
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    window.show();
    QCoreApplication::exit(0);  // an exit asked for before the fault
    testing::internal::CaptureStderr();
    window.tick();
    const int status = QApplication::exec();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, FAULT_EXIT_STATUS);
    EXPECT_TRUE(message.contains("16-bit counter wins overflowed")) << message.toStdString();
    EXPECT_EQ(said.substr(0, said.find('\n')),
              "quenmar: the game stopped: 16-bit counter wins overflowed at 32767 + 1");
    EXPECT_EQ(world.wins, 32767) << "not wrapped";
    EXPECT_FALSE(window.tmr_Enabled());
    EXPECT_TRUE(window.faulted());
}

TEST(MainWindowResize, a_tiny_or_empty_window_keeps_the_battle_running) {
    GameWorld world{};
    MainWindow window(world);
    window.show();
    window.resize(1, 1);
    QApplication::processEvents();
    ASSERT_TRUE(QTest::qWaitFor([&] { return world.level == 1; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(window.ScaleWidth(), 1.0f);
    EXPECT_LE(world.tank_x[0], 1.0);
    window.resize(1200, 900);
    QApplication::processEvents();
    EXPECT_EQ(window.ScaleWidth(), 1200.0f);
    EXPECT_TRUE(window.tmr_Enabled());
}

}  // namespace

namespace {

// What the window shows, as the window system has it: the window's backing
// store, in the screen's pixels, which keeps every pixel not repainted.
int pixels_not_shown(MainWindow& window) {
    QApplication::processEvents();
    QPaintDevice* device = window.backingStore()->paintDevice();
    if (device->devType() != QInternal::Image) {
        ADD_FAILURE() << "the backing store is no image";
        return -1;
    }
    const QImage& shown = *static_cast<QImage*>(device);
    const Surface& s = window.surface();
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

TEST(MainWindowRepaint, every_pixel_a_tick_or_a_handler_changes_is_repainted) {
    GameWorld world{};
    MainWindow window(world);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.set_tmr_Enabled(false);
    window.tick();
    for (int level = 1; level < 8; ++level) {
        window.deliver({.kind = InputKind::Click, .button = SmallButton::NextLevel});
        window.tick();
        window.tick();
    }
    window.set_tmr_Enabled(false);
    window.deliver({.kind = InputKind::MouseDown, .code = 1, .x = 600, .y = 100});
    for (int tick = 0; tick < 120; ++tick) {
        window.tick();
        ASSERT_EQ(pixels_not_shown(window), 0) << "after tick " << tick;
    }
    window.deliver({.kind = InputKind::KeyPress, .code = 13});
    EXPECT_EQ(pixels_not_shown(window), 0) << "after Enter";
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
