#pragma once
// What every part of the Python module shares: Python values checked and turned into the
// API's (real numbers, flags, paths, matrices), refusals as Python exceptions with the
// command line's sentence, runs with the GIL released that Ctrl-C and a failing callback stop,
// warnings through Python's warnings module, and where the module's companion files lie.

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "api/figures.h"
#include "api/locations.h"
#include "api/run_control.h"
#include "engine/interpretation.h"

namespace lamivex::python {

namespace py = pybind11;

// None → nullopt; int, float, numpy scalars, Fraction and any numbers.Real → its float;
// anything else (bool and str included) → TypeError naming the argument.
[[nodiscard]] std::optional<double> real(const py::handle& value, const char* name);
[[nodiscard]] double realOr(const py::handle& value, const char* name, double fallback);
// None → nullopt; bool or numpy.bool_ → its value; anything else → TypeError.
[[nodiscard]] std::optional<bool> flag(const py::handle& value, const char* name);
// None → nullopt; an integral number (int, numpy integer) → its value; else TypeError.
[[nodiscard]] std::optional<int> whole(const py::handle& value, const char* name);
// None → nullopt; str or os.PathLike → the path's text; else TypeError.
[[nodiscard]] std::optional<std::string> path(const py::handle& value, const char* name);
// None → nullopt; str → as is; else TypeError.
[[nodiscard]] std::optional<std::string> text(const py::handle& value, const char* name);
// None → nullopt; "m11 m12 m21 m22" (refused as numbers::InputError naming matrix), or a
// 2×2 sequence or array of real numbers.
[[nodiscard]] std::optional<engine::Matrix2> matrix(const py::handle& value, const char* name);
// "h k l" or three whole numbers, as text "h k l".
[[nodiscard]] std::optional<std::string> indices(const py::handle& value, const char* name);

// A figure's size: "1200x900", "6x4.5in", "160x120mm", or (width, height) in pixels.
[[nodiscard]] api::FigureRequest figureRequest(const py::handle& size, const py::handle& dpi,
                                               const py::handle& fontSize);

// The painter and the starter database beside the module's own file.
[[nodiscard]] const api::Locations& locations();

// Runs body with the GIL released. progress (a Python callable or None) gets the fraction done;
// Ctrl-C (a pending signal) and an exception raised by progress stop the run at the next pass or
// trial and come out as the Python exception itself. Refusals become ValueError with the line
// `lamivex-cli <command>: --<option>: <message>`, file failures OSError.
void runReleased(const char* command, const py::object& progress,
                 const std::function<void(const api::Progress&, const api::Abort&)>& body);
// The same for work without progress or abort (views, crystal): refusals translated.
void translated(const char* command, const std::function<void()>& body);

// Each note as a UserWarning (an error when warnings are turned into errors).
void warn(const std::vector<std::string>& notes);

// A read-only numpy array of rows over memory that owner keeps alive: no copy.
[[nodiscard]] py::array rowsView(const py::dtype& dtype, std::size_t rowSize, std::size_t count,
                                 const void* data, const py::object& owner);
// numpy.dtype from names, formats and byte offsets, rows of itemSize bytes.
[[nodiscard]] py::dtype recordType(const std::vector<std::string>& names,
                                   const std::vector<std::string>& formats,
                                   const std::vector<std::size_t>& offsets, std::size_t itemSize);

// The interpretation as its JSON object.
[[nodiscard]] py::dict interpretationDict(const engine::Interpretation& interpretation);
[[nodiscard]] py::list matrixList(const engine::Matrix2& m);
[[nodiscard]] py::list matrixList(const engine::IntMatrix2& m);

// A figure written to a temporary SVG file and read back.
[[nodiscard]] std::string svgOf(const std::function<void(const std::string& path)>& write);

// pandas.DataFrame(array), or ImportError saying pandas is needed.
[[nodiscard]] py::object dataFrame(const py::array& rows);

// The registration of each area of the module.
void bindLattice(py::module_& m);
void bindScan(py::module_& m);
void bindIterate(py::module_& m);
void bindViews(py::module_& m);
void bindCrystal(py::module_& m);
void bindScreen(py::module_& m);
void bindModel(py::module_& m);
void bindFit(py::module_& m);

}  // namespace lamivex::python
