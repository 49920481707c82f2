# Warnings are errors in the project's own code; third-party code is built with its own flags.
function(quorvane_set_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Werror -Wshadow -Wcast-align -Wold-style-cast
        -Woverloaded-virtual -Wimplicit-fallthrough)
endfunction()
