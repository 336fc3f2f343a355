#include "cli/argument_checks.h"

#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include <fmt/format.h>

namespace lamivex::cli {
namespace {

// The long names, without "--", of every option of app and its subcommands that takes a value.
void collectValueOptions(const CLI::App& app, std::set<std::string>& names) {
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_expected_max() > 0 && !option->get_positional()) {
            for (const std::string& name : option->get_lnames()) {
                names.insert(name);
            }
        }
    }
    for (const CLI::App* sub : app.get_subcommands({})) {
        collectValueOptions(*sub, names);
    }
}

}  // namespace

void checkOptionValues(const CLI::App& app, std::span<const char* const> arguments) {
    std::set<std::string> valueOptions;
    collectValueOptions(app, valueOptions);
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            return;  // what follows is not options
        }
        if (!argument.starts_with("--")) {
            continue;
        }
        const std::size_t equals = argument.find('=');
        if (equals != std::string_view::npos) {
            if (equals + 1 == argument.size()) {
                throw std::runtime_error(fmt::format("{}: the value after '=' is empty", argument));
            }
            continue;
        }
        const std::string name(argument.substr(2));
        if (valueOptions.count(name) == 0 || i + 1 >= arguments.size()) {
            continue;
        }
        const std::string_view next = arguments[i + 1];
        if (next.starts_with("--")) {
            throw std::runtime_error(
                fmt::format("--{}: the value is missing (a value that begins with '--' is given as "
                            "--{}={})",
                            name, name, next));
        }
    }
}

}  // namespace lamivex::cli
