#include "QORMRArguments.h"

#include <cstring>
#include <sys/stat.h>

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {}, second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

}  // namespace

const char* cReportArguments::Usage() {
    return "Usage: QORMetaReport -New new.xml [-Old old.xml] [-Format text|markdown|html] [-Out report]\n"
           "       QORMetaReport -Deleted old.xml [-Format text|markdown|html] [-Out report]\n"
           "       QORMetaReport -h | -v\n"
           "Reports what changed between two versions of a metadata document, class by class.\n"
           "  -New     the new version (required)\n"
           "  -Old     the old version; without it, everything in the new one is added\n"
           "  -Deleted a document compared with nothing: everything in it is deleted\n"
           "  -Format  text (the default), markdown or html\n"
           "  -Out     the file to write; without it, standard output\n"
           "Exit status: 0 report written, 1 failed run (nothing written), 2 wrong arguments.\n";
}

cReportArguments::Outcome cReportArguments::Parse(int argc, const char* const argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0) return kHelp;
    if (argc == 2 && std::strcmp(argv[1], "-v") == 0) return kVersion;
    bool formatSeen = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        std::string* value = nullptr;
        if (option == "-New") value = &newFile_;
        else if (option == "-Old") value = &oldFile_;
        else if (option == "-Out") value = &outFile_;
        else if (option == "-Deleted") value = &deletedFile_;
        else if (option != "-Format") return Wrong("unknown argument \"" + option + "\"");
        if (i + 1 >= argc || argv[i + 1][0] == '\0') return Wrong(option + " must be followed by a value");
        const std::string given = argv[++i];
        if (value) {
            if (!value->empty()) return Wrong(option + " is given twice");
            *value = given;
            continue;
        }
        if (formatSeen) return Wrong("-Format is given twice");
        formatSeen = true;
        if (given == "text") format_ = kText;
        else if (given == "markdown") format_ = kMarkdown;
        else if (given == "html") format_ = kHtml;
        else return Wrong("-Format must be text, markdown or html, not \"" + given + "\"");
    }
    if (!deletedFile_.empty()) {
        if (!newFile_.empty() || !oldFile_.empty()) return Wrong("-Deleted cannot be combined with -New or -Old");
        oldFile_ = deletedFile_;
    } else if (newFile_.empty()) {
        return Wrong("-New is required");
    }
    if (OutputIsAnInput()) return Wrong("-Out names one of the documents; the report would replace it");
    return kRun;
}

cReportArguments::Outcome cReportArguments::Wrong(std::string error) {
    error_ = std::move(error);
    return kWrong;
}

bool cReportArguments::OutputIsAnInput() const {
    if (outFile_.empty()) return false;
    return (!newFile_.empty() && SameFile(outFile_, newFile_)) || (!oldFile_.empty() && SameFile(outFile_, oldFile_));
}
