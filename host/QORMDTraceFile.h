// Sends the framework's traces where the environment variable QORMD_TRACE
// says: a file path (appended to), or "-" for standard error. Unset or
// empty: traces stay silent.
#pragma once

class QORMDTraceFile {
public:
    QORMDTraceFile();
    ~QORMDTraceFile();
    QORMDTraceFile(const QORMDTraceFile&) = delete;
    QORMDTraceFile& operator=(const QORMDTraceFile&) = delete;

private:
    void* file_ = nullptr;  // FILE*, owned unless it is stderr
    bool owned_ = false;
};
