// What the result and help windows share: a fixed, captioned, modeless window
// that opens without taking the keyboard from the battle, and push buttons
// whose text wraps like a classic command button's.
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

// Makes `window` a fixed window of the given client size, caption and no
// close box, shown without being activated, above `owner`.
void make_small_window(QWidget& window, const QString& caption, int width, int height);

QLabel* place_label(QWidget& window, const QString& text, int left, int top, int width, int height);
WrappingButton* place_button(QWidget& window, const QString& text, int left, int top, int width,
                             int height);
