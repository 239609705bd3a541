// What the result and help windows share: a fixed dialog of the battle
// window, modeless, above the battle and without a taskbar entry, framed with
// its title and a close button alone, whose buttons and keys reach the game
// as input records. It takes the keyboard when it opens and gives it back to
// the battle when it closes; while it has it, the game's keys reach the match
// through the battle window, and the rest go to its buttons.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <initializer_list>

#include "input/input_event.h"

// A push button like a classic command button: it wraps its text onto more
// lines when it is too narrow, and the arrow keys do not move the keyboard
// from it to the next button (Tab and Shift+Tab do).
class CommandButton final : public QPushButton {
  public:
    CommandButton(const QString& text, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Where a small window sends the records of its keys and buttons.
using InputSink = std::function<void(const InputEvent&)>;

class SmallDialog : public QDialog {
  public:
    // Shows the window with the centre of its frame over the centre of
    // `over`, as it is now, and gives it the keyboard, on its safe button.
    void open_over(const QWidget& over);
    // Hides the window and gives the keyboard back to the battle.
    void close_to(QWidget& battle);
    // Moves the keyboard to the next button (`step` 1) or the one before (-1).
    void move_focus(int step) { focusNextPrevChild(step > 0); }
    // Presses the button that has the keyboard.
    void press_focused();

  protected:
    // A fixed window of this client size and caption (where it draws its own
    // title bar, taller by that), owned by the battle window `owner`.
    SmallDialog(QWidget* owner, const QString& caption, int width, int height, InputSink sink);

    QLabel* place_label(const QString& text, int left, int top, int width, int height);
    // One font for these labels: the default one, or where a text would not
    // fit its label, one a little smaller, alike for all of them.
    void fit_font(std::initializer_list<QLabel*> labels);
    // A button that, clicked, sends `button` to the game.
    CommandButton* place_button(const QString& text, int left, int top, int width, int height,
                                SmallButton button);
    // The button that has the keyboard when the window opens, and what a
    // close request from the window system does: the window's way back.
    void set_safe_button(QPushButton* button, SmallButton on_close);

    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    // Places the window so that the centre of its frame, as far as the
    // window manager has told it, lies over the centre of `over`.
    void centre_over(const QWidget& over);

    InputSink sink_;
    QWidget* content_;  // the labels and buttons, below the title bar where the window draws one
    QPushButton* safe_button_ = nullptr;
    SmallButton on_close_ = SmallButton::Back;
    // The window to centre over again once the window manager has put its
    // frame round this one and given it the keyboard.
    const QWidget* centring_over_ = nullptr;
};
