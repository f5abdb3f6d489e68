// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUTrace.h"

namespace {
QORMUTraceSink& Sink() {
    static QORMUTraceSink sink;
    return sink;
}
}  // namespace

QORMUTraceSink QORMUSetTraceSink(QORMUTraceSink sink) {
    QORMUTraceSink previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

bool QORMUTraceEnabled() { return static_cast<bool>(Sink()); }

void Trace(const char* text, QORMUTraceWeight weight) {
    if (Sink()) Sink()(weight, text ? text : "", nullptr);
}

void Trace(const char* text, const ZULUnicodeString& second, QORMUTraceWeight weight) {
    if (Sink()) Sink()(weight, text ? text : "", second.ConvertToChar());
}
