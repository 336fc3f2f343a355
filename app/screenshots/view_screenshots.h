#pragma once
// The views' pages of the picture book: the real-space window of (√3×√3)R30° on Au(111)
// and the LEED window of PTCDA's (4 4; −5 5) cell on Cu(100).

#include <functional>

class QWidget;

namespace lamivex::app {

class MainForm;

// Runs both examples in main and hands each window to take while it is shown.
void photographViews(MainForm& main, const std::function<void(QWidget&)>& take);

}  // namespace lamivex::app
