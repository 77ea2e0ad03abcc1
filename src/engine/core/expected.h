#pragma once

#include <utility>
#include <variant>

#include "core/error.h"

namespace qv {

// A value or the reason there is none, for operations that can refuse their input.
template <typename T, typename E = Error>
class Expected {
  public:
    Expected(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    Expected(E error) : v_(std::in_place_index<1>, std::move(error)) {}
    static Expected failure(E error) { return Expected(std::move(error)); }

    bool ok() const { return v_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() & { return std::get<0>(v_); }
    const T& value() const& { return std::get<0>(v_); }
    T&& value() && { return std::get<0>(std::move(v_)); }
    const E& error() const { return std::get<1>(v_); }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

  private:
    std::variant<T, E> v_;
};

// Success without a value, or the reason.
template <typename E>
class Expected<void, E> {
  public:
    Expected() = default;
    Expected(E error) : error_(std::move(error)), failed_(true) {}
    static Expected failure(E error) { return Expected(std::move(error)); }

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const E& error() const { return error_; }

  private:
    E error_{};
    bool failed_ = false;
};

}  // namespace qv
