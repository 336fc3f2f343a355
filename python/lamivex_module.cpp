// The Python module `lamivex`: the command line's scan, iterate, surface, crystal and view
// commands called with keyword arguments named as their options, returning what their JSON
// holds as dictionaries, with numpy arrays for the per-step and per-match tables. The same
// commands run, so results and refusals are the command line's to the last digit and word.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/command_io.h"
#include "cli/crystal_command.h"
#include "cli/iterate_command.h"
#include "cli/run_inputs.h"
#include "cli/scan_command.h"
#include "cli/surface_command.h"
#include "cli/view_command.h"

namespace py = pybind11;

namespace {

using lamivex::cli::CommandIo;

// A keyword argument as option text: numbers as Python writes them (the shortest text that
// reads back as the same value), sequences joined as the option reads them.
std::string optionText(const std::string& key, const py::handle& value) {
    if (py::isinstance<py::str>(value)) {
        return value.cast<std::string>();
    }
    if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
        const std::string separator = key.ends_with("_range") ? ":" : key == "fix" ? "," : " ";
        std::string text;
        for (const py::handle item : value) {
            text += (text.empty() ? "" : separator) + optionText(key, item);
        }
        return text;
    }
    return py::repr(value).cast<std::string>();
}

// The command line of a call: the command's words, its positional arguments, then an option
// per keyword (True: the flag; False and None: left out).
std::vector<std::string> commandLine(const std::vector<std::string>& words,
                                     const std::vector<std::string>& positional,
                                     const py::kwargs& kwargs,
                                     const std::vector<std::string>& always) {
    std::vector<std::string> args = words;
    args.insert(args.end(), positional.begin(), positional.end());
    for (const auto& [keyHandle, value] : kwargs) {
        const std::string key = keyHandle.cast<std::string>();
        if (value.is_none() || (py::isinstance<py::bool_>(value) && !value.cast<bool>())) {
            continue;
        }
        std::string option = "--" + key;
        std::replace(option.begin(), option.end(), '_', '-');
        args.push_back(option);
        if (!py::isinstance<py::bool_>(value)) {
            args.push_back(optionText(key, value));
        }
    }
    args.insert(args.end(), always.begin(), always.end());
    return args;
}

// Columns of numpy arrays from a list of flat objects: every member that is a number in the
// first row; whole-number columns (multiples, match numbers) as integers.
// Without numpy (a Python that lacks it) the columns are lists.
py::dict columns(const py::list& rows) {
    py::dict table;
    if (rows.empty()) {
        return table;
    }
    bool numpy = true;
    try {
        py::module_::import("numpy");
    } catch (const py::error_already_set&) {
        numpy = false;
    }
    const py::dict first = rows[0].cast<py::dict>();
    for (const auto& [key, sample] : first) {
        const auto isNumber = [](const py::handle v) {
            return (py::isinstance<py::int_>(v) || py::isinstance<py::float_>(v)) &&
                   !py::isinstance<py::bool_>(v);
        };
        if (!isNumber(sample)) {
            continue;
        }
        // Whole numbers in every row (a match's number, the multiples) make an integer column.
        bool integers = true;
        for (const py::handle row : rows) {
            const py::object value = row[key];
            integers =
                integers && py::isinstance<py::int_>(value) && !py::isinstance<py::bool_>(value);
        }
        if (!numpy) {
            py::list column;
            for (const py::handle row : rows) {
                column.append(row[key]);
            }
            table[key] = column;
        } else if (integers) {
            py::array_t<long long> column(static_cast<py::ssize_t>(rows.size()));
            auto out = column.mutable_unchecked<1>();
            for (py::ssize_t i = 0; i < static_cast<py::ssize_t>(rows.size()); ++i) {
                out(i) = rows[static_cast<std::size_t>(i)][key].cast<long long>();
            }
            table[key] = column;
        } else {
            py::array_t<double> column(static_cast<py::ssize_t>(rows.size()));
            auto out = column.mutable_unchecked<1>();
            for (py::ssize_t i = 0; i < static_cast<py::ssize_t>(rows.size()); ++i) {
                const py::object value = rows[static_cast<std::size_t>(i)][key];
                out(i) = value.is_none() ? std::nan("") : value.cast<double>();
            }
            table[key] = column;
        }
    }
    return table;
}

