#include "engine/parallel_each.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <thread>
#include <vector>

namespace lamivex::engine {

void forEachInParallel(std::size_t count, int threads,
                       const std::function<void(std::size_t)>& each) {
    std::vector<std::exception_ptr> failures(count);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t k = next.fetch_add(1); k < count; k = next.fetch_add(1)) {
            try {
                each(k);
            } catch (...) {
                failures[k] = std::current_exception();
            }
        }
    };
    const std::size_t wanted = std::min(count, static_cast<std::size_t>(std::max(threads, 1)));
    {
        std::vector<std::jthread> helpers;
        helpers.reserve(wanted > 0 ? wanted - 1 : 0);
        for (std::size_t t = 1; t < wanted; ++t) {
            helpers.emplace_back(work);
        }
        work();
    }  // joins the helpers
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

}  // namespace lamivex::engine
