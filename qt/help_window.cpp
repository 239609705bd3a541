#include "qt/help_window.h"

#include <utility>

#include "input/help_window.h"

namespace {

constexpr int LINE_STEP = 24;  // from the top of one line to the next

}  // namespace

HelpWindow::HelpWindow(QWidget* owner, InputSink sink)
    : SmallDialog(owner, HELP_TITLE, CLIENT_WIDTH, CLIENT_HEIGHT, std::move(sink)) {
    for (std::size_t i = 0; i < help_lines.size(); ++i)
        help_lines[i] = place_label(HELP_LINES[i], 8, 8 + LINE_STEP * static_cast<int>(i), 297, 17);
    sound_line = place_label(SOUND_HELP_LINE, 8, 177, 297, 17);
    rewind_line = place_label(REWIND_HELP_LINE, 8, 201, 297, 17);
    vibration_line = place_label(VIBRATION_HELP_LINE, 8, 225, 297, 17);
    for (std::size_t i = 0; i < pad_lines.size(); ++i)
        pad_lines[i] =
            place_label(PAD_HELP_LINES[i], 8, 249 + LINE_STEP * static_cast<int>(i), 297, 17);
    fit_font({help_lines[0], help_lines[1], help_lines[2], help_lines[3], help_lines[4], sound_line,
              rewind_line, vibration_line, pad_lines[0], pad_lines[1]});
    close_button = place_button(CLOSE_TEXT, 8, 128, 89, 41, SmallButton::Close);
    set_safe_button(close_button, SmallButton::Close);
}
