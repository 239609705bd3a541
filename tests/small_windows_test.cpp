#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "qt/main_window.h"

namespace {

struct Windows : testing::Test {
    Match match;
    BattleKeeper keeper;
    MainWindow window{match, keeper};
    Session& session = match.session;

    void SetUp() override {
        match_start_game(match, window, random_from_seed(1), DESIGN_WIDTH, DESIGN_HEIGHT, 1);
        window.show();
        window.activateWindow();
        QApplication::processEvents();
    }
};

void expect_box(const QWidget* w, const QString& text, int left, int top, int width, int height) {
    SCOPED_TRACE(text.toStdString());
    EXPECT_EQ(w->geometry(), QRect(left, top, width, height));
}

TEST_F(Windows, the_result_window_is_laid_out_as_designed) {
    ResultWindow& r = window.result_window();
    EXPECT_FALSE(r.isVisible()) << "created hidden";
    EXPECT_EQ(r.windowTitle(), "Result");
    EXPECT_EQ(r.size(), QSize(213, 112));
    EXPECT_EQ(r.minimumSize(), r.maximumSize()) << "not resizable";
    EXPECT_EQ(r.windowFlags() & (Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
              Qt::WindowCloseButtonHint)
        << "a close button alone";
    EXPECT_EQ(r.wins_caption->text(), "Wins:");
    EXPECT_EQ(r.losses_caption->text(), "Losses:");
    EXPECT_EQ(r.quit_button->text(), "Quit");
    EXPECT_EQ(r.back_button->text(), "Back");
    EXPECT_EQ(r.next_level_button->text(), "Next level");
    expect_box(r.wins_caption, "wins caption", 8, 8, 65, 17);
    expect_box(r.losses_caption, "losses caption", 8, 32, 65, 17);
    expect_box(r.wins_label, "wins", 80, 8, 81, 17);
    expect_box(r.losses_label, "losses", 80, 32, 81, 17);
    expect_box(r.quit_button, "Quit", 8, 56, 105, 49);
    expect_box(r.back_button, "Back", 120, 56, 41, 49);
    expect_box(r.next_level_button, "Next level", 168, 56, 41, 49);
    EXPECT_EQ(r.quit_button->nextInFocusChain(), r.back_button);
    EXPECT_EQ(r.back_button->nextInFocusChain(), r.next_level_button);
    EXPECT_EQ(r.wins_caption->focusPolicy(), Qt::NoFocus);
}

TEST_F(Windows, the_help_window_is_laid_out_as_designed) {
    HelpWindow& h = window.help_window();
    EXPECT_FALSE(h.isVisible());
    EXPECT_EQ(h.windowTitle(), "Help");
    EXPECT_EQ(h.size(), QSize(305, 298));
    const char* texts[] = {"Esc quits the game and show the score.", "Enter redraws the screen.",
                           "Move your tank using the arrow keys.",
                           "Fire using the left mouse button.",
                           "When there are no tanks left slow down until you stop."};
    for (int i = 0; i < 5; ++i) {
        const QLabel* line = h.help_lines[static_cast<std::size_t>(i)];
        EXPECT_EQ(line->text(), texts[i]);
        expect_box(line, texts[i], 8, 8 + 24 * i, 297, 17);
        EXPECT_EQ(line->font(), h.help_lines[0]->font()) << "one font for all five lines";
        EXPECT_LE(QFontMetrics(line->font()).horizontalAdvance(texts[i]), 297) << texts[i];
    }
    EXPECT_EQ(h.close_button->text(), "Close");
    expect_box(h.close_button, "Close", 8, 128, 89, 41);
    EXPECT_EQ(h.sound_line->text(), "m turns the sound off and on.");
    expect_box(h.sound_line, "the sound", 8, 177, 297, 17);
}

TEST_F(Windows, the_result_window_opens_with_the_score_and_the_keyboard_on_back) {
    window.open_result_window({3, 5});
    ResultWindow& r = window.result_window();
    EXPECT_TRUE(r.isVisible());
    EXPECT_EQ(r.wins_label->text(), "3");
    EXPECT_EQ(r.losses_label->text(), "5");
    EXPECT_EQ(r.focusWidget(), r.back_button);
    window.close_small_window(SmallWindow::Result);
    EXPECT_FALSE(r.isVisible());
}

// Each button, and a close request from the window system, reaches the
// session as the record of its step: a close request as "Back" or "Close".
TEST_F(Windows, the_buttons_and_a_close_request_become_records_for_the_session) {
    ResultWindow& r = window.result_window();
    HelpWindow& h = window.help_window();
    const std::pair<std::function<void()>, SmallButton> cases[] = {
        {[&] { QTest::mouseClick(r.quit_button, Qt::LeftButton); }, SmallButton::Quit},
        {[&] { QTest::mouseClick(r.back_button, Qt::LeftButton); }, SmallButton::Back},
        {[&] { QTest::mouseClick(r.next_level_button, Qt::LeftButton); }, SmallButton::NextLevel},
        {[&] { QTest::mouseClick(h.close_button, Qt::LeftButton); }, SmallButton::Close},
        {[&] {
             window.open_result_window({});
             r.close();
         },
         SmallButton::Back},
        {[&] {
             window.open_help_window();
             h.close();
         },
         SmallButton::Close},
    };
    for (const auto& [act, button] : cases) {
        session.waiting.clear();
        act();
        const InputEvent clicked{.kind = InputKind::Click, .button = button};
        EXPECT_EQ(session.waiting, std::vector<InputEvent>{clicked}) << static_cast<int>(button);
    }
}

}  // namespace
