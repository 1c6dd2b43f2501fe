// Field tables: each record's fields listed once, by name and member pointer, for the code
// that walks every field (state hash, dump, script edits). All completely stateless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

template <typename R>
using FieldMember = std::variant<int32_t R::*, uint64_t R::*, float R::*, bool R::*,
                                 std::string R::*, std::vector<float> R::*>;

// What a field takes part in.
enum FieldUse : uint8_t {
  kHashed = 1,    // the state hash
  kDumped = 2,    // the JSON dump
  kSettable = 4,  // the script's "set"
};

template <typename R>
struct Field {
  std::string_view Name;
  FieldMember<R> Member;
  uint8_t Uses = kHashed | kDumped;
};

// Number of members of an aggregate without nested aggregates, for completeness checks.
namespace fields_detail {
struct AnyValue {
  template <typename T>
  operator T() const;
};
}  // namespace fields_detail

template <typename R, typename... A>
constexpr size_t MemberCount() {
  if constexpr (requires { R{A{}..., fields_detail::AnyValue{}}; }) {
    return MemberCount<R, A..., fields_detail::AnyValue>();
  } else {
    return sizeof...(A);
  }
}
