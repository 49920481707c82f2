// What the C++ library of Debian's emscripten (libc++ 13) lacks of C++20 and the sources use,
// for the WebAssembly build only (forced into every file by cmake/Emscripten.cmake). Each
// piece is defined only where the library has none, so a newer library's own is used.
#pragma once

#ifdef __cplusplus
#include <compare>
#include <cstring>
#include <memory>
#include <tuple>
#include <type_traits>
#include <utility>
#include <version>

#ifndef __cpp_lib_bit_cast
namespace std {
template <class To, class From>
requires(sizeof(To) == sizeof(From) && is_trivially_copyable_v<To> &&
         is_trivially_copyable_v<From>) constexpr To bit_cast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}
}  // namespace std
#endif

#if !defined(__cpp_lib_smart_ptr_for_overwrite)
namespace std {
template <class T>
requires is_unbounded_array_v<T> unique_ptr<T> make_unique_for_overwrite(size_t size) {
    return unique_ptr<T>(new remove_extent_t<T>[size]);
}
template <class T>
requires(!is_array_v<T>) unique_ptr<T> make_unique_for_overwrite() {
    return unique_ptr<T>(new T);
}
}  // namespace std
#endif

// Tuples compared by <=> (std::tie(a...) <=> std::tie(b...)), which libc++ has from version 16
// on: element by element, each by its own <=>, else by == and < (as the library does).
#if defined(_LIBCPP_VERSION) && _LIBCPP_VERSION < 16000
namespace std {
namespace quorvane_compat {
template <class T, class U>
constexpr auto SynthThreeWay(const T& t, const U& u) {
    if constexpr (requires { t <=> u; }) {
        return t <=> u;
    } else {
        return t < u   ? weak_ordering::less
               : u < t ? weak_ordering::greater
                       : weak_ordering::equivalent;
    }
}
template <class Result, size_t I, class... T, class... U>
constexpr Result CompareFrom(const tuple<T...>& a, const tuple<U...>& b) {
    if constexpr (I == sizeof...(T)) {
        return Result::equivalent;
    } else {
        if (auto c = SynthThreeWay(get<I>(a), get<I>(b)); c != 0) {
            return c;
        }
        return CompareFrom<Result, I + 1>(a, b);
    }
}
}  // namespace quorvane_compat
template <class... T, class... U>
requires(sizeof...(T) == sizeof...(U)) constexpr common_comparison_category_t<
    decltype(quorvane_compat::SynthThreeWay(declval<const T&>(), declval<const U&>()))...>
operator<=>(const tuple<T...>& a, const tuple<U...>& b) {
    using Result = common_comparison_category_t<decltype(quorvane_compat::SynthThreeWay(
        declval<const T&>(), declval<const U&>()))...>;
    return quorvane_compat::CompareFrom<Result, 0>(a, b);
}
}  // namespace std
#endif
#endif
