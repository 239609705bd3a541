#include "input/input_event.h"

#include "input/help_window.h"
#include "input/input.h"
#include "input/result_window.h"

namespace {

void click(Controls& c, SmallButton button) {
    switch (button) {
        case SmallButton::Quit:
            on_quit_click(c);
            break;
        case SmallButton::Back:
            on_back_click(c);
            break;
        case SmallButton::NextLevel:
            on_next_level_click(c);
            break;
        case SmallButton::Close:
            on_close_click(c);
            break;
    }
}

}  // namespace

std::optional<SmallButton> small_button_named(std::string_view name) {
    for (std::size_t i = 0; i < std::size(SMALL_BUTTON_NAMES); ++i) {
        if (name == SMALL_BUTTON_NAMES[i]) return static_cast<SmallButton>(i);
    }
    return std::nullopt;
}

void deliver_event(GameWorld& w, Controls& c, Surface& picture, const InputEvent& e) {
    switch (e.kind) {
        case InputKind::KeyDown:
            on_key_down(w, c, e.key, e.shift);
            break;
        case InputKind::KeyUp:
            on_key_up(w, e.key, e.shift);
            break;
        case InputKind::KeyPress:
            on_key_press(w, c, picture, e.character);
            break;
        case InputKind::MouseDown:
            on_mouse_down(w, e.mouse, e.shift, e.x, e.y);
            if (e.mouse == MouseButton::Left) c.left_pressed = true;
            break;
        case InputKind::MouseMove:
            on_mouse_move(w, e.mouse, e.shift, e.x, e.y);
            break;
        case InputKind::MouseUp:
            on_mouse_up(w, e.mouse, e.shift, e.x, e.y);
            if (e.mouse == MouseButton::Left && c.left_pressed) c.fire_tapped = true;
            break;
        case InputKind::Click:
            click(c, e.button);
            break;
        case InputKind::Resize:
            surface_set_area(picture, e.width, e.height, picture.scale);
            break;
        case InputKind::KeyboardLost:
            release_arrow_keys(w);
            break;
    }
}
