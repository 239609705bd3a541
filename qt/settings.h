// What the desktop game keeps of the player's choices between runs, in its
// settings ($XDG_CONFIG_HOME/quenmar/quenmar.conf).
#pragma once

// Whether the player last turned the sound off, and the rumble.
bool sound_kept_off();
void keep_sound_off(bool off);
bool rumble_kept_off();
void keep_rumble_off(bool off);
