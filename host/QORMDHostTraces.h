// SPDX-License-Identifier: Apache-2.0
// The host's trace sink. Traces go where the environment variable
// QORMD_TRACE says: a file path (appended to), or "-" for standard error;
// unset or empty, they are not written. Either way the last few are kept,
// so that a failed run can show what led to its error.
#pragma once

#include <cstdio>
#include <deque>
#include <string>

class QORMDHostTraces {
public:
    static constexpr std::size_t kKept = 8;

    QORMDHostTraces();
    ~QORMDHostTraces();
    QORMDHostTraces(const QORMDHostTraces&) = delete;
    QORMDHostTraces& operator=(const QORMDHostTraces&) = delete;

    // Writes the kept traces to standard error under a heading.
    void PrintRecent() const;

private:
    std::FILE* file_ = nullptr;  // where traces are written; null: nowhere
    bool ownsFile_ = false;
    std::deque<std::string> recent_;
};
