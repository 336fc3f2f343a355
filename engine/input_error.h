#pragma once
// The one error the libraries raise for input they cannot work with. It names the
// field (the option name of the command line: "a1", "spacing", "max-multiple", ...)
// so that each front end can point at the right control.

#include <stdexcept>
#include <string>

namespace lamivex::engine {

class InputError : public std::runtime_error {
public:
    InputError(std::string field, const std::string& message)
        : std::runtime_error(message), m_field(std::move(field)) {}

    [[nodiscard]] const std::string& field() const { return m_field; }

private:
    std::string m_field;
};

[[noreturn]] inline void failInput(std::string field, const std::string& message) {
    throw InputError(std::move(field), message);
}

}  // namespace lamivex::engine
