// What the result and help windows share: a fixed, captioned, modeless window
// that opens without taking the keyboard from the battle and has no close box,
// and push buttons whose text wraps like a classic command button's.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

// A push button that wraps its text onto more lines when it is too narrow.
class WrappingButton final : public QPushButton {
  public:
    WrappingButton(const QString& text, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

class SmallWindow : public QWidget {
  protected:
    // A fixed window of this client size and caption, above `owner`.
    SmallWindow(QWidget* owner, const QString& caption, int width, int height);

    QLabel* place_label(const QString& text, int left, int top, int width, int height);
    WrappingButton* place_button(const QString& text, int left, int top, int width, int height);

    // The key that, pressed in this window, and a close request from the
    // window system click `button`: the window's way back to the battle.
    void dismiss_with(Qt::Key key, QPushButton* button);

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    Qt::Key dismiss_key_ = Qt::Key_unknown;
    QPushButton* dismiss_button_ = nullptr;
};
