#pragma once
// The ranked results of a screen, and the split of its work list into shards that a
// cluster runs apart and a merge puts back together.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "screening/pair_screen.h"

namespace lamivex::screening {

// The screened pairs from the best (lowest V/Vo) down; equal V/Vo keep the order of the work
// list, so the ranking is the same however the results were gathered. Pairs with an error
// are left out (see unscreened()).
[[nodiscard]] std::vector<PairResult> ranked(std::span<const PairResult> results);
[[nodiscard]] std::vector<PairResult> unscreened(std::span<const PairResult> results);

// Part index of count, 1-based: --shard 2/4 is {2, 4}.
struct Shard {
    int index = 1;
    int count = 1;
    friend bool operator==(const Shard&, const Shard&) = default;
};

// "I/N" with 1 <= I <= N. Throws numbers::InputError naming option otherwise.
[[nodiscard]] Shard parseShard(const std::string& text, const std::string& option);

// Whether the pair at this place of the work list is in the shard. The pairs are dealt
// round the shards like cards, so that the slow pairs of one crystal spread over them all.
[[nodiscard]] bool inShard(std::size_t pair, const Shard& shard);

}  // namespace lamivex::screening
