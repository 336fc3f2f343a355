#pragma once
// Turns the libraries' errors into one line on stderr and exit status 2.

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace lamivex::cli {

inline constexpr int kExitBadInput = 2;

// A file the command was to read or write that could not be: a folder that is not there, a
// full disk, a database that cannot be opened. Input the user typed wrong is an InputError.
class FileError : public std::runtime_error {
  public:
    FileError(std::string option, const std::string& message)
        : std::runtime_error(message), m_option(std::move(option)) {}
    // The option that named the file, or empty.
    [[nodiscard]] const std::string& option() const { return m_option; }

  private:
    std::string m_option;
};

[[noreturn]] inline void failFile(std::string option, const std::string& message) {
    throw FileError(std::move(option), message);
}

struct CommandIo;

// Runs body; an error becomes the one refusal line, on standard error or in io.refusal.
int reportErrors(std::string_view command, const std::function<int()>& body);
int reportErrors(std::string_view command, const std::function<int()>& body, const CommandIo& io);

// One line on standard error, with control characters shown as escapes.
void printRefusal(std::string_view text);

}  // namespace lamivex::cli
