// SPDX-License-Identifier: Apache-2.0
#include "QORMDHostTraces.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "QORMetaUtil/QORMUPrintableLine.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "ZULBase/ZULFileSystem.h"

QORMDHostTraces::QORMDHostTraces() {
    const char* target = std::getenv("QORMD_TRACE");
    if (target && std::strcmp(target, "-") == 0) {
        file_ = stderr;
    } else if (target && *target) {
        file_ = ZULOpenFile(target, "ab");  // LF line ends on every system
        if (file_) {
            ownsFile_ = true;
        } else {
            std::fprintf(stderr, "QORMetaDiff: cannot open the trace file %s given by QORMD_TRACE: %s\n",
                         QORMUPrintableLine(target).c_str(), std::strerror(errno));
        }
    }
    QORMUSetTraceSink([this](QORMUTraceWeight weight, const char* text, const char* second) {
        std::string line = text;
        if (second) line.append(" ").append(second);
        line = QORMUPrintableLine(line);  // file names may hold control characters
        if (file_) std::fprintf(file_, "[%d] %s\n", static_cast<int>(weight), line.c_str());
        recent_.push_back(std::move(line));
        if (recent_.size() > kKept) recent_.pop_front();
    });
}

QORMDHostTraces::~QORMDHostTraces() {
    QORMUSetTraceSink(nullptr);
    if (ownsFile_) std::fclose(file_);
}

void QORMDHostTraces::PrintRecent() const {
    if (recent_.empty() || file_ == stderr) return;  // already on standard error
    std::fprintf(stderr, "Last traces of the run:\n");
    for (const std::string& line : recent_) std::fprintf(stderr, "  %s\n", line.c_str());
}
