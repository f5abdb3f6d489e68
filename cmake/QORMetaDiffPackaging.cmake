# Debian packages, built with `cpack -G DEB` from a configured build folder:
#   qormetadiff      the shared libraries, the host QORMetaDiff and its man page
#   qormetadiff-dev  headers, link-time symlinks, CMake and pkg-config files
# Runtime dependencies (libxerces-c3.2, libstdc++6, libc6...) are computed by
# dpkg-shlibdeps from the binaries themselves.
set(CPACK_PACKAGE_NAME "qormetadiff")
set(CPACK_PACKAGE_VENDOR "QORMetaDiff team")
set(CPACK_PACKAGE_CONTACT "QORMetaDiff team <qormetadiff@localhost>")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# The pkg-config file is written at install time from CMAKE_INSTALL_PREFIX:
# staging through DESTDIR keeps that prefix /usr instead of the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# shlibs file for the packaged libraries (other packages' dependencies on them).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "qormetadiff")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION "utils")
# dpkg runs ldconfig once after installing or removing the libraries.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA "${PROJECT_SOURCE_DIR}/cmake/debian/triggers")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME "qormetadiff-dev")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION "libdevel")
# The installed headers include Xerces-C's headers.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libxerces-c-dev (>= 3.2)")

# A package's description: its first line is the synopsis, the rest the long text.
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "compares two versions of a metadata document
QORMetaDiff compares an old and a new version of a metadata document
(package, classes, attributes) and writes the added, deleted and modified
elements as a diff document. This package holds the shared libraries and
the command-line host QORMetaDiff.")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "development files for the QORMetaDiff library
Headers, CMake package (find_package(QORMetaDiff)) and pkg-config file
(QORMetaDiff.pc) for programs that compare metadata documents with
the QORMetaDiff library.")
include(CPack)
cpack_add_component(Runtime DISPLAY_NAME "QORMetaDiff libraries and command-line host")
cpack_add_component(Development DISPLAY_NAME "QORMetaDiff development files" DEPENDS Runtime)
