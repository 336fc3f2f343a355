#include "python/common.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fmt/format.h>

#include "api/file_error.h"
#include "numbers/input_error.h"
#include "numbers/text_safety.h"
#include "output/interpretation_json.h"
#include "output/json_writer.h"

namespace lamivex::python {
namespace {

std::string typeName(const py::handle& value) {
    return py::str(py::type::handle_of(value).attr("__name__")).cast<std::string>();
}

[[noreturn]] void wrongType(const char* name, const char* expected, const py::handle& value) {
    throw py::type_error(fmt::format("{} must be {}, not {}", name, expected, typeName(value)));
}

bool isBool(const py::handle& value) {
    if (py::isinstance<py::bool_>(value)) {
        return true;
    }
    // Kept for the life of the process: released, so no destructor runs after Python ends.
    static const py::handle numpyBool =
        py::object(py::module_::import("numpy").attr("bool_")).release();
    return py::isinstance(value, numpyBool);
}

bool isReal(const py::handle& value) {
    if (PyFloat_Check(value.ptr()) || PyLong_Check(value.ptr())) {
        return true;
    }
    static const py::handle realType =
        py::object(py::module_::import("numbers").attr("Real")).release();
    return py::isinstance(value, realType);
}

bool isIntegral(const py::handle& value) {
    static const py::handle integralType =
        py::object(py::module_::import("numbers").attr("Integral")).release();
    return PyLong_Check(value.ptr()) || py::isinstance(value, integralType);
}

// The module's own file, from the address of one of its functions.
std::filesystem::path moduleFile() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<const void*>(&moduleFile), &info) != 0 &&
        info.dli_fname != nullptr) {
        return std::filesystem::absolute(info.dli_fname);
    }
    return {};
}

[[noreturn]] void raiseRefusal(const char* command, const std::string& option,
                               const std::string& message) {
    const std::string line =
        option.empty() ? fmt::format("lamivex-cli {}: {}", command, message)
                       : fmt::format("lamivex-cli {}: --{}: {}", command, option, message);
    throw py::value_error(numbers::visiblyEscaped(line));
}

template <typename Body>
void withRefusals(const char* command, Body&& body) {
    try {
        body();
    } catch (const numbers::InputError& e) {
        raiseRefusal(command, e.field(), e.what());
    } catch (const api::FileError& e) {
        const std::string line =
            e.option().empty()
                ? fmt::format("lamivex-cli {}: {}", command, e.what())
                : fmt::format("lamivex-cli {}: --{}: {}", command, e.option(), e.what());
        PyErr_SetString(PyExc_OSError, numbers::visiblyEscaped(line).c_str());
        throw py::error_already_set();
    }
}

}  // namespace

std::optional<double> real(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (isBool(value) || !isReal(value)) {
        wrongType(name, "a real number", value);
    }
    const double number = PyFloat_AsDouble(value.ptr());  // __float__ of numbers.Real
    if (number == -1.0 && PyErr_Occurred() != nullptr) {
        throw py::error_already_set();
    }
    return number;
}

double realOr(const py::handle& value, const char* name, double fallback) {
    return real(value, name).value_or(fallback);
}

std::optional<bool> flag(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (!isBool(value)) {
        wrongType(name, "True or False", value);
    }
    return PyObject_IsTrue(value.ptr()) == 1;
}

std::optional<int> whole(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (PyLong_CheckExact(value.ptr())) {
        return py::cast<int>(value);
    }
    if (isBool(value) || !isIntegral(value)) {
        wrongType(name, "a whole number", value);
    }
    return py::int_(py::reinterpret_borrow<py::object>(value)).cast<int>();
}

std::optional<std::string> path(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (!py::isinstance<py::str>(value) && !py::hasattr(value, "__fspath__")) {
        wrongType(name, "a path (str or os.PathLike)", value);
    }
    const py::object text = py::module_::import("os").attr("fspath")(value);
    if (!py::isinstance<py::str>(text)) {
        wrongType(name, "a path as text", text);
    }
    return text.cast<std::string>();
}

