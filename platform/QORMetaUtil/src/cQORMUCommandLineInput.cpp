// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/cQORMUCommandLineInput.h"

#include <string>

#include "QORMetaUtil/QORMUTrace.h"

void cQORMUCommandLineInput::trace(int argc, const char* const argv[], const char* title) {
    Trace(title, QORMUTrace_W3);
    if (!QORMUTraceEnabled()) return;
    for (int i = 0; i < argc; ++i) {
        const std::string label = "argv[" + std::to_string(i) + "] =";
        Trace(label.c_str(), ZULUnicodeString(argv && argv[i] ? argv[i] : ""), QORMUTrace_W3);
    }
}
