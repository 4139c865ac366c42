#pragma once

// Whether the environment names a display or a Qt platform: DISPLAY,
// WAYLAND_DISPLAY or QT_QPA_PLATFORM set and not empty. Read before the
// application object exists, to decide whether to pick the offscreen platform.
bool EnvironmentHasDisplay();

// Whether the running application shows its windows to somebody: false on the
// offscreen and minimal platforms and before a QGuiApplication exists.
bool ApplicationHasDisplay();
