// What the result and help windows share: a fixed, captioned dialog of the
// battle window, modeless, above the battle and without a taskbar entry or
// close box, whose buttons and keys reach the game as input records. Its
// push buttons wrap their text like a classic command button's.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>

#include "qt/event_translation.h"

// A push button that wraps its text onto more lines when it is too narrow.
class WrappingButton final : public QPushButton {
  public:
    WrappingButton(const QString& text, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// Where a small window sends the records of its keys and buttons.
using InputSink = std::function<void(const InputEvent&)>;

class SmallWindow : public QDialog {
  public:
    // Shows the window centred over `over` as it is now, the keyboard on its
    // safe button, without taking the keyboard from the battle.
    void open_over(const QWidget& over);
    // Hides the window; if it had the keyboard, the battle gets it back.
    void close_to(QWidget& battle);

  protected:
    // A fixed window of this client size and caption, owned by the battle
    // window `owner`; `source` tells the translation which window it is.
    SmallWindow(QWidget* owner, const QString& caption, int width, int height,
                EventSource source, InputSink sink);

    QLabel* place_label(const QString& text, int left, int top, int width, int height);
    // A button that, clicked, sends `button` to the game.
    WrappingButton* place_button(const QString& text, int left, int top, int width, int height,
                                 SmallButton button);
    // The button that has the keyboard when the window opens, and what a
    // close request from the window system does: the window's way back.
    void set_safe_button(QPushButton* button, SmallButton on_close);

    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    EventSource source_;
    InputSink sink_;
    QPushButton* safe_button_ = nullptr;
    SmallButton on_close_ = SmallButton::Back;
};
