# Installation (headers, library, runtime DLLs, the tolvane program, CMake and pkg-config
# packages) and CPack: a .deb on Linux, a .zip for each Windows build.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

install(TARGETS TolvaneUtil EXPORT TolvaneUtilTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} NAMELINK_COMPONENT Development
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
if(TOLVANE_MINGW_RUNTIME_DLLS)
    install(FILES ${TOLVANE_MINGW_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

set(_config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/TolvaneUtil)
install(EXPORT TolvaneUtilTargets NAMESPACE Tolvane:: DESTINATION ${_config_dir})
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TolvaneUtilConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/TolvaneUtilConfig.cmake
                              INSTALL_DESTINATION ${_config_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TolvaneUtilConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TolvaneUtilConfig.cmake
              ${PROJECT_BINARY_DIR}/TolvaneUtilConfigVersion.cmake
        DESTINATION ${_config_dir})

list(TRANSFORM TOLVANE_PUBLIC_DEFINITIONS PREPEND "-D" OUTPUT_VARIABLE _pc_definitions)
list(JOIN _pc_definitions " " TOLVANE_PC_DEFINITIONS)
configure_file(${PROJECT_SOURCE_DIR}/cmake/tolvaneutil.pc.in ${PROJECT_BINARY_DIR}/tolvaneutil.pc
               @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tolvaneutil.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

set(CPACK_PACKAGE_NAME tolvaneutil)
set(CPACK_PACKAGE_VENDOR "TolvaneUtil developers")
set(CPACK_PACKAGE_CONTACT "TolvaneUtil developers <tolvaneutil@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_SYSTEM_NAME windows-${CMAKE_SYSTEM_PROCESSOR})
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libboost-dev (>= 1.74)")
    set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
endif()
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
include(CPack)
