// What the C++ library of Debian's emscripten (libc++ 13) lacks of C++20 and the sources use,
// for the WebAssembly build only (forced into every file by cmake/Emscripten.cmake). Each
// piece is defined only where the library has none, so a newer library's own is used.
#pragma once

#ifdef __cplusplus
#include <cstring>
#include <memory>
#include <type_traits>
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
#endif
