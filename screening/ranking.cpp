#include "screening/ranking.h"

#include <algorithm>
#include <charconv>

#include <fmt/format.h>

#include "numbers/input_error.h"

namespace lamivex::screening {

std::vector<PairResult> ranked(std::span<const PairResult> results) {
    std::vector<PairResult> out;
    for (const PairResult& r : results) {
        if (r.screened()) {
            out.push_back(r);
        }
    }
    std::sort(out.begin(), out.end(), [](const PairResult& x, const PairResult& y) {
        if (x.best.BestVVo != y.best.BestVVo) {
            return x.best.BestVVo < y.best.BestVVo;
        }
        return x.pair < y.pair;
    });
    return out;
}

std::vector<PairResult> unscreened(std::span<const PairResult> results) {
    std::vector<PairResult> out;
    for (const PairResult& r : results) {
        if (!r.screened()) {
            out.push_back(r);
        }
    }
    std::sort(out.begin(), out.end(),
              [](const PairResult& x, const PairResult& y) { return x.pair < y.pair; });
    return out;
}

Shard parseShard(const std::string& text, const std::string& option) {
    Shard shard;
    const std::size_t slash = text.find('/');
    const auto whole = [](std::string_view part, int& value) {
        const auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        return !part.empty() && ec == std::errc() && end == part.data() + part.size();
    };
    const std::string_view all = text;
    if (slash == std::string::npos || !whole(all.substr(0, slash), shard.index) ||
        !whole(all.substr(slash + 1), shard.count)) {
        numbers::failInput(option, fmt::format("expected I/N, two whole numbers, got '{}'", text));
    }
    if (shard.count < 1 || shard.index < 1 || shard.index > shard.count) {
        numbers::failInput(option, fmt::format("part {} of {} does not exist: I runs from 1 to N",
                                               shard.index, shard.count));
    }
    return shard;
}

bool inShard(std::size_t pair, const Shard& shard) {
    return pair % static_cast<std::size_t>(shard.count) ==
           static_cast<std::size_t>(shard.index - 1);
}

}  // namespace lamivex::screening
