#include "cli/argument_checks.h"

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

#include <fmt/format.h>

#include "numbers/input_error.h"
#include "numbers/number_text.h"

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

// The long names of every option of app and its subcommands that takes one value only.
void collectSingleValueOptions(const CLI::App& app, std::set<std::string>& names,
                               std::set<std::string>& repeatable) {
    for (const CLI::Option* option : app.get_options()) {
        const bool single = option->get_expected_max() == 1 && !option->get_positional() &&
                            option->get_multi_option_policy() == CLI::MultiOptionPolicy::Throw;
        for (const std::string& name : option->get_lnames()) {
            (single ? names : repeatable).insert(name);
        }
    }
    for (const CLI::App* sub : app.get_subcommands({})) {
        collectSingleValueOptions(*sub, names, repeatable);
    }
}

// The names that are single-valued in every command that has them: screen's --substrate-cif
// may be repeated where scan's may not.
std::set<std::string> singleValueOptionsOf(const CLI::App& app) {
    std::set<std::string> names;
    std::set<std::string> repeatable;
    collectSingleValueOptions(app, names, repeatable);
    for (const std::string& name : repeatable) {
        names.erase(name);
    }
    return names;
}

// A word the C library reads as a number but the number rules do not ("-inf", "-nan"):
// standing alone and beginning with '-', the parser would drop it as an unknown option.
bool isNumberWordWithDash(std::string_view argument) {
    if (argument.size() < 2 || argument[0] != '-' || argument[1] == '-' ||
        numbers::isNumeric(argument)) {
        return false;
    }
    const std::string text(argument);
    char* end = nullptr;
    (void)std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size();
}

}  // namespace

void refuseEmptyValues(const CLI::App& command) {
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_expected_max() == 0 || option->get_positional() || option->count() == 0) {
            continue;
        }
        const std::string type = option->get_type_name();
        if (type == "NAME" || type == "TEXT") {
            continue;  // a name or a comment may be empty, as in the window
        }
        for (const std::string& value : option->results()) {
            if (value.empty()) {
                numbers::failInput(option->get_lnames().front(), type.starts_with("FILE")
                                                                     ? "no file name was given"
                                                                     : "the value is empty");
            }
        }
    }
}

void checkOptionValues(const CLI::App& app, std::span<const char* const> arguments) {
    std::set<std::string> valueOptions;
    collectValueOptions(app, valueOptions);
    const std::set<std::string> singleValueOptions = singleValueOptionsOf(app);
    std::set<std::string> given;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--") {
            return;  // what follows is not options
        }
        if (isNumberWordWithDash(argument)) {
            throw std::runtime_error(fmt::format("{} is not a number", argument));
        }
        if (!argument.starts_with("--")) {
            continue;
        }
        const std::size_t equals = argument.find('=');
        const std::string name(argument.substr(
            2, equals == std::string_view::npos ? std::string_view::npos : equals - 2));
        if (singleValueOptions.count(name) > 0 && !given.insert(name).second) {
            throw std::runtime_error(fmt::format("--{} is given twice", name));
        }
        if (equals != std::string_view::npos) {
            if (equals + 1 == argument.size()) {
                throw std::runtime_error(fmt::format("{}: the value after '=' is empty", argument));
            }
            continue;
        }
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
        ++i;  // the value, which may begin with '-' (--b1 -inf is the option's to refuse)
    }
}

}  // namespace lamivex::cli
