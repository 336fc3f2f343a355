#pragma once
// A file a run was to read or write that could not be, or a module that could not be loaded.
// Input typed wrong is a numbers::InputError.

#include <stdexcept>
#include <string>

namespace lamivex::api {

class FileError : public std::runtime_error {
  public:
    FileError(std::string option, const std::string& message)
        : std::runtime_error(message), m_option(std::move(option)) {}
    [[nodiscard]] const std::string& option() const { return m_option; }  // may be empty

  private:
    std::string m_option;
};

}  // namespace lamivex::api
