// Remainders of a 15-bit draw by a small divisor without a division: the
// feeding and movement steps take millions of them per cycle, each by a
// divisor fixed for one animal. q = d * ceil(2^20 / m) >> 20 is the exact
// quotient for every d in 0..32767 when m is below 32 (the rounding error of
// the multiplier, at most m - 1 per unit, stays below 2^20 / 32768).
#pragma once

#include <array>
#include <cstdint>
#include <utility>

namespace kesmir {

class SmallDivisor {
  public:
    static constexpr int32_t kLargest = 31;

    explicit constexpr SmallDivisor(int32_t m)
        : m_(static_cast<uint32_t>(m)), multiplier_(((uint64_t{1} << 20) + m - 1) / m) {}

    // draw % m for a draw 0..32767.
    constexpr int32_t remainder(int32_t draw) const {
        const auto d = static_cast<uint32_t>(draw);
        const auto quotient = static_cast<uint32_t>((d * multiplier_) >> 20);
        return static_cast<int32_t>(d - quotient * m_);
    }

    // The divisor m (1..kLargest) from a table made at compile time: the
    // steps build one per animal, and the constructor's own division would
    // cost more than the remainders it serves.
    static const SmallDivisor& of(int32_t m);

    uint32_t divisor() const { return m_; }
    uint64_t multiplier() const { return multiplier_; }

  private:
    uint32_t m_;
    uint64_t multiplier_;
};

namespace detail {
template <std::size_t... m>
constexpr std::array<SmallDivisor, sizeof...(m)> smallDivisors(std::index_sequence<m...>) {
    return {SmallDivisor(static_cast<int32_t>(m) + 1)...};
}
inline constexpr auto kSmallDivisors =
    smallDivisors(std::make_index_sequence<SmallDivisor::kLargest>());
}  // namespace detail

inline const SmallDivisor& SmallDivisor::of(int32_t m) {
    return detail::kSmallDivisors[m - 1];
}

}  // namespace kesmir
