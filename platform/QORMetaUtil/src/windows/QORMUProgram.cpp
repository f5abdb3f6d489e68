// SPDX-License-Identifier: Apache-2.0
// On Windows: the arguments from the UTF-16 command line, the standard
// streams in binary mode (no CR added before LF), and a console that shows
// UTF-8 while the program runs.
#include "QORMetaUtil/QORMUProgram.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdlib>

#include "ZULWindows.h"

namespace {

UINT consoleCodePage = 0;

void RestoreConsole() {
    if (consoleCodePage != 0) ::SetConsoleOutputCP(consoleCodePage);
}

}  // namespace

QORMUProgram::QORMUProgram(int argc, char* argv[]) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide) {
        for (int i = 0; i < count; ++i) arguments_.push_back(ZULNarrow(wide[i]));
        ::LocalFree(wide);
    } else {
        arguments_.assign(argv, argv + argc);
    }
    for (std::string& argument : arguments_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);

    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    if (consoleCodePage == 0 && (IsTerminal(stdout) || IsTerminal(stderr))) {
        consoleCodePage = ::GetConsoleOutputCP();
        ::SetConsoleOutputCP(CP_UTF8);
        std::atexit(RestoreConsole);
    }
}

bool QORMUProgram::IsTerminal(std::FILE* stream) {
    DWORD mode = 0;
    return ::GetConsoleMode(reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream))), &mode) != 0;
}
