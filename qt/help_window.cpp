#include "qt/help_window.h"

#include <utility>

namespace {

constexpr const char* HELP_TEXTS[] = {
    "Esc quits the game and show the score.",
    "Enter redraws the screen.",
    "Move your tank using the arrow keys.",
    "Fire using the left mouse button.",
    "When there are no tanks left slow down until you stop.",
};
constexpr int LINE_STEP = 24;  // from the top of one line to the next

}  // namespace

HelpWindow::HelpWindow(QWidget* owner, InputSink sink)
    : SmallDialog(owner, "Help", CLIENT_WIDTH, CLIENT_HEIGHT, EventSource::Help, std::move(sink)) {
    for (std::size_t i = 0; i < help_lines.size(); ++i)
        help_lines[i] = place_label(HELP_TEXTS[i], 8, 8 + LINE_STEP * static_cast<int>(i), 297, 17);
    fit_font({help_lines[0], help_lines[1], help_lines[2], help_lines[3], help_lines[4]});
    close_button = place_button("Close", 8, 128, 89, 41, SmallButton::Close);
    set_safe_button(close_button, SmallButton::Close);
}
