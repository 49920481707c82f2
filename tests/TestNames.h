// Names of parameterised test cases: readable, and the same in every build, so that
// `ctest -R NAME` finds a case again (GoogleTest's default is the case's index, and ctest would
// otherwise add the parameter's bytes, addresses included).
#pragma once

#include <cctype>
#include <string>
#include <string_view>

namespace quorvane::test {

// `text` as a test name: letters and digits kept, every other run of characters one '_'.
inline std::string TestName(std::string_view text) {
    std::string name;
    bool gap = false;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            if (gap && !name.empty()) {
                name += '_';
            }
            name += c;
            gap = false;
        } else {
            gap = true;
        }
    }
    return name.empty() ? std::string("_") : name;
}

}  // namespace quorvane::test
