#pragma once

#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

#include "api/crystal.h"

namespace lamivex::cli {

// One `crystal` call: the texts as given on the command line, nullopt where not given, and
// whether to print JSON.
struct CrystalRequest : api::CrystalRequest {
    bool json = false;
};

// Computes what the request asks for and writes it to out. Throws numbers::InputError
// naming the option for input it cannot use; an undefined result is not an error.
int runCrystal(const CrystalRequest& request, std::ostream& out);

// Registers `crystal`: plane spacing, interplanar angle, direction angle and cell volume.
struct CommandIo;

void addCrystalCommand(CLI::App& app, int& exitStatus);
// io takes the output and the refusal.
void addCrystalCommand(CLI::App& app, int& exitStatus, const CommandIo& io);

}  // namespace lamivex::cli
