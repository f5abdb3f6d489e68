# SPDX-License-Identifier: Apache-2.0
# The Windows build (cmake/mingw-w64-x86_64.cmake, scripts/build-windows.sh):
# every program and DLL goes to bin/ with the DLLs they load copied beside
# them, so that they run in the build folder as from the unpacked zip.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# The DLLs besides ours: the MinGW runtime and zlib (Debian's MinGW packages)
# and those scripts/build-windows.sh built into the dependency prefix.
set(QORMD_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll zlib1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
    message(FATAL_ERROR "${dll} of MinGW-w64 was not found: scripts/install-deps.sh --windows installs it")
  endif()
  list(APPEND QORMD_RUNTIME_DLLS ${path})
endforeach()
file(GLOB QORMD_DEPENDENCY_DLLS ${QORMD_WINDOWS_CACHE}/prefix/bin/*.dll)
list(APPEND QORMD_RUNTIME_DLLS ${QORMD_DEPENDENCY_DLLS})
file(COPY ${QORMD_RUNTIME_DLLS} DESTINATION ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
