#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace scopewatch {

// How an operation that can fail ended: what it gave back, or why it failed, in words a user
// can act on. The program's one result type: exceptions are kept for malformed outside bytes,
// and are caught at the edge of the reader that met them.
template <typename Value = std::monostate>
struct Outcome {
    std::optional<Value> value;
    std::string failure;

    bool ok() const { return value.has_value(); }
    static Outcome Done(Value given = {}) { return Outcome{std::move(given), {}}; }
    static Outcome Failed(std::string why) { return Outcome{std::nullopt, std::move(why)}; }
};

// An operation that gives nothing back but may fail.
using Status = Outcome<>;

}  // namespace scopewatch
