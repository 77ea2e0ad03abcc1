#pragma once

#include <utility>
#include <variant>

namespace qv {

// A value or an error, for operations that can refuse their input.
template <typename T, typename E>
class Expected {
public:
    Expected(T value) : v_(std::in_place_index<0>, std::move(value)) {}
    static Expected failure(E error) { return Expected(std::in_place_index<1>, std::move(error)); }

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
    template <std::size_t I, typename U>
    Expected(std::in_place_index_t<I> tag, U&& u) : v_(tag, std::forward<U>(u)) {}

    std::variant<T, E> v_;
};

}  // namespace qv
