// SPDX-License-Identifier: Apache-2.0
// cReportArguments: the command line of QORMetaReport.
//   QORMetaReport -New new.xml [-Old old.xml] [-Config FILE] [-Format text|markdown|html] [-Out report]
//   QORMetaReport -Deleted old.xml [-Config FILE] [-Format ...] [-Out report]   (everything deleted, as the diff host)
//   QORMetaReport -Git A..B [-Path GLOB]... [-Config FILE] [-Format ...] [-Out report]   (a revision range)
//   QORMetaReport -h | -v
#pragma once

#include <string>
#include <vector>

class cReportArguments {
public:
    enum Format { kText, kMarkdown, kHtml };
    enum Outcome { kRun, kHelp, kVersion, kWrong };

    // Reads the arguments; on kWrong, Error() says what is wrong.
    Outcome Parse(int argc, const char* const argv[]);

    const std::string& NewFile() const { return newFile_; }           // empty: -Deleted, no new document
    const std::string& OldFile() const { return oldFile_; }           // empty: no old document
    const std::string& OutFile() const { return outFile_; }           // empty: standard output
    const std::string& Config() const { return config_; }             // -Config: empty when not given
    const std::string& GitRange() const { return gitRange_; }         // empty: two documents
    const std::vector<std::string>& Paths() const { return paths_; }  // -Path, in the order given
    Format GetFormat() const { return format_; }
    const std::string& Error() const { return error_; }

    static const char* Usage();

private:
    Outcome Wrong(std::string error);
    // True when the output would replace one of the documents.
    bool OutputIsAnInput() const;

    std::string newFile_;
    std::string oldFile_;
    std::string outFile_;
    std::string config_;
    std::string deletedFile_;
    std::string gitRange_;
    std::vector<std::string> paths_;
    Format format_ = kText;
    std::string error_;
};
