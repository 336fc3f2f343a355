#include "run_command.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <stdexcept>

extern char** environ;

namespace lamivex::testing {
namespace {

std::string drain(int fd) {
    std::string text;
    std::array<char, 4096> buffer{};
    ssize_t n = 0;
    while ((n = read(fd, buffer.data(), buffer.size())) > 0) {
        text.append(buffer.data(), static_cast<std::size_t>(n));
    }
    close(fd);
    return text;
}

CommandResult spawnCli(const std::vector<std::string>& arguments,
                       const std::string* standardOutput) {
    std::array<int, 2> outPipe{};
    std::array<int, 2> errPipe{};
    if (pipe(outPipe.data()) != 0 || pipe(errPipe.data()) != 0) {
        throw std::runtime_error("pipe failed");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (standardOutput != nullptr) {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, standardOutput->c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
    } else {
        posix_spawn_file_actions_adddup2(&actions, outPipe[1], STDOUT_FILENO);
    }
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, outPipe[0]);
    posix_spawn_file_actions_addclose(&actions, errPipe[0]);

    std::vector<std::string> args = {LAMIVEX_CLI};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, LAMIVEX_CLI, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(outPipe[1]);
    close(errPipe[1]);
    if (spawned != 0) {
        throw std::runtime_error("cannot start lamivex-cli");
    }
    CommandResult result;
    // Outputs here are small; a child blocked on a full stderr pipe cannot happen.
    result.out = drain(outPipe[0]);
    result.err = drain(errPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

}  // namespace

CommandResult runCli(const std::vector<std::string>& arguments) {
    return spawnCli(arguments, nullptr);
}

CommandResult runCli(const std::vector<std::string>& arguments, const std::string& standardOutput) {
    return spawnCli(arguments, &standardOutput);
}

}  // namespace lamivex::testing
