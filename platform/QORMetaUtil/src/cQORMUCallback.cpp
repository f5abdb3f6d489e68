// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/cQORMUCallback.h"

#include <cstdio>

#include "QORMetaUtil/QORMUPrintableLine.h"

namespace {
cQORMUCallback::Sink& CurrentSink() {
    static cQORMUCallback::Sink sink;
    return sink;
}
}  // namespace

std::string cQORMUCallback::FormatError(const ZULError* error) {
    if (!error) return "Error: the operation failed, and there was not even memory left to say why.";
    std::string line = error->GetErrorType() == kZULErrorTypeInformation ? "Information " : "Error ";
    line += error->GetMessageId();
    line += ": ";
    line += error->GetText().ConvertToChar();
    return QORMUPrintableLine(line);
}

void cQORMUCallback::PrintError(ZULError*& error) {
    const std::string line = FormatError(error);
    if (CurrentSink()) {
        CurrentSink()(line);
        return;
    }
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

cQORMUCallback::Sink cQORMUCallback::SetSink(Sink sink) {
    Sink previous = std::move(CurrentSink());
    CurrentSink() = std::move(sink);
    return previous;
}
