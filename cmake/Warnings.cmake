# Warnings are errors in the project's own code; third-party code is built with its own flags.
function(quorvane_set_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Werror -Wshadow -Wcast-align -Wold-style-cast
        -Woverloaded-virtual -Wimplicit-fallthrough)
    # GCC 12 raises -Wrestrict inside libstdc++'s std::string (operator+ on a literal and a
    # temporary string) at -O2, in the mingw-w64 build; GCC 13 no longer does.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()
