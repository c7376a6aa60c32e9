// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace lumidot {

class SettingsStore;

// The display monitor's choices, kept beside the program's settings in the
// same store: the dot size x1..x8, whether the window stays on top, and the
// playback tempo.
struct MonitorSettings {
    int dotSize = 4;
    bool stayOnTop = false;
    int tempo = 120;

    bool operator==(const MonitorSettings&) const = default;
};

// Values that are absent, of the wrong type or out of range keep their
// defaults; the monitor never refuses to open over its own settings.
MonitorSettings loadMonitorSettings(SettingsStore& store);
// False when the store could not be written.
bool saveMonitorSettings(const MonitorSettings& settings, SettingsStore& store);

} // namespace lumidot
