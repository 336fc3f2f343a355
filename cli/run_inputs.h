#pragma once
// What a command's JSON records of the inputs that produced it ("lamivex_version" and
// "inputs"), and --from-json, which takes them back from such a JSON file.

#include <initializer_list>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/json_reader.h"
#include "cli/json_writer.h"
#include "cli/lattice_options.h"
#include "engine/lattice.h"

namespace lamivex::cli {

[[nodiscard]] const char* programVersion();

// At the end of a command's JSON object, after the keys of earlier versions: writes
// "lamivex_version" and opens "inputs".
void beginInputs(JsonWriter& json);

// The lattices and run settings of fields as the run read them: "substrate" (name, a1, a2,
// alpha, hexagonal), "overlayer" (name, b1, b2, beta), "domain" (m, n), "azimuth" (lower,
// upper, spacing), "max_multiple" (null without the geometric search). Inside an open object.
void writeLatticeInputs(JsonWriter& json, const engine::MainFieldTexts& fields);

// The "inputs" object of the JSON file named by option (--from-json): read, or refused
// with a FileError (unreadable) or an InputError (not JSON, no "inputs").
[[nodiscard]] JsonValue readInputs(const std::string& path, const std::string& option);

// The number at inputs' path ("azimuth", "lower") as its text; nullopt for a missing or null
// member; an InputError naming option for another kind of value.
[[nodiscard]] std::optional<std::string> numberAt(const JsonValue& inputs,
                                                  std::initializer_list<const char*> path,
                                                  const std::string& option);
[[nodiscard]] std::optional<std::string> stringAt(const JsonValue& inputs,
                                                  std::initializer_list<const char*> path,
                                                  const std::string& option);
[[nodiscard]] std::optional<bool> booleanAt(const JsonValue& inputs,
                                            std::initializer_list<const char*> path,
                                            const std::string& option);

// A value read from "inputs" fills target unless the command line gave flag: an option given
// as well wins over the earlier run's.
template <typename T>
void takeUnlessGiven(const CLI::App& command, const char* flag, const std::optional<T>& value,
                     T& target) {
    if (value && command.count(flag) == 0) {
        target = *value;
    }
}

// Fills the lattice options from inputs, except those given on command's line, which win.
void applyLatticeInputs(const JsonValue& inputs, const CLI::App& command, LatticeOptions& options,
                        const std::string& option);

// --registry-tolerance and --coincidence-misfit from inputs, unless given on command's line.
void applyInterpretationInputs(const JsonValue& inputs, const CLI::App& command,
                               std::string& registryTolerance, std::string& coincidenceMisfit,
                               const std::string& option);

}  // namespace lamivex::cli