std::optional<std::string> text(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (!py::isinstance<py::str>(value)) {
        wrongType(name, "a str", value);
    }
    return value.cast<std::string>();
}

std::optional<engine::Matrix2> matrix(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (py::isinstance<py::str>(value)) {
        // A refusal is an InputError, which the caller's command turns into its ValueError.
        return api::matrixFromText(value.cast<std::string>(), "matrix");
    }
    std::vector<double> elements;
    const auto row = [&](const py::handle& items) {
        if (!py::isinstance<py::sequence>(items) && !py::hasattr(items, "__array__")) {
            wrongType(name, "a 2×2 sequence of real numbers or \"m11 m12 m21 m22\"", value);
        }
        const py::sequence sequence = py::module_::import("builtins").attr("list")(items);
        if (sequence.size() != 2) {
            throw py::type_error(fmt::format("{} must be 2×2 ([[m11, m12], [m21, m22]])", name));
        }
        for (const py::handle element : sequence) {
            elements.push_back(*real(element, name));
        }
    };
    if (!py::isinstance<py::sequence>(value) && !py::hasattr(value, "__array__")) {
        wrongType(name, "a 2×2 sequence of real numbers or \"m11 m12 m21 m22\"", value);
    }
    const py::sequence rows = py::module_::import("builtins").attr("list")(value);
    if (rows.size() != 2) {
        throw py::type_error(fmt::format("{} must be 2×2 ([[m11, m12], [m21, m22]])", name));
    }
    for (const py::handle r : rows) {
        row(r);
    }
    return engine::Matrix2{elements[0], elements[1], elements[2], elements[3]};
}

std::optional<std::string> indices(const py::handle& value, const char* name) {
    if (value.is_none()) {
        return std::nullopt;
    }
    if (py::isinstance<py::str>(value)) {
        return value.cast<std::string>();
    }
    if (!py::isinstance<py::sequence>(value) && !py::hasattr(value, "__array__")) {
        wrongType(name, "\"h k l\" or three whole numbers", value);
    }
    std::string joined;
    const auto append = [&](const py::handle i) {
        joined += (joined.empty() ? "" : " ") + std::to_string(*whole(i, name));
    };
    if (PyTuple_CheckExact(value.ptr()) || PyList_CheckExact(value.ptr())) {
        for (const py::handle i : value) {  // no list made of a tuple asked for many times
            append(i);
        }
    } else {
        for (const py::handle i : py::module_::import("builtins").attr("list")(value)) {
            append(i);
        }
    }
    return joined;
}

api::FigureRequest figureRequest(const py::handle& size, const py::handle& dpi,
                                 const py::handle& fontSize) {
    api::FigureRequest asked;
    if (!size.is_none()) {
        if (py::isinstance<py::str>(size)) {
            asked.size = size.cast<std::string>();
        } else if (py::isinstance<py::sequence>(size) && py::len(size) == 2) {
            const py::sequence wh = size.cast<py::sequence>();
            asked.size = fmt::format("{:g}x{:g}", *real(wh[0], "size"), *real(wh[1], "size"));
        } else {
            wrongType("size", "\"WxH\" (px, in or mm) or (width, height) in pixels", size);
        }
    }
    asked.dpi = real(dpi, "dpi");
    asked.fontPt = realOr(fontSize, "font_size", 10);
    return asked;
}

const api::Locations& locations() {
    static const api::Locations found = api::locationsAround(moduleFile());
    return found;
}

