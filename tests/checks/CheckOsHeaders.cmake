# Fails when a file outside src/os/<backend>/ includes an OS header: the seam is the only way
# to the operating system, so the portable code builds anywhere.
file(GLOB_RECURSE files
     ${SOURCE_DIR}/src/*.h ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/include/*.h ${SOURCE_DIR}/tools/*.cpp
     ${SOURCE_DIR}/tools/*.h)
set(pattern "#[ \t]*include[ \t]*<(windows\\.h|winbase\\.h|wincrypt\\.h|winuser\\.h|dlfcn\\.h|unistd\\.h|pthread\\.h|unicode/[^>]*|sys/[^>]*|time\\.h|ctime)>")
set(offenders "")
foreach(file ${files})
    if(file MATCHES "/src/os/(win32|posix)/")
        continue()
    endif()
    file(STRINGS ${file} hits REGEX "${pattern}")
    if(hits)
        list(APPEND offenders "${file}: ${hits}")
    endif()
endforeach()
if(offenders)
    list(JOIN offenders "\n  " text)
    message(FATAL_ERROR "OS headers outside the backends:\n  ${text}")
endif()
list(LENGTH files count)
message(STATUS "${count} files checked: OS headers only in src/os/win32 and src/os/posix")
