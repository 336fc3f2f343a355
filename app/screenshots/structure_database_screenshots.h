#pragma once
// The structure database's pages of the picture book: the substrate picker and the
// comment window, over the starter database.

#include <functional>

class QWidget;

namespace lamivex::app {

class MainForm;

// Opens the starter database in main, shows the substrate picker, picks Au(111) and opens
// its comments, handing each window to take while it is shown. False when the starter
// database cannot be opened.
[[nodiscard]] bool photographStructureDatabase(MainForm& main,
                                               const std::function<void(QWidget&)>& take);

}  // namespace lamivex::app
