#pragma once
// The windows' images are compiled into the library; this makes them loadable.

namespace lamivex::app {

void loadIcons();

}  // namespace lamivex::app
