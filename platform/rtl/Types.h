// Basic types of the run-time library: integer aliases, points, rectangles, sizes and sets.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

// UTF-8 text throughout (see docs/ARCHITECTURE.md, "Strings").
using String = std::string;
using WideString = std::u16string;

using Integer = int32_t;
using Cardinal = uint32_t;
using LongInt = int32_t;
using LongWord = uint32_t;
using ShortInt = int8_t;
using SmallInt = int16_t;
using Byte = uint8_t;
using Word = uint16_t;
using Int64 = int64_t;
using UInt64 = uint64_t;
using NativeInt = intptr_t;
using NativeUInt = uintptr_t;
using Extended = double;
using Single = float;
using Double = double;
using Boolean = bool;
using TDateTime = double;  // days since 1899-12-30, time as the fraction
using TDate = double;
using TTime = double;

// A point with the platform's field names.
struct TPoint {
  Integer X = 0;
  Integer Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(Integer x, Integer y) : X(x), Y(y) {}
  constexpr bool operator==(const TPoint&) const = default;
};

struct TSize {
  Integer cx = 0;
  Integer cy = 0;
  constexpr TSize() = default;
  constexpr TSize(Integer w, Integer h) : cx(w), cy(h) {}
  constexpr bool operator==(const TSize&) const = default;
};

// A rectangle: left and top inclusive, right and bottom exclusive.
struct TRect {
  Integer Left = 0;
  Integer Top = 0;
  Integer Right = 0;
  Integer Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(Integer l, Integer t, Integer r, Integer b) : Left(l), Top(t), Right(r), Bottom(b) {}
  constexpr TRect(TPoint tl, TPoint br) : Left(tl.X), Top(tl.Y), Right(br.X), Bottom(br.Y) {}
  constexpr Integer Width() const { return Right - Left; }
  constexpr Integer Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  constexpr bool operator==(const TRect&) const = default;
};

constexpr TRect Rect(Integer l, Integer t, Integer r, Integer b) { return {l, t, r, b}; }
constexpr TRect Bounds(Integer l, Integer t, Integer w, Integer h) { return {l, t, l + w, t + h}; }
constexpr TPoint Point(Integer x, Integer y) { return {x, y}; }

// A set over an enumeration whose values lie in 0..N-1, the platform's "set of".
template <class E, std::size_t N = 64>
class TSet {
  static_assert(std::is_enum_v<E>);

 public:
  constexpr TSet() = default;
  TSet(std::initializer_list<E> items) {
    for (E e : items) bits_.set(Index(e));
  }
  bool Contains(E e) const { return bits_.test(Index(e)); }
  TSet& Include(E e) { bits_.set(Index(e)); return *this; }
  TSet& Exclude(E e) { bits_.reset(Index(e)); return *this; }
  bool Empty() const { return bits_.none(); }
  void Clear() { bits_.reset(); }
  std::size_t Count() const { return bits_.count(); }
  TSet operator+(const TSet& o) const { TSet r; r.bits_ = bits_ | o.bits_; return r; }
  TSet operator*(const TSet& o) const { TSet r; r.bits_ = bits_ & o.bits_; return r; }
  TSet operator-(const TSet& o) const { TSet r; r.bits_ = bits_ & ~o.bits_; return r; }
  TSet operator+(E e) const { TSet r = *this; return r.Include(e); }
  TSet operator-(E e) const { TSet r = *this; return r.Exclude(e); }
  TSet& operator+=(const TSet& o) { bits_ |= o.bits_; return *this; }
  TSet& operator-=(const TSet& o) { bits_ &= ~o.bits_; return *this; }
  TSet& operator*=(const TSet& o) { bits_ &= o.bits_; return *this; }
  TSet& operator+=(E e) { return Include(e); }
  TSet& operator-=(E e) { return Exclude(e); }
  bool operator==(const TSet& o) const { return bits_ == o.bits_; }
  // a <= b: every member of a is in b.
  bool operator<=(const TSet& o) const { return (bits_ & ~o.bits_).none(); }
  // The set as an integer mask (bit i for value i), as stored in streams.
  uint64_t ToMask() const {
    uint64_t m = 0;
    for (std::size_t i = 0; i < N && i < 64; ++i)
      if (bits_.test(i)) m |= uint64_t(1) << i;
    return m;
  }
  static TSet FromMask(uint64_t m) {
    TSet r;
    for (std::size_t i = 0; i < N && i < 64; ++i)
      if (m & (uint64_t(1) << i)) r.bits_.set(i);
    return r;
  }

 private:
  static std::size_t Index(E e) { return static_cast<std::size_t>(e); }
  std::bitset<N> bits_;
};
