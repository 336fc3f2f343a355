#pragma once
// Whether what the program wrote to standard output reached it: a full disk or a closed
// descriptor must not pass for a finished job.

#include <cstdio>
#include <ext/stdio_sync_filebuf.h>
#include <memory>
#include <optional>
#include <streambuf>
#include <string>

namespace lamivex::cli {

// "standard output could not be written: REASON", the words of every such refusal, with
// the reason when errno names one.
[[nodiscard]] std::string standardOutputFailure(int error);

// While it lives, standard output (std::cout and the C stream alike, in the order written)
// goes through a stream that keeps the reason of the first failed write, which the C
// library forgets once it has dropped the buffer. One per program, made in main.
class StandardOutputCheck {
  public:
    StandardOutputCheck();
    ~StandardOutputCheck();
    StandardOutputCheck(const StandardOutputCheck&) = delete;
    StandardOutputCheck& operator=(const StandardOutputCheck&) = delete;

    // Flushes and closes standard output; the failure as above, or nullopt when all that
    // was written arrived. Nothing may be written to standard output afterwards.
    [[nodiscard]] std::optional<std::string> finish();

    struct Descriptor {
        int error = 0;  // errno of the first failed write or close
    };

  private:
    Descriptor m_descriptor;
    std::FILE* m_original = nullptr;
    std::FILE* m_file = nullptr;
    std::unique_ptr<__gnu_cxx::stdio_sync_filebuf<char>> m_buffer;
    std::streambuf* m_originalBuffer = nullptr;
};

}  // namespace lamivex::cli
