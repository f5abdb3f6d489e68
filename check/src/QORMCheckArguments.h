// SPDX-License-Identifier: Apache-2.0
// cCheckArguments: the command line of QORMetaCheck.
//   QORMetaCheck [-Werror] [-Columns utf16|bytes] [--] FILE...
//   QORMetaCheck -h | -v
#pragma once

#include <string>
#include <vector>

class cCheckArguments {
public:
    enum Outcome { kRun, kHelp, kVersion, kWrong };

    // Reads the arguments; on kWrong, Error() says what is wrong.
    Outcome Parse(int argc, const char* const argv[]);

    const std::vector<std::string>& Files() const { return files_; }
    bool WarningsAsErrors() const { return warningsAsErrors_; }
    // -Columns bytes: columns count bytes rather than UTF-16 units.
    bool ByteColumns() const { return byteColumns_; }
    const std::string& Error() const { return error_; }

    static const char* Usage();

private:
    // Reads the value of -Columns: false, with error_ set, when it is none of the two.
    bool Columns(const char* value);

    std::vector<std::string> files_;
    bool warningsAsErrors_ = false;
    bool byteColumns_ = false;
    std::string error_;
};
