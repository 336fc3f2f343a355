#pragma once
// Results of the structure database: a value, or the message the user reads.
// Nothing in this library throws for a failed file operation; every call that touches the
// file returns one of these, and the front ends decide how to show the message.

#include <string>
#include <utility>

namespace lamivex::database {

struct [[nodiscard]] DbStatus {
    std::string error;  // empty on success

    [[nodiscard]] bool ok() const { return error.empty(); }
    static DbStatus success() { return {}; }
    static DbStatus failure(std::string message) { return {std::move(message)}; }
};

template <typename T>
struct [[nodiscard]] DbResult {
    T value{};
    std::string error;  // empty on success

    [[nodiscard]] bool ok() const { return error.empty(); }
    static DbResult success(T v) { return {std::move(v), {}}; }
    static DbResult failure(std::string message) { return {T{}, std::move(message)}; }
};

}  // namespace lamivex::database
