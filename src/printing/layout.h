#pragma once

// How a record is laid out when it is handed to the platform by reference: its fields follow
// one another in declaration order with no gaps, integers little-endian, a char[n] field as
// its n bytes, a record inside a record as its own layout. A layout lists only the fields of
// the published record; fields a declaration adds beyond them are never copied.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <type_traits>

namespace printing {

// One field of a record: its name and the member that holds it.
template <class Record, class Member>
struct Field {
  std::string_view name;
  Member Record::*member;
};

template <class Record, class Member>
constexpr Field<Record, Member> field(std::string_view name, Member Record::*member) {
  return {name, member};
}

// Specialised per record: `size`, the published byte size, and `fields`, a tuple of Field in
// declaration order.
template <class Record>
struct Layout;

template <class T>
concept laid_out = requires {
  Layout<T>::size;
  Layout<T>::fields;
};

// The bytes a field of type T takes in a layout.
template <class T>
constexpr std::size_t wireSize() {
  if constexpr (std::is_integral_v<T>) {
    return sizeof(T);
  } else if constexpr (std::is_array_v<T>) {
    static_assert(sizeof(std::remove_extent_t<T>) == 1, "a text field is an array of bytes");
    return std::extent_v<T>;
  } else {
    static_assert(laid_out<T>, "a field is an integer, a text field or a record with a layout");
    return Layout<T>::size;
  }
}

// Where a field lies in its record's bytes.
struct Place {
  std::string_view name;
  std::size_t offset;
  std::size_t size;
};

// The places of a record's fields, in declaration order.
template <laid_out Record>
constexpr auto places() {
  return std::apply(
      [](auto... fields) {
        std::array<Place, sizeof...(fields)> out{};
        std::size_t offset = 0, i = 0;
        ((out[i++] = Place{fields.name, offset,
                           wireSize<std::remove_cvref_t<decltype(std::declval<Record>().*fields.member)>>()},
          offset += out[i - 1].size),
         ...);
        return out;
      },
      Layout<Record>::fields);
}

// The place of the field named `name`; a name the record lacks does not compile where a
// constant is needed.
template <laid_out Record>
constexpr Place placeOf(std::string_view name) {
  for (const Place& p : places<Record>())
    if (p.name == name) return p;
  throw std::invalid_argument("no such field");
}

// Whether the fields fill the published size exactly.
template <laid_out Record>
constexpr bool fillsItsSize() {
  std::size_t total = 0;
  for (const Place& p : places<Record>()) total += p.size;
  return total == Layout<Record>::size;
}

namespace detail {

template <class T>
void put(const T& value, std::uint8_t* out) {
  if constexpr (std::is_integral_v<T>) {
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i) out[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  } else if constexpr (std::is_array_v<T>) {
    for (std::size_t i = 0; i < std::extent_v<T>; ++i) out[i] = static_cast<std::uint8_t>(value[i]);
  } else {
    std::size_t offset = 0;
    std::apply(
        [&](auto... fields) {
          ((put(value.*fields.member, out + offset),
            offset += wireSize<std::remove_cvref_t<decltype(value.*fields.member)>>()),
           ...);
        },
        Layout<T>::fields);
  }
}

template <class T>
void get(const std::uint8_t* in, T& value) {
  if constexpr (std::is_integral_v<T>) {
    std::make_unsigned_t<T> bits = 0;
    for (std::size_t i = sizeof(T); i-- > 0;) bits = static_cast<std::make_unsigned_t<T>>((bits << 8) | in[i]);
    value = static_cast<T>(bits);
  } else if constexpr (std::is_array_v<T>) {
    for (std::size_t i = 0; i < std::extent_v<T>; ++i) value[i] = static_cast<std::remove_extent_t<T>>(in[i]);
  } else {
    std::size_t offset = 0;
    std::apply(
        [&](auto... fields) {
          ((get(in + offset, value.*fields.member),
            offset += wireSize<std::remove_cvref_t<decltype(value.*fields.member)>>()),
           ...);
        },
        Layout<T>::fields);
  }
}

}  // namespace detail

// Writes the record's published bytes at the start of `out` and nothing past them; false,
// with nothing written, when `out` is shorter.
template <laid_out Record>
bool toBytes(const Record& record, std::span<std::uint8_t> out) {
  static_assert(fillsItsSize<Record>());
  if (out.size() < Layout<Record>::size) return false;
  detail::put(record, out.data());
  return true;
}

// Reads the record's published fields from the start of `in`, leaving any field beyond them
// as it was; false, with nothing changed, when `in` is shorter.
template <laid_out Record>
bool fromBytes(std::span<const std::uint8_t> in, Record& record) {
  static_assert(fillsItsSize<Record>());
  if (in.size() < Layout<Record>::size) return false;
  detail::get(in.data(), record);
  return true;
}

}  // namespace printing
