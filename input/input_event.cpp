#include "input/input_event.h"

#include "input/help_window.h"
#include "input/input.h"
#include "input/keys.h"
#include "input/result_window.h"

namespace {

void click(Platform& p, SmallButton button) {
    switch (button) {
        case SmallButton::Quit:
            on_quit_click(p);
            break;
        case SmallButton::Back:
            on_back_click(p);
            break;
        case SmallButton::NextLevel:
            on_next_level_click(p);
            break;
        case SmallButton::Close:
            on_close_click(p);
            break;
    }
}

}  // namespace

void deliver_event(GameWorld& w, Platform& p, const InputEvent& e) {
    switch (e.kind) {
        case InputKind::KeyDown:
            on_key_down(w, p, e.code, e.shift);
            break;
        case InputKind::KeyUp:
            on_key_up(w, p, e.code, e.shift);
            break;
        case InputKind::KeyPress:
            on_key_press(w, p, e.code);
            break;
        case InputKind::MouseDown:
            on_mouse_down(w, p, e.code, e.shift, e.x, e.y);
            break;
        case InputKind::MouseMove:
            on_mouse_move(w, p, e.code, e.shift, e.x, e.y);
            break;
        case InputKind::MouseUp:
            on_mouse_up(w, p, e.code, e.shift, e.x, e.y);
            break;
        case InputKind::Click:
            click(p, e.button);
            break;
        case InputKind::Resize:
            p.resize_surface(e.width, e.height);
            break;
        case InputKind::KeyboardLost:
            release_arrow_keys(w);
            break;
    }
}
