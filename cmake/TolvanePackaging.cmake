# Installation (headers, library, runtime DLLs, the tolvane program, CMake and pkg-config
# packages) in two components, Runtime and Development, and CPack: two .deb packages on Linux
# (libtolvaneutil1 and libtolvaneutil-dev), a .zip for each Windows build.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS TolvaneUtil EXPORT TolvaneUtilTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime
                NAMELINK_COMPONENT Development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        COMPONENT Development)
if(TOLVANE_MINGW_RUNTIME_DLLS)
    install(FILES ${TOLVANE_MINGW_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR}
            COMPONENT Runtime)
endif()

# The licence goes with each package, where Debian looks for it.
if(WIN32)
    install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/TolvaneUtil
            COMPONENT Runtime)
else()
    foreach(_package_component libtolvaneutil1:Runtime libtolvaneutil-dev:Development)
        string(REPLACE ":" ";" _pair ${_package_component})
        list(GET _pair 0 _package)
        list(GET _pair 1 _component)
        install(FILES ${PROJECT_SOURCE_DIR}/LICENSE
                DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_package} RENAME copyright
                COMPONENT ${_component})
        # Debian wants a changelog beside it, compressed reproducibly.
        set(_changelog ${PROJECT_BINARY_DIR}/packaging/${_package}/changelog)
        file(WRITE ${_changelog}
             "${_package} (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
             "  * Release ${PROJECT_VERSION}.\n\n"
             " -- ${TOLVANE_PACKAGE_MAINTAINER}  Sun, 06 Dec 2026 00:00:00 +0000\n")
        execute_process(COMMAND gzip -9nf ${_changelog})
        install(FILES ${_changelog}.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${_package}
                COMPONENT ${_component})
    endforeach()
endif()

set(_config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/TolvaneUtil)
install(EXPORT TolvaneUtilTargets NAMESPACE Tolvane:: DESTINATION ${_config_dir}
        COMPONENT Development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TolvaneUtilConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/TolvaneUtilConfig.cmake
                              INSTALL_DESTINATION ${_config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TolvaneUtilConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TolvaneUtilConfig.cmake
              ${PROJECT_BINARY_DIR}/TolvaneUtilConfigVersion.cmake
        DESTINATION ${_config_dir} COMPONENT Development)

list(TRANSFORM TOLVANE_PUBLIC_DEFINITIONS PREPEND "-D" OUTPUT_VARIABLE _pc_definitions)
list(JOIN _pc_definitions " " TOLVANE_PC_DEFINITIONS)
configure_file(${PROJECT_SOURCE_DIR}/cmake/tolvaneutil.pc.in ${PROJECT_BINARY_DIR}/tolvaneutil.pc
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tolvaneutil.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
        COMPONENT Development)

set(CPACK_PACKAGE_NAME tolvaneutil)
set(CPACK_PACKAGE_VENDOR "The TolvaneUtil developers")
set(CPACK_PACKAGE_CONTACT "${TOLVANE_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "C++ utilities: exceptions, code pages, DLL loading, timeouts")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_ALL Runtime Development)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TOLVANE_PACKAGE_MAINTAINER}")
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${TOLVANE_PACKAGE_HOMEPAGE}")
    set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libtolvaneutil1)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
    set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
    # The dynamic linker's cache is refreshed by dpkg's trigger, as Debian asks of libraries.
    file(WRITE ${PROJECT_BINARY_DIR}/packaging/triggers "activate-noawait ldconfig\n")
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/packaging/triggers)
    set(CPACK_DEBIAN_RUNTIME_DESCRIPTION
        "C++ utilities for Windows-style code: library and tolvane program\nExceptions, code-page conversion, DLL loading, random numbers and timeouts.\nThe tolvane program converts text between encodings and tries the\nlibrary's services from the shell.")
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtolvaneutil-dev)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
    set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
        "libboost-dev (>= 1.74), libtolvaneutil1 (= ${PROJECT_VERSION})")
    set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
        "C++ utilities for Windows-style code: development files\nHeaders, CMake package and pkg-config file for building programs with\nTolvaneUtil.")
endif()
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
include(CPack)
