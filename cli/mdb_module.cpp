// lamivex-mdb.so: the .mdb reader for the command line, loaded only by db import-mdb.

#include "cli/mdb_module.h"

extern "C" const lamivex::cli::MdbModule* lamivex_mdb_module() {
    static const lamivex::cli::MdbModule module{&lamivex::database::readMdbTables};
    return &module;
}
