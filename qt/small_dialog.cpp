#include "qt/small_dialog.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "qt/x11_hints.h"

namespace {

constexpr qreal MIN_POINT_SIZE = 6;
constexpr qreal POINT_SIZE_STEP = 0.5;
constexpr int TITLE_BAR_HEIGHT = 24;

// On Wayland, Qt's own title bar offers minimise and maximise, which a small
// window of fixed size has no use for. There the window draws its own: its
// title and a close button alone, and dragging it moves the window.
class TitleBar final : public QWidget {
  public:
    TitleBar(QDialog& dialog, const QString& title, int width) : QWidget(&dialog) {
        setGeometry(0, 0, width, TITLE_BAR_HEIGHT);
        auto* label = new QLabel(title, this);
        label->setGeometry(0, 0, width, TITLE_BAR_HEIGHT);
        label->setAlignment(Qt::AlignCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        auto* close = new QToolButton(this);
        close->setGeometry(width - TITLE_BAR_HEIGHT, 0, TITLE_BAR_HEIGHT, TITLE_BAR_HEIGHT);
        close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
        close->setAutoRaise(true);
        close->setFocusPolicy(Qt::NoFocus);  // Tab stays among the window's own buttons
        connect(close, &QToolButton::clicked, &dialog, &QWidget::close);
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) window()->windowHandle()->startSystemMove();
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawLine(0, height() - 1, width() - 1, height() - 1);  // the bar's lower edge
    }
};

bool draws_own_title_bar() {
    return QGuiApplication::platformName().startsWith("wayland");
}

// A title and a close button, from the window manager or drawn by the window.
Qt::WindowFlags small_window_flags() {
    if (draws_own_title_bar()) return Qt::Dialog | Qt::FramelessWindowHint;
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
           Qt::MSWindowsFixedSizeDialogHint;
}

}  // namespace

CommandButton::CommandButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

void CommandButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text());
}

void CommandButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
            event->ignore();  // on to the window, where they do nothing
            break;
        default:
            QPushButton::keyPressEvent(event);
    }
}

SmallDialog::SmallDialog(QWidget* owner, const QString& caption, int width, int height,
                         InputSink sink)
    : QDialog(owner, small_window_flags()), sink_(std::move(sink)) {
    setWindowTitle(caption);
    setModal(false);
    const int title_height = draws_own_title_bar() ? TITLE_BAR_HEIGHT : 0;
    if (draws_own_title_bar()) new TitleBar(*this, caption, width);
    content_ = new QWidget(this);
    content_->setGeometry(0, title_height, width, height);
    setFixedSize(width, height + title_height);
}

QLabel* SmallDialog::place_label(const QString& text, int left, int top, int width, int height) {
    auto* label = new QLabel(text, content_);
    label->setGeometry(left, top, width, height);
    return label;
}

// The boxes were laid out for a smaller default font than many desktops have.
void SmallDialog::fit_font(std::initializer_list<QLabel*> labels) {
    QFont font = this->font();
    const auto cut_off = [&](const QLabel* label) {
        return QFontMetrics(font).horizontalAdvance(label->text()) > label->width();
    };
    while (std::any_of(labels.begin(), labels.end(), cut_off) &&
           font.pointSizeF() > MIN_POINT_SIZE) {
        font.setPointSizeF(font.pointSizeF() - POINT_SIZE_STEP);
    }
    for (QLabel* label : labels)
        label->setFont(font);
}

CommandButton* SmallDialog::place_button(const QString& text, int left, int top, int width,
                                         int height, SmallButton button) {
    auto* pushed = new CommandButton(text, content_);
    pushed->setGeometry(left, top, width, height);
    connect(pushed, &QPushButton::clicked, this,
            [this, button] { sink_({.kind = InputKind::Click, .button = button}); });
    return pushed;
}

void SmallDialog::set_safe_button(QPushButton* button, SmallButton on_close) {
    safe_button_ = button;
    on_close_ = on_close;
}

void SmallDialog::open_over(const QWidget& over) {
    set_small_window_hints(*this);
    centre_over(over);
    centring_over_ = &over;
    if (safe_button_ != nullptr) {
        safe_button_->setDefault(true);
        safe_button_->setFocus();
    }
    show();
    raise();
    activateWindow();
}

void SmallDialog::close_to(QWidget& battle) {
    centring_over_ = nullptr;
    hide();
    if (battle.isVisible()) battle.activateWindow();
}

void SmallDialog::press_focused() {
    if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
}

void SmallDialog::centre_over(const QWidget& over) {
    const QMargins frame = frame_extents(*this).value_or(QMargins());
    const QRect framed =
        QRect(QPoint(0, 0), size()).marginsAdded(frame);  // about the client's corner
    setGeometry(QRect(over.frameGeometry().center() - framed.center(), size()));
}

// What its buttons leave: nothing reaches the dialog's own handling, whose
// Esc would hide the window behind the game's back.
void SmallDialog::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

// A window manager frames a window when it maps it, before it gives it the
// keyboard: only then is the frame known the first time the window opens.
void SmallDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || centring_over_ == nullptr) return;
    const QWidget* over = centring_over_;
    centring_over_ = nullptr;
    centre_over(*over);
}

void SmallDialog::closeEvent(QCloseEvent* event) {
    event->ignore();  // the game's own steps hide the window
    if (isVisible()) sink_({.kind = InputKind::Click, .button = on_close_});
}
