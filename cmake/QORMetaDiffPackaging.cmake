# SPDX-License-Identifier: Apache-2.0
# Debian packages, built with `cpack -G DEB` from a configured build folder:
#   libqormetadiff5  the shared libraries (named after their SONAME, .so.5)
#   qormetadiff      the programs QORMetaDiff, QORMetaMerge, qormeta-git-diff,
#                    QORMetaReport, QORMetaCheck and their man pages
#   qormetadiff-dev  headers, link-time symlinks, CMake and pkg-config files
# Each carries the copyright file and the changelog in
# /usr/share/doc/<package>/. Runtime dependencies (libxerces-c3.2,
# libstdc++6, libc6...) are computed by dpkg-shlibdeps from the binaries.
set(QORMD_MAINTAINER "QORMetaDiff maintainers <maintainers@qormetadiff.org>" CACHE STRING
  "Maintainer field of the Debian packages")
set(CPACK_PACKAGE_NAME "qormetadiff")
set(CPACK_PACKAGE_VENDOR "QORMetaDiff team")
set(CPACK_PACKAGE_CONTACT "${QORMD_MAINTAINER}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# Apache License 2.0; each package's copyright file (cmake/debian/copyright) says so.
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
# The pkg-config file is written at install time from CMAKE_INSTALL_PREFIX:
# staging through DESTDIR keeps that prefix /usr instead of the staging folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL Libraries Runtime Development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "devel")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The programs need the libraries of the Libraries component: dpkg-shlibdeps
# finds them in its staging folder (it runs in each component's own); the
# dependency on their package is the component dependency below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS "../Libraries${CPACK_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# shlibs file for the packaged libraries (other packages' dependencies on them).
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(QORMD_LIBRARY_PACKAGE "libqormetadiff${PROJECT_VERSION_MAJOR}")
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_NAME "${QORMD_LIBRARY_PACKAGE}")
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_SECTION "libs")
# dpkg runs ldconfig once after installing or removing the libraries (the
# trigger); the maintainer scripts stand in for CPack's, which would call it.
set(CPACK_DEBIAN_LIBRARIES_PACKAGE_CONTROL_EXTRA
  "${PROJECT_SOURCE_DIR}/cmake/debian/triggers;${PROJECT_SOURCE_DIR}/cmake/debian/postinst;${PROJECT_SOURCE_DIR}/cmake/debian/postrm")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "qormetadiff")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION "utils")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME "qormetadiff-dev")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION "libdevel")
# The installed headers include Xerces-C's headers.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS "libxerces-c-dev (>= 3.2)")

# A package's description: its first line is the synopsis, the rest the long text.
set(CPACK_DEBIAN_LIBRARIES_DESCRIPTION "libraries that compare versions of a metadata document
The QORMetaDiff libraries compare an old and a new version of a metadata
document (package, classes, attributes) and find the added, deleted and
modified elements. This package holds the shared libraries.")
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "compares, merges and checks versions of a metadata document
QORMetaDiff compares an old and a new version of a metadata document
(package, classes, attributes) and writes the added, deleted and modified
elements as a diff document. QORMetaMerge merges two versions edited from
a common one, keyed by Uuid, with a git merge driver; qormeta-git-diff is
a git diff driver that shows the change report. QORMetaReport reports the
changes for people, of two documents or of every document a git revision
range changed; QORMetaCheck lists every problem of a document.")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "development files for the QORMetaDiff library
Headers, CMake package (find_package(QORMetaDiff)) and pkg-config file
(QORMetaDiff.pc) for programs that compare metadata documents with
the QORMetaDiff library.")
include(CPack)
cpack_add_component(Libraries DISPLAY_NAME "QORMetaDiff shared libraries")
cpack_add_component(Runtime DISPLAY_NAME "QORMetaDiff programs" DEPENDS Libraries)
cpack_add_component(Development DISPLAY_NAME "QORMetaDiff development files" DEPENDS Libraries)

# The copyright file and the changelog (compressed as Debian wants it: -n, the
# same bytes every time) of each package, in component installs only.
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
  COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/debian/changelog > ${PROJECT_BINARY_DIR}/debian/changelog.gz
  DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog
  COMMENT "Compressing the Debian changelog")
add_custom_target(QORMDDebianChangelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
foreach(component Libraries Runtime Development)
  string(TOUPPER ${component} upper)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME}
    COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()
