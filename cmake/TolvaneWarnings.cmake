# The project's warning set, applied target by target so that third-party code keeps its own.
function(tolvane_set_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wsign-conversion -Wnon-virtual-dtor -Wold-style-cast)
    if(TOLVANE_WARNINGS_AS_ERRORS)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()
