#pragma once
// Runs lamivex-cli as a user would and captures what it prints and its exit status.

#include <string>
#include <vector>

namespace lamivex::testing {

struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Arguments are passed without a shell, so blanks and quotes reach the program as typed.
CommandResult runCli(const std::vector<std::string>& arguments);

// The same with standard output going to the file at standardOutput (such as /dev/full);
// out stays empty.
CommandResult runCli(const std::vector<std::string>& arguments, const std::string& standardOutput);

}  // namespace lamivex::testing