void runReleased(const char* command, const py::object& progress,
                 const std::function<void(const api::Progress&, const api::Abort&)>& body) {
    // An exception from Python (Ctrl-C, or the progress callback's) waits here, with its
    // object, until the run has stopped; it is destroyed only while the GIL is held.
    std::optional<py::error_already_set> pending;
    api::Progress report;
    if (!progress.is_none()) {
        report = [&](double fraction) {
            const py::gil_scoped_acquire gil;
            if (pending) {
                return;
            }
            try {
                progress(fraction);
            } catch (py::error_already_set& e) {
                pending.emplace(std::move(e));
            }
        };
    }
    const api::Abort abort = [&]() {
        const py::gil_scoped_acquire gil;
        if (!pending && PyErr_CheckSignals() != 0) {
            pending.emplace();  // takes the KeyboardInterrupt the signal handler raised
        }
        return pending.has_value();
    };
    bool aborted = false;
    withRefusals(command, [&] {
        try {
            const py::gil_scoped_release released;
            body(report, abort);
        } catch (const api::RunAborted&) {
            aborted = true;
        }
    });
    if (pending) {
        throw std::move(*pending);
    }
    if (aborted) {
        throw py::error_already_set();  // cannot happen without a pending exception
    }
}

void translated(const char* command, const std::function<void()>& body) {
    withRefusals(command, body);
}

void warn(const std::vector<std::string>& notes) {
    for (const std::string& note : notes) {
        if (PyErr_WarnEx(PyExc_UserWarning, note.c_str(), 2) != 0) {
            throw py::error_already_set();
        }
    }
}

py::dtype recordType(const std::vector<std::string>& names, const std::vector<std::string>& formats,
                     const std::vector<std::size_t>& offsets, std::size_t itemSize) {
    py::dict asked;
    asked["names"] = py::cast(names);
    asked["formats"] = py::cast(formats);
    asked["offsets"] = py::cast(offsets);
    asked["itemsize"] = itemSize;
    return py::dtype::from_args(asked);
}

py::array rowsView(const py::dtype& dtype, std::size_t rowSize, std::size_t count, const void* data,
                   const py::object& owner) {
    static const double empty = 0;
    py::array rows(dtype, {static_cast<py::ssize_t>(count)}, {static_cast<py::ssize_t>(rowSize)},
                   count > 0 ? data : &empty, owner);
    // Views of a finished result: nobody writes into them.
    rows.attr("setflags")(py::arg("write") = false);
    return rows;
}

namespace {

template <typename Matrix>
py::list nestedRows(const Matrix& m) {
    py::list first;
    first.append(m.m11);
    first.append(m.m12);
    py::list second;
    second.append(m.m21);
    second.append(m.m22);
    py::list out;
    out.append(first);
    out.append(second);
    return out;
}

}  // namespace

py::list matrixList(const engine::Matrix2& m) {
    return nestedRows(m);
}

py::list matrixList(const engine::IntMatrix2& m) {
    return nestedRows(m);
}

py::dict interpretationDict(const engine::Interpretation& i) {
    // The command line's own writer, until it moves out of cli/: the keys and their values
    // are then the same to the last digit.
    output::JsonWriter json;
    json.beginObject();
    output::writeInterpretationJson(json, i);
    json.endObject();
    static const py::handle loads = py::object(py::module_::import("json").attr("loads")).release();
    return loads(json.text())["interpretation"];
}

std::string svgOf(const std::function<void(const std::string& path)>& write) {
    const py::object tempfile = py::module_::import("tempfile");
    const py::object folder = tempfile.attr("TemporaryDirectory")();
    const std::string name = folder.attr("name").cast<std::string>() + "/figure.svg";
    std::string svg;
    try {
        write(name);
        std::ifstream in(name, std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        svg = content.str();
    } catch (...) {
        folder.attr("cleanup")();
        throw;
    }
    folder.attr("cleanup")();
    return svg;
}

py::object dataFrame(const py::array& rows) {
    py::object pandas;
    try {
        pandas = py::module_::import("pandas");
    } catch (py::error_already_set&) {
        throw py::import_error("to_dataframe needs pandas (Debian: python3-pandas)");
    }
    return pandas.attr("DataFrame")(rows);
}

}  // namespace lamivex::python
