# SPDX-License-Identifier: Apache-2.0
# What `cmake --install` puts under the prefix (LIBDIR: lib/<multiarch
# triplet> where the platform has one, as Debian's own libraries, else lib):
#   bin/QORMetaDiff                                the command-line host
#   bin/QORMetaMerge, bin/qormeta-git-diff         the merge and the git diff driver
#   bin/QORMetaReport, bin/QORMetaCheck            the change report and the check
#   LIBDIR/libQORMetaDiff.so, libZULBase.so, libQORMetaUtil.so  (+ SONAME links)
#   include/QORMetaDiff/*.h, include/ZULBase/*.h, include/QORMetaUtil/*.h
#   LIBDIR/cmake/QORMetaDiff/                      find_package(QORMetaDiff)
#   LIBDIR/pkgconfig/QORMetaDiff.pc                pkg-config QORMetaDiff
#   share/man/man1/*.1.gz
# Three components: Libraries (the shared libraries), Runtime (the programs
# and their man pages) and Development (headers, link-time symlinks, CMake
# and pkg-config files). The static QORMetaDiffCore exists for the tests and
# is not installed.
include(CMakePackageConfigHelpers)

option(QORMD_MULTIARCH "Install the libraries into lib/<multiarch triplet> where the platform has one" ON)
if(QORMD_MULTIARCH AND CMAKE_LIBRARY_ARCHITECTURE AND CMAKE_INSTALL_LIBDIR STREQUAL "lib")
  set(CMAKE_INSTALL_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}")
  set(CMAKE_INSTALL_FULL_LIBDIR "${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
endif()

set(QORMD_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/QORMetaDiff")

# Relocatable run paths: the libraries find each other beside themselves and
# the host finds them from bin/, wherever the prefix is.
file(RELATIVE_PATH QORMD_BIN_TO_LIB "${CMAKE_INSTALL_FULL_BINDIR}" "${CMAKE_INSTALL_FULL_LIBDIR}")
set_target_properties(QORMetaUtil QORMetaDiff PROPERTIES INSTALL_RPATH "$ORIGIN")
set_target_properties(QORMetaDiffHost PROPERTIES INSTALL_RPATH "$ORIGIN/${QORMD_BIN_TO_LIB}")

# On Windows the DLLs go beside the programs, their import libraries to LIBDIR.
install(TARGETS ZULBase QORMetaUtil QORMetaDiff
  EXPORT QORMetaDiffTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT Libraries
    NAMELINK_COMPONENT Development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
    COMPONENT Libraries
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT Development)
install(TARGETS QORMetaDiffHost RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

install(DIRECTORY
    ${PROJECT_SOURCE_DIR}/platform/ZULBase/include/ZULBase
    ${PROJECT_SOURCE_DIR}/platform/QORMetaUtil/include/QORMetaUtil
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
  COMPONENT Development
  FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/QORMetaDiff.m/include/
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/QORMetaDiff
  COMPONENT Development
  FILES_MATCHING PATTERN "*.h")
install(FILES ${PROJECT_BINARY_DIR}/QORMetaDiff.m/generated/QORMDExport.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/QORMetaDiff
  COMPONENT Development)

# CMake package: QORMetaDiff::QORMetaDiff (with QORMetaDiff::ZULBase and
# QORMetaDiff::QORMetaUtil behind it), version-checked by major version.
install(EXPORT QORMetaDiffTargets
  NAMESPACE QORMetaDiff::
  DESTINATION ${QORMD_CMAKE_DIR}
  COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/QORMetaDiffConfig.cmake.in
  ${PROJECT_BINARY_DIR}/QORMetaDiffConfig.cmake
  INSTALL_DESTINATION ${QORMD_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/QORMetaDiffConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMajorVersion)
install(FILES
    ${PROJECT_BINARY_DIR}/QORMetaDiffConfig.cmake
    ${PROJECT_BINARY_DIR}/QORMetaDiffConfigVersion.cmake
  DESTINATION ${QORMD_CMAKE_DIR}
  COMPONENT Development)

# pkg-config file. The prefix is only known at install time (`cmake --install
# --prefix`, or /usr when CPack stages a package), so the file is written then.
install(CODE "
  set(QORMD_PC_TEMPLATE [[${CMAKE_CURRENT_LIST_DIR}/QORMetaDiff.pc.in]])
  set(QORMD_PC_OUTPUT [[${PROJECT_BINARY_DIR}/QORMetaDiff.pc]])
  set(QORMD_PC_LIBDIR [[${CMAKE_INSTALL_LIBDIR}]])
  set(QORMD_PC_INCLUDEDIR [[${CMAKE_INSTALL_INCLUDEDIR}]])
  set(QORMD_PC_VERSION [[${PROJECT_VERSION}]])
  include([[${CMAKE_CURRENT_LIST_DIR}/QORMetaDiffWritePkgConfig.cmake]])
" COMPONENT Development)
install(FILES ${PROJECT_BINARY_DIR}/QORMetaDiff.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
  COMPONENT Development)

# Man pages: doc/<name>.1.in with the version filled in, compressed as Debian
# wants them (-n: no name or time stamp, so the same page always gives the
# same bytes), installed with the Runtime component.
# Windows has no man: its zip holds the manuals in markdown instead.
function(qormd_add_man_page name)
  if(WIN32)
    return()
  endif()
  configure_file(${PROJECT_SOURCE_DIR}/doc/${name}.1.in ${PROJECT_BINARY_DIR}/doc/${name}.1 @ONLY)
  set(compressed ${PROJECT_BINARY_DIR}/doc/${name}.1.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/doc/${name}.1 > ${compressed}
    DEPENDS ${PROJECT_BINARY_DIR}/doc/${name}.1
    COMMENT "Compressing the man page ${name}.1")
  add_custom_target(${name}ManPage ALL DEPENDS ${compressed})
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT Runtime)
endfunction()
qormd_add_man_page(QORMetaDiff)

# A program beside the host (the report, the check): installed in bin/ with the
# Runtime component, finding the platform libraries from there as the host
# does, with its man page doc/<target>.1.in.
function(qormd_install_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${QORMD_BIN_TO_LIB}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)
  qormd_add_man_page(${target})
endfunction()
