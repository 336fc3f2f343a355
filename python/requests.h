#pragma once
// The keyword arguments of the Python functions (a dict of every parameter, None where not
// given) as the API's requests.

#include "api/iterate.h"
#include "api/lattice_request.h"
#include "api/scan.h"
#include "api/views.h"
#include "python/common.h"

namespace lamivex::python {

// The parameter's value, None when absent.
[[nodiscard]] py::object argument(const py::dict& arguments, const char* key);

[[nodiscard]] api::LatticeRequest latticeRequest(const py::dict& arguments);
[[nodiscard]] api::ScanRequest scanRequest(const py::dict& arguments);
[[nodiscard]] api::IterationRequest iterationRequest(const py::dict& arguments);
[[nodiscard]] api::ViewRequest viewRequest(const py::dict& arguments);
[[nodiscard]] api::LeedRequest leedRequest(const py::dict& arguments);

}  // namespace lamivex::python
