// SPDX-License-Identifier: Apache-2.0
// The framework's trace service. Traces go to a pluggable sink; with no sink
// set (the default) they are dropped. Nothing a program does may depend on a trace.
// Threads: the sink is one for the whole process, without a lock; set it
// before runs start, and trace from one thread at a time.
#pragma once

#include <functional>

#include "ZULBase/ZULUnicodeString.h"

enum QORMUTraceWeight { QORMUTrace_W1 = 1, QORMUTrace_W2 = 2, QORMUTrace_W3 = 3 };

// Receives each trace: its weight, its text and its second text (null when
// the trace has none). Texts are UTF-8.
using QORMUTraceSink = std::function<void(QORMUTraceWeight weight, const char* text, const char* second)>;

// Installs the sink (an empty function silences traces); returns the previous one.
QORMUTraceSink QORMUSetTraceSink(QORMUTraceSink sink);
bool QORMUTraceEnabled();

void Trace(const char* text, QORMUTraceWeight weight);
void Trace(const char* text, const ZULUnicodeString& second, QORMUTraceWeight weight);
