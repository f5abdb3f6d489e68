// SPDX-License-Identifier: Apache-2.0
// What the Windows side of the platform shares: UTF-8 names to and from the
// UTF-16 of Windows calls (through ZULUnicodeString, so that bytes that are
// not UTF-8 survive), and Windows errors as the texts POSIX systems print.
#pragma once

#include <string>

// For a Windows call: the UTF-16 form of a UTF-8 text.
std::wstring ZULWide(const std::string& utf8);
// From a Windows call: the UTF-8 form of a UTF-16 text.
std::string ZULNarrow(const wchar_t* wide);
// The text of a Windows error code (GetLastError): strerror's for the codes
// that have a POSIX counterpart, so that messages read the same everywhere;
// else Windows' own.
std::string ZULWindowsError(unsigned long code);
