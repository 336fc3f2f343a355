#pragma once
// The one error the libraries raise for input they cannot work with. It names the
// field (the option name of the command line: "a1", "spacing", "max-multiple", ...)
// and, where the option stands for several controls, the part ("From", "To",
// "Increment" of a range), so that each front end can point at the right control.

#include <stdexcept>
#include <string>

namespace lamivex::numbers {

class InputError : public std::runtime_error {
  public:
    InputError(std::string field, const std::string& message, std::string part = {})
        : std::runtime_error(message), m_field(std::move(field)), m_part(std::move(part)) {}

    [[nodiscard]] const std::string& field() const { return m_field; }
    [[nodiscard]] const std::string& part() const { return m_part; }

  private:
    std::string m_field;
    std::string m_part;
};

[[noreturn]] inline void failInput(std::string field, const std::string& message,
                                   std::string part = {}) {
    throw InputError(std::move(field), message, std::move(part));
}

}  // namespace lamivex::numbers
