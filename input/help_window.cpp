#include "input/help_window.h"

#include "input/keys.h"

void on_f1_key(GameWorld& w, Platform& p) {
    if (p.frm_help_Visible()) {
        p.set_tmr_Enabled(true);
        p.set_frm_help_Visible(false);
        return;
    }
    release_arrow_keys(w);
    p.set_tmr_Enabled(false);
    p.set_frm_help_Visible(true);
}

void on_close_click(Platform& p) {
    p.set_frm_help_Visible(false);
    p.set_tmr_Enabled(true);
}
