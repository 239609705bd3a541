#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "qt/help_window.h"
#include "qt/main_window.h"
#include "qt/result_window.h"

namespace {

struct Windows : testing::Test {
    GameWorld world{};
    MainWindow window{world};

    void SetUp() override {
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }
    void key(Qt::Key key) { QTest::keyClick(&window, key); }
};

void expect_box(const QWidget* w, const QString& text, int left, int top, int width, int height) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(w->geometry(), QRect(left, top, width, height));
}

TEST_F(Windows, the_result_window_is_laid_out_as_designed) {
    ResultWindow& r = window.frm_winlose();
    EXPECT_FALSE(r.isVisible()) << "created hidden";
    EXPECT_EQ(r.windowTitle(), "Result");
    EXPECT_EQ(r.size(), QSize(213, 112));
    EXPECT_EQ(r.minimumSize(), r.maximumSize()) << "not resizable";
    EXPECT_FALSE(r.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(r.Label1->text(), "Wins:");
    EXPECT_EQ(r.Label2->text(), "Losses:");
    EXPECT_EQ(r.Label3->text(), "Label3");
    EXPECT_EQ(r.Label4->text(), "Label4");
    EXPECT_EQ(r.btn_quit->text(), "Quit");
    EXPECT_EQ(r.Command1->text(), "Back");
    EXPECT_EQ(r.Command2->text(), "Next level");
    expect_box(r.Label1, "Label1", 8, 8, 65, 17);
    expect_box(r.Label2, "Label2", 8, 32, 65, 17);
    expect_box(r.Label3, "Label3", 80, 8, 81, 17);
    expect_box(r.Label4, "Label4", 80, 32, 81, 17);
    expect_box(r.btn_quit, "Quit", 8, 56, 105, 49);
    expect_box(r.Command1, "Back", 120, 56, 41, 49);
    expect_box(r.Command2, "Next level", 168, 56, 41, 49);
    EXPECT_EQ(r.btn_quit->nextInFocusChain(), r.Command1);
    EXPECT_EQ(r.Command1->nextInFocusChain(), r.Command2);
    EXPECT_EQ(r.Label1->focusPolicy(), Qt::NoFocus);
}

TEST_F(Windows, the_help_window_is_laid_out_as_designed) {
    HelpWindow& h = window.frm_help();
    EXPECT_FALSE(h.isVisible());
    EXPECT_EQ(h.windowTitle(), "Help");
    EXPECT_EQ(h.size(), QSize(305, 175));
    const QLabel* labels[] = {h.Label1, h.Label2, h.Label3, h.Label4, h.Label5};
    const char* texts[] = {"Esc quits the game and show the score.", "Enter redraws the screen.",
                           "Move your tank using the arrow keys.",
                           "Fire using the left mouse button.",
                           "When there are no tanks left slow down until you stop."};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(labels[i]->text(), texts[i]);
        expect_box(labels[i], texts[i], 8, 8 + 24 * i, 297, 17);
        EXPECT_EQ(labels[i]->font(), h.Label1->font()) << "one font for all five lines";
        EXPECT_LE(QFontMetrics(labels[i]->font()).horizontalAdvance(texts[i]), 297) << texts[i];
    }
    EXPECT_EQ(h.Command1->text(), "Close");
    expect_box(h.Command1, "Close", 8, 128, 89, 41);
}

TEST_F(Windows, esc_on_the_battle_shows_the_score_and_a_second_esc_hides_it) {
    window.set_tmr_Enabled(false);  // no tick changes the score below
    world.level = 9;
    world.wins = 3;
    world.losses = 6;
    key(Qt::Key_Escape);
    EXPECT_TRUE(window.frm_winlose().isVisible());
    EXPECT_FALSE(window.tmr_Enabled());
    EXPECT_EQ(window.frm_winlose().Label3->text(), "3");
    EXPECT_EQ(window.frm_winlose().Label4->text(), "5") << "less the loss counted at the start";
    key(Qt::Key_Escape);
    EXPECT_FALSE(window.frm_winlose().isVisible());
    EXPECT_TRUE(window.tmr_Enabled());
}

TEST_F(Windows, the_result_buttons_resume_give_up_the_level_or_quit) {
    key(Qt::Key_Escape);
    QTest::mouseClick(window.frm_winlose().Command1, Qt::LeftButton);
    EXPECT_FALSE(window.frm_winlose().isVisible());
    EXPECT_TRUE(window.tmr_Enabled());
    key(Qt::Key_Escape);
    QTest::mouseClick(window.frm_winlose().Command2, Qt::LeftButton);
    EXPECT_FALSE(window.frm_winlose().isVisible());
    EXPECT_EQ(window.Tag(), "1");
    key(Qt::Key_Escape);
    QTest::mouseClick(window.frm_winlose().btn_quit, Qt::LeftButton);
    EXPECT_FALSE(window.tmr_Enabled());
    key(Qt::Key_P);
    EXPECT_FALSE(window.tmr_Enabled()) << "after Quit no handler runs";
}

TEST_F(Windows, a_close_request_does_what_back_or_close_does) {
    for (const auto& [open, small] : {std::pair<Qt::Key, QWidget*>(Qt::Key_Escape, &window.frm_winlose()),
                                      std::pair<Qt::Key, QWidget*>(Qt::Key_F1, &window.frm_help())}) {
        key(open);
        small->close();
        EXPECT_FALSE(small->isVisible());
        EXPECT_TRUE(window.tmr_Enabled());
    }
}

TEST_F(Windows, a_held_arrow_stays_held_through_auto_repeat_and_a_real_release_clears_it) {
    QTest::keyPress(&window, Qt::Key_Up);
    EXPECT_EQ(world.key_up, TRUE_FLAG);
    for (int repeat = 0; repeat < 3; ++repeat) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&window, &release);
        EXPECT_EQ(world.key_up, TRUE_FLAG);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(&window, &press);
    }
    QTest::keyRelease(&window, Qt::Key_Up);
    EXPECT_EQ(world.key_up, FALSE_FLAG);
}

TEST_F(Windows, p_pauses_enter_clears_and_the_mouse_aims_and_fires) {
    key(Qt::Key_P);
    EXPECT_FALSE(window.tmr_Enabled());
    QTest::keyClick(&window, Qt::Key_P, Qt::ShiftModifier);
    EXPECT_TRUE(window.tmr_Enabled());
    QTest::mouseMove(&window, QPoint(120, 90));
    EXPECT_EQ(world.mouse_x, 120);
    EXPECT_EQ(world.mouse_y, 90);
    QTest::mousePress(&window, Qt::LeftButton, Qt::NoModifier, QPoint(120, 90));
    EXPECT_EQ(world.fire_held, TRUE_FLAG);
    QTest::mouseRelease(&window, Qt::LeftButton, Qt::NoModifier, QPoint(120, 90));
    EXPECT_EQ(world.fire_held, FALSE_FLAG);
    key(Qt::Key_Return);
    for (std::uint32_t px : window.surface().pixels)
        ASSERT_EQ(px, 0xFFFFFFFFu);
}

}  // namespace
