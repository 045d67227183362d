# Installs the build into a fresh prefix, then configures, builds and runs the consumer
# project against it with find_package (and, on Linux, compiles it once more with pkg-config).
# Parameters: BUILD_DIR, SOURCE_DIR (this folder), WORK_DIR, TOOLCHAIN (optional),
# BOOST_INCLUDE_DIR (optional, for cross builds), EMULATOR (optional), PKG_CONFIG (optional),
# CXX_COMPILER, CXX_FLAGS and EXE_LINKER_FLAGS (those of the build under test).
function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        string(REPLACE ";" " " command "${ARGN}")
        message(FATAL_ERROR "failed (${rc}): ${command}\n${out}\n${err}")
    endif()
    set(last_output "${out}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

set(configure ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/build -DCMAKE_PREFIX_PATH=${prefix}
              -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}"
              "-DCMAKE_EXE_LINKER_FLAGS=${EXE_LINKER_FLAGS}")
if(TOOLCHAIN)
    list(APPEND configure -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN} -DBoost_NO_BOOST_CMAKE=ON
         -DBoost_INCLUDE_DIR=${BOOST_INCLUDE_DIR}
         -DTolvaneUtil_DIR=${prefix}/lib/cmake/TolvaneUtil)
else()
    list(APPEND configure -DCMAKE_CXX_COMPILER=${CXX_COMPILER})
endif()
run(${configure})
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)

file(GLOB consumer ${WORK_DIR}/build/consumer ${WORK_DIR}/build/consumer.exe)
if(EMULATOR)
    # The installed bin folder holds the DLL and the C++ runtime DLLs it needs.
    string(REPLACE "/" "\\" bin "Z:${prefix}/bin")
    set(ENV{WINEPATH} "${bin}")
    run(${EMULATOR} ${consumer})
else()
    run(${consumer})
endif()
message(STATUS "find_package consumer:\n${last_output}")

# The installed program finds the installed library from wherever the prefix is.
file(GLOB tolvane ${prefix}/bin/tolvane ${prefix}/bin/tolvane.exe)
if(EMULATOR)
    run(${EMULATOR} ${tolvane} tour)
else()
    run(${tolvane} tour)
endif()
if(NOT last_output MATCHES "5\\. This system")
    message(FATAL_ERROR "the installed tolvane's tour is incomplete:\n${last_output}")
endif()

if(PKG_CONFIG)
    set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
    run(${PKG_CONFIG} --cflags --libs tolvaneutil)
    string(STRIP "${last_output}" flags)
    separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS} ${EXE_LINKER_FLAGS} ${flags}")
    run(${CXX_COMPILER} -std=c++17 ${SOURCE_DIR}/consumer.cpp -o ${WORK_DIR}/pkg-consumer ${flags}
        -Wl,-rpath,${prefix}/lib)
    run(${WORK_DIR}/pkg-consumer)
    message(STATUS "pkg-config consumer:\n${last_output}")
endif()
