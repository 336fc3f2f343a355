#pragma once
// How a caller watches and stops a run: a progress callback with the fraction done and an
// abort test, both called on the calling thread at pass and trial boundaries.

#include <functional>
#include <stdexcept>

namespace lamivex::api {

using Progress = std::function<void(double fraction)>;  // 0..1
using Abort = std::function<bool()>;                    // true stops the run there

// Thrown when the abort test stopped a run: nothing of it is kept.
class RunAborted : public std::runtime_error {
  public:
    RunAborted() : std::runtime_error("the run was stopped") {}
};

}  // namespace lamivex::api
