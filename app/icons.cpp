#include "app/icons.h"

#include <QtGlobal>

// The resource initialiser must be called from the global namespace; a static library
// would otherwise drop the images at link time.
static void initIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace lamivex::app {

void loadIcons() {
    static const bool loaded = (initIconResources(), true);
    (void)loaded;
}

}  // namespace lamivex::app
