# Installs the library, its public headers (the canvas and the platform layer it speaks), a CMake
# package (find_package(pictor) → pictor::pictor) and a pkg-config file.
include(CMakePackageConfigHelpers)

install(TARGETS pictor EXPORT pictorTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/core/FxPictor.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pictor)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/platform/gdiplus ${CMAKE_SOURCE_DIR}/platform/mfc ${CMAKE_SOURCE_DIR}/platform/win
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/pictor FILES_MATCHING PATTERN "*.h")

set(PICTOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/pictor)
install(EXPORT pictorTargets NAMESPACE pictor:: DESTINATION ${PICTOR_CMAKE_DIR})
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/pictorConfig.cmake.in
  ${CMAKE_BINARY_DIR}/pictorConfig.cmake INSTALL_DESTINATION ${PICTOR_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/pictorConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/pictorConfig.cmake ${CMAKE_BINARY_DIR}/pictorConfigVersion.cmake
  DESTINATION ${PICTOR_CMAKE_DIR})
if(EXISTS ${CMAKE_SOURCE_DIR}/cmake/PictorResources.cmake)
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/PictorResources.cmake DESTINATION ${PICTOR_CMAKE_DIR})
endif()

file(RELATIVE_PATH PICTOR_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
configure_file(${CMAKE_SOURCE_DIR}/cmake/pictor.pc.in ${CMAKE_BINARY_DIR}/pictor.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/pictor.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
