#pragma once

#include <QProcessEnvironment>

namespace quibo {

// True when a window can be shown: an X11 or Wayland display is named.
bool HasDisplay(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// Before the application object exists: without a display (cron, CI, a
// service), Qt starts on its offscreen platform instead of failing. Returns
// true when the run is headless. A platform chosen by the user is kept.
bool PrepareQtPlatform();

} // namespace quibo
