// SPDX-License-Identifier: Apache-2.0
// cCheckArguments: the command line of QORMetaCheck.
//   QORMetaCheck [OPTION]... [--] FILE...                     the documents alone
//   QORMetaCheck [OPTION]... -Old OLD [--] FILE               and FILE's changes since OLD
//   QORMetaCheck [OPTION]... -Against REV [-Path PATHSPEC]... [--] [FILE...]
//                                                             and their changes since the git revision REV
//   QORMetaCheck -h | -v
// OPTION: -Config FILE, -Werror, -Columns utf16|bytes, -Format gcc|sarif|codequality.
#pragma once

#include <string>
#include <vector>

class cCheckArguments {
public:
    enum Outcome { kRun, kHelp, kVersion, kWrong };
    enum Format { kGcc, kSarif, kCodeQuality };

    // Reads the arguments; on kWrong, Error() says what is wrong.
    Outcome Parse(int argc, const char* const argv[]);

    const std::vector<std::string>& Files() const { return files_; }
    const std::string& Old() const { return old_; }          // -Old: empty when not given
    const std::string& Against() const { return against_; }  // -Against: empty when not given
    const std::vector<std::string>& Paths() const { return paths_; }
    const std::string& Config() const { return config_; }  // -Config: empty when not given
    Format GetFormat() const { return format_; }
    bool WarningsAsErrors() const { return warningsAsErrors_; }
    // -Columns bytes: columns count bytes rather than UTF-16 units.
    bool ByteColumns() const { return byteColumns_; }
    const std::string& Error() const { return error_; }

    static const char* Usage();

private:
    Outcome Wrong(std::string error);
    // Reads the value of an option that takes one: false, with error_ set, when it has none.
    bool Value(const std::string& option, const char* value, std::string& into);
    // Whether the options make one of the forms above.
    Outcome Form();

    std::vector<std::string> files_;
    std::string old_, against_, config_;
    std::vector<std::string> paths_;
    Format format_ = kGcc;
    bool warningsAsErrors_ = false;
    bool byteColumns_ = false;
    std::string error_;
};
