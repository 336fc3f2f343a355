// The compiled side of lamivex.screen (lamivex/screening.py): the command line's screen and
// merge run inside the module's process with the GIL released, their output captured, so that
// a Dask worker that imports lamivex runs a shard exactly as lamivex-cli would.

#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/command_io.h"
#include "cli/merge_command.h"
#include "cli/screen_command.h"
#include "python/common.h"

namespace lamivex::python {
namespace {

constexpr int kInterrupted = 130;  // screen's exit status after Ctrl-C

std::string runScreenCommand(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::string refusal;
    int status = 0;
    {
        const py::gil_scoped_release released;
        cli::CommandIo io;
        io.out = &out;
        io.refusal = &refusal;
        io.progress = [](double) {};  // no terminal line from inside Python
        CLI::App app{"lamivex screen", "lamivex-cli"};
        app.require_subcommand(1);
        cli::addScreenCommand(app, status, io);
        cli::addMergeCommand(app, status, io);
        // CLI11 takes a vector of arguments last first.
        std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
        try {
            app.parse(reversed);
        } catch (const CLI::ParseError& e) {
            refusal = "lamivex-cli: " + std::string(e.what());
            status = 2;
        }
    }
    if (status == kInterrupted) {
        PyErr_SetNone(PyExc_KeyboardInterrupt);
        throw py::error_already_set();
    }
    if (status != 0) {
        throw py::value_error(refusal);
    }
    return out.str();
}

}  // namespace

void bindScreen(py::module_& m) {
    m.def("_screen_command", &runScreenCommand, py::arg("arguments"),
          "Runs `screen ...` or `merge ...` as lamivex-cli would and returns what it prints; "
          "a refusal raises ValueError with its line, Ctrl-C KeyboardInterrupt.");
}

}  // namespace lamivex::python
