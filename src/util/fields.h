// Field tables: each record's fields listed once, by name and member pointer, for the code
// that walks every field (state hash, dump, script edits). All completely stateless.
// A table is either an array of Field (plain members, which the script's "set" reads) or a
// tuple of FieldOf (any member: numbers, texts, records and lists of them). A record that a
// table names is walked through the table FieldsOf(record) returns.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <variant>
#include <vector>

template <typename R>
using FieldMember = std::variant<int32_t R::*, uint64_t R::*, float R::*, bool R::*,
                                 std::string R::*, std::vector<float> R::*>;

// What a field takes part in, and how.
enum FieldUse : uint8_t {
  kHashed = 1,      // the state hash
  kDumped = 2,      // the JSON dump
  kSettable = 4,    // the script's "set"
  kLengthOnly = 8,  // a list of which the hash takes the length only
  kUncounted = 16,  // a list of which the hash takes the items without their number
  kInline = 32,     // a record (or list of records) dumped as its fields in its parent's place
  kOnceSet = 64,    // a list walked only once it has items, so the hashes of before it stay
};

template <typename R>
struct Field {
  std::string_view Name;
  FieldMember<R> Member;
  uint8_t Uses = kHashed | kDumped;
};

template <typename R, typename M>
struct FieldOf {
  std::string_view Name;
  M R::*Member;
  uint8_t Uses = kHashed | kDumped;
};
template <typename R, typename M>
FieldOf(std::string_view, M R::*) -> FieldOf<R, M>;
template <typename R, typename M>
FieldOf(std::string_view, M R::*, int) -> FieldOf<R, M>;

// What a walk over a record's fields reports, in table order; names are empty for list items.
class FieldSink {
 public:
  virtual ~FieldSink() = default;
  // Fields with none of these uses are passed over.
  virtual uint8_t Wanted() const = 0;
  virtual void Bool(std::string_view name, bool value) = 0;
  virtual void Int(std::string_view name, int64_t value) = 0;
  virtual void Unsigned(std::string_view name, uint64_t value) = 0;
  virtual void Float(std::string_view name, float value) = 0;
  virtual void Text(std::string_view name, const std::string& value) = 0;
  // A list of `size` items; `fixed`: its type fixes the size. False: skip the items.
  virtual bool BeginList(std::string_view name, size_t size, bool fixed, uint8_t uses) = 0;
  virtual void EndList() = 0;
  virtual void BeginRecord(std::string_view name, uint8_t uses) = 0;
  virtual void EndRecord(uint8_t uses) = 0;
};

namespace fields_detail {
template <typename T>
struct ListTraits {
  static constexpr bool kList = false;
};
template <typename T>
struct ListTraits<std::vector<T>> {
  static constexpr bool kList = true;
  static constexpr bool kFixed = false;
};
template <typename T, size_t N>
struct ListTraits<std::array<T, N>> {
  static constexpr bool kList = true;
  static constexpr bool kFixed = true;
};
}  // namespace fields_detail

template <typename R, typename... M>
void WalkFields(const R& record, const std::tuple<FieldOf<R, M>...>& table, FieldSink& sink);
template <typename R, size_t N>
void WalkFields(const R& record, const std::array<Field<R>, N>& table, FieldSink& sink);

// One value: numbers and texts to the sink, lists item by item, records through FieldsOf.
template <typename V>
void WalkValue(const V& value, std::string_view name, uint8_t uses, FieldSink& sink) {
  if constexpr (std::is_same_v<V, bool>) {
    sink.Bool(name, value);
  } else if constexpr (std::is_integral_v<V> && std::is_signed_v<V>) {
    sink.Int(name, value);
  } else if constexpr (std::is_integral_v<V>) {
    sink.Unsigned(name, value);
  } else if constexpr (std::is_same_v<V, float>) {
    sink.Float(name, value);
  } else if constexpr (std::is_same_v<V, std::string>) {
    sink.Text(name, value);
  } else if constexpr (fields_detail::ListTraits<V>::kList) {
    if (sink.BeginList(name, value.size(), fields_detail::ListTraits<V>::kFixed, uses)) {
      for (const auto& item : value) WalkValue(item, {}, uses, sink);
    }
    sink.EndList();
  } else {
    sink.BeginRecord(name, uses);
    WalkFields(value, FieldsOf(value), sink);
    sink.EndRecord(uses);
  }
}

template <typename V>
void WalkField(const V& value, std::string_view name, uint8_t uses, FieldSink& sink) {
  if constexpr (requires { value.empty(); }) {
    if ((uses & kOnceSet) && value.empty()) return;
  }
  if (uses & sink.Wanted()) WalkValue(value, name, uses, sink);
}

// Every field of the record that the sink wants, in table order.
template <typename R, typename... M>
void WalkFields(const R& record, const std::tuple<FieldOf<R, M>...>& table, FieldSink& sink) {
  std::apply([&](const auto&... f) { (WalkField(record.*f.Member, f.Name, f.Uses, sink), ...); },
             table);
}
template <typename R, size_t N>
void WalkFields(const R& record, const std::array<Field<R>, N>& table, FieldSink& sink) {
  for (const Field<R>& f : table) {
    std::visit([&](auto member) { WalkField(record.*member, f.Name, f.Uses, sink); }, f.Member);
  }
}

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
