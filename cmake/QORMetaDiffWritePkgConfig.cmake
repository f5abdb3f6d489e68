# SPDX-License-Identifier: Apache-2.0
# Runs at install time (see QORMetaDiffInstall.cmake): writes QORMetaDiff.pc
# for the prefix being installed to. Relative directories are written
# relative to ${prefix}, as pkg-config users expect.
set(prefix "${CMAKE_INSTALL_PREFIX}")
foreach(var QORMD_PC_LIBDIR QORMD_PC_INCLUDEDIR)
  if(NOT IS_ABSOLUTE "${${var}}")
    set(${var} "\${prefix}/${${var}}")
  endif()
endforeach()
configure_file("${QORMD_PC_TEMPLATE}" "${QORMD_PC_OUTPUT}" @ONLY)
