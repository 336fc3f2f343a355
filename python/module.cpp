// The extension module lamivex._lamivex: the typed API bound for Python. The package lamivex
// (lamivex/__init__.py) gives its functions their signatures and documentation.

#include "python/common.h"

PYBIND11_MODULE(_lamivex, m) {
    m.doc() = "The compiled part of lamivex; use the package lamivex.";
    m.attr("__version__") = LAMIVEX_VERSION;
    lamivex::python::bindLattice(m);
    lamivex::python::bindScan(m);
    lamivex::python::bindIterate(m);
    lamivex::python::bindViews(m);
    lamivex::python::bindCrystal(m);
    lamivex::python::bindScreen(m);
    lamivex::python::bindModel(m);
    lamivex::python::bindFit(m);
    m.def(
        "_locations",
        [] {
            const lamivex::api::Locations& found = lamivex::python::locations();
            return std::make_pair(found.painter.string(), found.starter.string());
        },
        "Where the module looks for the painter and the starter database.");
}
