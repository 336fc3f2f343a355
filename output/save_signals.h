#pragma once
// Temporary files of saves in progress, removed when a catchable signal ends the process.
// While a file is registered, SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGXFSZ remove every
// registered file and then take their earlier action (the program still ends as it would
// have); signals the program ignores stay ignored.

#include <filesystem>

namespace lamivex::output::detail {

class TemporaryFileGuard {
  public:
    explicit TemporaryFileGuard(const std::filesystem::path& file);
    ~TemporaryFileGuard();
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

    // The file has been renamed into place: nothing to remove any more.
    void release();

  private:
    int m_slot = -1;
};

}  // namespace lamivex::output::detail
