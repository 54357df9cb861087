# Debian packages, made in the build folder with `cpack -G DEB`: libpictor0 (the install's `runtime`
# component: the shared library, the clipboard helper, the tool) and libpictor-dev (`development`: the
# headers, the pkg-config and CMake files, the README), both installed under /usr. The run-time
# dependencies are worked out from the binaries by dpkg-shlibdeps (dpkg-dev); the packages' own scripts
# refresh the loader's cache.
set(PICTOR_PACKAGE_MAINTAINER "PICTOR maintainers <maintainers@pictor.invalid>"
  CACHE STRING "The Maintainer field of the Debian packages")

set(CPACK_PACKAGE_NAME pictor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${PICTOR_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A shlibs file lets programs packaged against the library depend on it; with the library under /usr/lib,
# CPack's postinst and postrm run ldconfig.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libpictor0)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# Text falls back to the generic sans-serif family, which needs at least one font.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS fonts-dejavu-core)
# The first line of a description is the package's synopsis.
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "PICTOR drawing library: shared library, clipboard helper and tool
PICTOR is a C++20 drawing canvas (CFxPictor) with a GDI+-style object model, drawn by libgdiplus.
This package holds the shared library, the pictor-clipboard helper that keeps copied pictures on the
X clipboard, and the pictor command-line tool.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libpictor-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SUGGESTS "pkg-config, cmake")
# The headers and the link name belong to exactly this build of the library.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "PICTOR drawing library: development files
PICTOR is a C++20 drawing canvas (CFxPictor) with a GDI+-style object model, drawn by libgdiplus.
This package holds the headers, the pkg-config file, the CMake package (find_package(pictor)) and
the README.")

include(CPack)
