# SPDX-License-Identifier: Apache-2.0
# Cross-compiling for Windows x64 with Debian's MinGW-w64 (the posix thread
# model, which std::thread and std::mutex need). QORMD_WINDOWS_CACHE names the
# cache of scripts/build-windows.sh: its prefix/ holds the dependencies it
# built, its wine/ the Wine prefix in which the programs built here run on
# Linux (cmake/windows/wine-run.sh, CMake's emulator for the tests).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QORMD_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QORMD_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QORMD_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QORMD_MINGW_TRIPLET}-windres)

# Libraries, headers and packages come from MinGW's own folder and the
# dependency prefix only, never from the Linux system; programs from Linux.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QORMD_WINDOWS_CACHE)
set(CMAKE_FIND_ROOT_PATH /usr/${QORMD_MINGW_TRIPLET} ${QORMD_WINDOWS_CACHE}/prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/windows/wine-run.sh ${QORMD_WINDOWS_CACHE})
