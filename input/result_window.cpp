#include "input/result_window.h"

#include <charconv>

#include "input/keys.h"

namespace {

// Replaces a label's caption with the plain decimal text of a number.
void show_number(Platform& p, ResultLabel label, int value) {
    char text[12];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    p.set_Caption(label, std::string_view(text, static_cast<std::size_t>(end - text)));
}

}  // namespace

void on_esc_key(GameWorld& w, Platform& p) {
    if (p.frm_winlose_Visible()) {
        p.set_tmr_Enabled(true);
        p.set_frm_winlose_Visible(false);
        return;
    }
    release_arrow_keys(w);
    show_number(p, ResultLabel::Label3, w.wins);
    show_number(p, ResultLabel::Label4, w.losses - 1);  // the start-up set-up counted one
    p.set_frm_winlose_Visible(true);
    p.set_tmr_Enabled(false);
}

void on_quit_click(Platform& p) {
    p.terminate_program();
}

void on_back_click(Platform& p) {
    p.set_tmr_Enabled(true);
    p.set_frm_winlose_Visible(false);
}

void on_next_level_click(Platform& p) {
    p.set_Tag(TAG_NEXT_LEVEL);
    p.set_tmr_Enabled(true);
    p.set_frm_winlose_Visible(false);
}
