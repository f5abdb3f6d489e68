// SPDX-License-Identifier: Apache-2.0
// Reports errors to the user.
#pragma once

#include <functional>
#include <string>

#include "ZULBase/ZULError.h"

class cQORMUCallback {
public:
    // Where printed errors go: standard error by default.
    using Sink = std::function<void(const std::string& line)>;

    // Prints the error's catalog text with its parameters, prefixed by its
    // kind and message id. The error stays the framework's (see ZULError.h).
    static void PrintError(ZULError*& error);
    // The line PrintError prints for an error (without the line end), its
    // control characters escaped (QORMUPrintableLine).
    static std::string FormatError(const ZULError* error);
    // Installs a sink (empty: standard error); returns the previous one.
    static Sink SetSink(Sink sink);
};
