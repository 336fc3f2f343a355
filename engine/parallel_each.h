#pragma once
// Independent pieces of work shared among threads, for the parts of a run whose items need no
// order while they are computed: each item writes only its own slot.

#include <cstddef>
#include <functional>

namespace lamivex::engine {

// Calls each(k) for every k in [0, count) on up to threads threads, this one among them, the
// threads taking the next item as they finish one. Once all have finished, the failure of the
// lowest k, if any, is thrown again here.
void forEachInParallel(std::size_t count, int threads,
                       const std::function<void(std::size_t)>& each);

}  // namespace lamivex::engine
