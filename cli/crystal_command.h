#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <string>

#include <CLI/CLI.hpp>

namespace lamivex::cli {

// One `crystal` call: the texts as given on the command line, nullopt where not given.
struct CrystalRequest {
    std::string system = "Cubic";
    std::array<std::optional<std::string>, 6> cell;  // a, b, c, alpha, beta, gamma
    std::optional<std::string> plane;
    std::optional<std::string> plane1;
    std::optional<std::string> plane2;
    std::optional<std::string> dir1;
    std::optional<std::string> dir2;
    bool volume = false;
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
