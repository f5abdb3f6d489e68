#include "QORMDTraceFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "QORMetaUtil/QORMUTrace.h"

QORMDTraceFile::QORMDTraceFile() {
    const char* target = std::getenv("QORMD_TRACE");
    if (!target || !*target) return;
    FILE* file = stderr;
    if (std::strcmp(target, "-") != 0) {
        file = std::fopen(target, "a");
        if (!file) {
            std::fprintf(stderr, "QORMetaDiff: cannot open the trace file %s given by QORMD_TRACE: %s\n", target,
                         std::strerror(errno));
            return;
        }
        owned_ = true;
    }
    file_ = file;
    QORMUSetTraceSink([file](QORMUTraceWeight weight, const char* text, const char* second) {
        if (second)
            std::fprintf(file, "[%d] %s %s\n", static_cast<int>(weight), text, second);
        else
            std::fprintf(file, "[%d] %s\n", static_cast<int>(weight), text);
    });
}

QORMDTraceFile::~QORMDTraceFile() {
    QORMUSetTraceSink(nullptr);
    if (owned_) std::fclose(static_cast<FILE*>(file_));
}
