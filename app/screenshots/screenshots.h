#pragma once
// The picture book of the windows: opens them, runs the default calculation and saves
// one PNG per window, named after the window's object name.

#include <QString>

namespace lamivex::app {

// Returns the process exit status: 0 when every picture was written.
int takeScreenshots(const QString& directory);

}  // namespace lamivex::app
