#pragma once

#include <compare>
#include <cstdint>

namespace qv {

__extension__ typedef __int128 Int128;

// Exact fixed-point decimal: a signed 64-bit count of ten-thousandths.
// Sums and differences are exact; products and conversions from double round
// to four decimals, ties to even. Distances are compared in this type only.
class Currency {
  public:
    static constexpr std::int64_t kScale = 10000;

    constexpr Currency() = default;

    static constexpr Currency fromRaw(std::int64_t raw) {
        Currency c;
        c.raw_ = raw;
        return c;
    }
    static constexpr Currency fromInt(std::int64_t whole) { return fromRaw(whole * kScale); }
    // Rounds to the nearest ten-thousandth, ties to even.
    static Currency fromDouble(double value);

    constexpr std::int64_t raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / kScale; }
    constexpr bool isZero() const { return raw_ == 0; }

    constexpr Currency& operator+=(Currency o) {
        raw_ += o.raw_;
        return *this;
    }
    constexpr Currency& operator-=(Currency o) {
        raw_ -= o.raw_;
        return *this;
    }
    friend constexpr Currency operator+(Currency a, Currency b) { return a += b; }
    friend constexpr Currency operator-(Currency a, Currency b) { return a -= b; }
    friend constexpr Currency operator-(Currency a) { return fromRaw(-a.raw_); }
    // Product rounded back to four decimals, ties to even.
    friend Currency operator*(Currency a, Currency b);
    // The same product's raw units before they must fit 64 bits: the sums
    // of a large quiz square past Currency's range.
    friend Int128 productRaw(Currency a, Currency b);

    friend constexpr auto operator<=>(Currency, Currency) = default;
    friend constexpr bool operator==(Currency, Currency) = default;

  private:
    std::int64_t raw_ = 0;
};

}  // namespace qv
