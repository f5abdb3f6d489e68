# SPDX-License-Identifier: Apache-2.0
# The zip for Windows, built with `cpack -G ZIP` in the build folder:
# QORMetaDiff-<version>-win64.zip, one folder of that name holding
#   bin/       the programs, the git diff driver, our DLLs and every DLL they
#              load (the MinGW runtime's included), found by what the
#              programs import
#   include/, lib/  headers, import libraries, CMake and pkg-config files
#   doc/       README.md and the manuals
#   LICENSE, licences/  ours, and those of the dependencies and the runtime
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME "QORMetaDiff")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_FILE_NAME "QORMetaDiff-${PROJECT_VERSION}-win64")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL Libraries Runtime Development)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION doc COMPONENT Runtime)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/doc/ DESTINATION doc COMPONENT Runtime FILES_MATCHING PATTERN "*.md")
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT Runtime)
# GoogleTest is built for the tests only: its licence stays out.
install(DIRECTORY ${QORMD_WINDOWS_CACHE}/prefix/licences/ DESTINATION licences COMPONENT Runtime
  PATTERN googletest.txt EXCLUDE)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licences RENAME gcc-mingw-w64.txt
  COMPONENT Runtime)
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licences RENAME mingw-w64.txt COMPONENT Runtime)
install(FILES /usr/share/doc/libz-mingw-w64/copyright DESTINATION licences RENAME zlib.txt COMPONENT Runtime)

# The DLLs the programs and our DLLs load, besides ours (installed with their
# targets): those of the dependencies and the runtime, found in bin/ of the
# build (one not found fails the install); Windows' own are left to Windows.
# (CMake reads Windows' names in lower case: ours, in mixed case, would not
# be found on Linux's file systems.)
install(CODE "
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_PLATFORM windows+pe)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_TOOL objdump)
  set(CMAKE_GET_RUNTIME_DEPENDENCIES_COMMAND [[${CMAKE_OBJDUMP}]])
  file(GET_RUNTIME_DEPENDENCIES
    EXECUTABLES $<TARGET_FILE:QORMetaDiffHost> $<TARGET_FILE:QORMetaMerge> $<TARGET_FILE:QORMetaReport>
      $<TARGET_FILE:QORMetaCheck>
    LIBRARIES $<TARGET_FILE:QORMetaDiff> $<TARGET_FILE:QORMetaUtil> $<TARGET_FILE:ZULBase>
    RESOLVED_DEPENDENCIES_VAR found UNRESOLVED_DEPENDENCIES_VAR missing
    DIRECTORIES [[${CMAKE_RUNTIME_OUTPUT_DIRECTORY}]]
    PRE_INCLUDE_REGEXES [[^lib(xerces|git2|stdc|gcc|winpthread)]] [[^icu]] [[^zlib]]
    PRE_EXCLUDE_REGEXES [[.*]])
  if(missing)
    message(FATAL_ERROR \"DLLs the programs load were not found: \${missing}\")
  endif()
  file(INSTALL \${found} DESTINATION \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
" COMPONENT Runtime)
