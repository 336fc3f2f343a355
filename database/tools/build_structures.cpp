// Build step: turns the readable starter list (SQL) into the starter structure database.
// Usage: lamivex-build-structures LIST.sql OUT.sqlite

#include <fstream>
#include <iostream>
#include <sstream>

#include "database/script_build.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: lamivex-build-structures LIST.sql OUT.sqlite\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "lamivex-build-structures: cannot read " << argv[1] << '\n';
        return 1;
    }
    std::ostringstream script;
    script << in.rdbuf();
    const lamivex::database::DbStatus built =
        lamivex::database::buildFromScript(argv[2], script.str());
    if (!built.ok()) {
        std::cerr << "lamivex-build-structures: " << built.error << '\n';
        return 1;
    }
    return 0;
}
