#pragma once
// The iteration windows for the picture book: a small overlayer iteration run, then the
// Iteration window, the results table and the histogram.

#include <functional>

class QWidget;

namespace lamivex::app {

class MainForm;

// Runs the iteration from main's Calculate and hands each window to take while it is on
// the screen. Returns false when the run found no match to show.
bool photographIteration(MainForm& main, const std::function<void(QWidget&)>& take);

}  // namespace lamivex::app
