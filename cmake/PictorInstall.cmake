# Installs the library, its public headers (the canvas and the platform layer it speaks), a CMake
# package (find_package(pictor) → pictor::pictor), a pkg-config file and the README.
# Two components, which become the two Debian packages (cmake/PictorPackage.cmake): `runtime` (the shared
# library, the clipboard helper, the tool) and `development` (everything a program is built with).
include(CMakePackageConfigHelpers)

install(TARGETS pictor EXPORT pictorTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
install(FILES ${PROJECT_SOURCE_DIR}/src/core/FxPictor.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pictor
  COMPONENT development)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/platform/gdiplus ${PROJECT_SOURCE_DIR}/platform/mfc ${PROJECT_SOURCE_DIR}/platform/win
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pictor COMPONENT development FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT development)

set(PICTOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/pictor)
install(EXPORT pictorTargets NAMESPACE pictor:: DESTINATION ${PICTOR_CMAKE_DIR} COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/pictorConfig.cmake.in
  ${PROJECT_BINARY_DIR}/pictorConfig.cmake INSTALL_DESTINATION ${PICTOR_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/pictorConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/pictorConfig.cmake ${PROJECT_BINARY_DIR}/pictorConfigVersion.cmake
  ${PROJECT_SOURCE_DIR}/cmake/PictorEngine.cmake DESTINATION ${PICTOR_CMAKE_DIR} COMPONENT development)
if(EXISTS ${PROJECT_SOURCE_DIR}/cmake/PictorResources.cmake)
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/PictorResources.cmake DESTINATION ${PICTOR_CMAKE_DIR}
    COMPONENT development)
endif()

file(RELATIVE_PATH PICTOR_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(${PROJECT_SOURCE_DIR}/cmake/pictor.pc.in ${PROJECT_BINARY_DIR}/pictor.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/pictor.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

# Installed into a system prefix, the library is found at once: the loader's cache is refreshed, as a
# package would do. Elsewhere (or when staging with DESTDIR) programs find it by their RPATH or by
# LD_LIBRARY_PATH.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "" AND CMAKE_INSTALL_PREFIX MATCHES "^/usr(/local)?/?$")
    find_program(PICTOR_LDCONFIG ldconfig PATHS /sbin /usr/sbin)
    if(PICTOR_LDCONFIG)
      execute_process(COMMAND ${PICTOR_LDCONFIG} RESULT_VARIABLE pictor_ldconfig_result)
    endif()
    if(NOT PICTOR_LDCONFIG OR NOT pictor_ldconfig_result EQUAL 0)
      message(WARNING "ldconfig could not run: run it as root before starting programs that use libpictor")
    endif()
  endif()
]] COMPONENT runtime)
