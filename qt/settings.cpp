#include "qt/settings.h"

#include <QSettings>

namespace {

constexpr const char* SETTINGS = "quenmar";  // the organisation and the application alike
constexpr const char* SOUND_OFF = "sound/off";
constexpr const char* RUMBLE_OFF = "rumble/off";

}  // namespace

bool sound_kept_off() {
    return QSettings(SETTINGS, SETTINGS).value(SOUND_OFF, false).toBool();
}

void keep_sound_off(bool off) {
    QSettings(SETTINGS, SETTINGS).setValue(SOUND_OFF, off);
}

bool rumble_kept_off() {
    return QSettings(SETTINGS, SETTINGS).value(RUMBLE_OFF, false).toBool();
}

void keep_rumble_off(bool off) {
    QSettings(SETTINGS, SETTINGS).setValue(RUMBLE_OFF, off);
}