// Runs the command with the GIL released; a refusal becomes ValueError with the command
// line's own message.
py::object run(std::vector<std::string> args, const py::object& progress) {
    std::ostringstream out;
    std::string refusal;
    CommandIo io;
    io.out = &out;
    io.refusal = &refusal;
    if (!progress.is_none()) {
        io.progress = [&progress](double fraction) {
            const py::gil_scoped_acquire gil;
            progress(fraction);
        };
    }
    CLI::App app{"lamivex", "lamivex"};
    app.require_subcommand(1);
    int status = 0;
    lamivex::cli::addScanCommand(app, status, io);
    lamivex::cli::addIterateCommand(app, status, io);
    lamivex::cli::addSurfaceCommand(app, status, io);
    lamivex::cli::addCrystalCommand(app, status, io);
    lamivex::cli::addViewCommand(app, status, io);
    std::reverse(args.begin(), args.end());  // CLI11 takes them last first
    {
        const py::gil_scoped_release released;
        try {
            app.parse(args);
        } catch (const CLI::ParseError& error) {
            refusal = error.what();
            status = 2;
        }
    }
    if (status != 0) {
        throw py::value_error(refusal.empty() ? std::string("the command was refused") : refusal);
    }
    return py::module_::import("json").attr("loads")(out.str());
}

// The progress keyword, taken out of the options.
py::object takeProgress(py::kwargs& options) {
    py::object progress = py::none();
    if (options.contains("progress")) {
        progress = options["progress"];
        PyDict_DelItemString(options.ptr(), "progress");
    }
    return progress;
}

// A run with a progress keyword, whose list of rows under rowsKey also becomes numpy
// columns under "table".
py::object runWithTable(const std::vector<std::string>& words, const py::kwargs& kwargs,
                        const std::vector<std::string>& always, const char* rowsKey) {
    py::kwargs options(kwargs.attr("copy")());
    const py::object progress = takeProgress(options);
    py::dict result = run(commandLine(words, {}, options, always), progress);
    result["table"] = columns(result[rowsKey].cast<py::list>());
    return result;
}

py::object scan(const py::kwargs& kwargs) {
    return runWithTable({"scan"}, kwargs, {"--json", "--table", "--quiet"}, "table");
}

py::object iterate(const py::kwargs& kwargs) {
    return runWithTable({"iterate"}, kwargs, {"--json", "--quiet"}, "matches");
}

py::object surfaceMesh(const std::string& path, const py::object& hkl) {
    return run({"surface", path, "--hkl", optionText("hkl", hkl), "--json"}, py::none());
}

py::object view(const std::string& kind, const py::kwargs& kwargs) {
    return run(commandLine({"view", kind}, {}, kwargs, {"--json"}), py::none());
}

}  // namespace

PYBIND11_MODULE(lamivex, m) {
    m.doc() =
        "Lamivex: epitaxy of an overlayer lattice on a substrate lattice. Keyword arguments "
        "are named as the options of lamivex-cli (--max-multiple is max_multiple); results "
        "are what its --json prints, with numpy arrays for the tables.";
    m.attr("__version__") = lamivex::cli::programVersion();
    m.def("scan", &scan,
          "One rotation scan: lamivex-cli scan --json --table. Keywords a1, a2, alpha, "
          "hexagonal, b1, b2, beta, m, n, lower, upper, spacing, max_multiple, substrate_cif, "
          "substrate_hkl, matrix, fast, registry_tolerance, ...; progress: a function of the "
          "fraction done. Returns steps, best, interpretation, warnings, table (numpy arrays "
          "angle, vvo, b1_multiple, b2_multiple, m11, m12, m21, m22), lamivex_version, inputs.");
    m.def("iterate", &iterate,
          "An iteration run: lamivex-cli iterate --json. Keywords as for scan, with iterate, "
          "rigid, b1_range=(low, high, inc) and the other ranges, fix=[...], criterion, "
          "exhaustive, threads; progress as for scan. Returns the JSON with table: the matches "
          "as numpy arrays.");
    m.def("surface_mesh", &surfaceMesh, py::arg("path"), py::arg("hkl"),
          "The surface mesh of plane hkl (\"1 1 1\" or (1, 1, 1)) of the crystal in a CIF file: "
          "lamivex-cli surface --json.");
    m.def(
        "view_real_space", [](const py::kwargs& kwargs) { return view("real-space", kwargs); },
        "lamivex-cli view real-space --json: the overlayer points on the substrate with their "
        "registry.");
    m.def(
        "view_leed", [](const py::kwargs& kwargs) { return view("leed", kwargs); },
        "lamivex-cli view leed --json: the LEED spots of every domain.");
    py::module_ crystal =
        m.def_submodule("crystal", "The crystal calculator: lamivex-cli crystal.");
    crystal.def(
        "compute",
        [](const py::kwargs& kwargs) {
            return run(commandLine({"crystal"}, {}, kwargs, {"--json"}), py::none());
        },
        "lamivex-cli crystal --json: keywords system, a, b, c, alpha, beta, gamma, plane, "
        "plane1, plane2, dir1, dir2, volume.");
    crystal.def(
        "plane_spacing",
        [](const py::kwargs& kwargs) {
            const py::dict result =
                run(commandLine({"crystal"}, {}, kwargs, {"--json"}), py::none());
            return py::object(result["spacing"]);
        },
        "The spacing d of plane=\"h k l\" in Angstroms, with the cell keywords of compute.");
}
