// SPDX-License-Identifier: Apache-2.0
#include "QORMRArguments.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "QORMSameFile.h"

const char* cReportArguments::Usage() {
    return "Usage: QORMetaReport -New new.xml [-Old old.xml] [-Config FILE] [-Format text|markdown|html] [-Out "
           "report]\n"
           "       QORMetaReport -Deleted old.xml [-Config FILE] [-Format text|markdown|html] [-Out report]\n"
           "       QORMetaReport -Git A..B [-Path GLOB]... [-Config FILE] [-Format text|markdown|html] [-Out report]\n"
           "       QORMetaReport -h | -v\n"
           "Reports what changed between two versions of a metadata document, class by class.\n"
           "  -New     the new version (required)\n"
           "  -Old     the old version; without it, everything in the new one is added\n"
           "  -Deleted a document compared with nothing: everything in it is deleted\n"
           "  -Git     every metadata document changed between two revisions of the repository\n"
           "           of the current folder: A..B, or A...B (from where B left A)\n"
           "  -Path    with -Git, the files that are metadata documents (git pathspec, repeatable);\n"
           "           without it, those .gitattributes marks diff=qormeta\n"
           "  -Config  the team's configuration of the change rules, whose flagged changes the report\n"
           "           marks; without it, .qormeta.toml at the top of the repository (or here)\n"
           "  -Format  text (the default), markdown or html\n"
           "  -Out     the file to write; without it, standard output\n"
           "Exit status: 0 report written, 1 failed run (nothing written; with -Git: a version does not\n"
           "load, the report is written), 2 wrong arguments, a range git cannot resolve or a configuration\n"
           "that cannot be read.\n";
}

cReportArguments::Outcome cReportArguments::Parse(int argc, const char* const argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0) return kHelp;
    if (argc == 2 && std::strcmp(argv[1], "-v") == 0) return kVersion;
    std::string format;
    const std::pair<const char*, std::string*> options[] = {
        {"-New", &newFile_},  {"-Old", &oldFile_},  {"-Deleted", &deletedFile_}, {"-Out", &outFile_},
        {"-Format", &format}, {"-Git", &gitRange_}, {"-Config", &config_},       {"-Path", nullptr}};
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        const auto known = std::find_if(std::begin(options), std::end(options),
                                        [&](const auto& entry) { return option == entry.first; });
        if (known == std::end(options)) return Wrong("unknown argument \"" + option + "\"");
        if (i + 1 >= argc || argv[i + 1][0] == '\0') return Wrong(option + " must be followed by a value");
        std::string* value = known->second;
        if (!value) value = &paths_.emplace_back();  // -Path, repeatable
        if (!value->empty()) return Wrong(option + " is given twice");
        *value = argv[++i];
    }
    const std::pair<const char*, Format> formats[] = {{"text", kText}, {"markdown", kMarkdown}, {"html", kHtml}};
    const auto known =
        std::find_if(std::begin(formats), std::end(formats), [&](const auto& entry) { return format == entry.first; });
    if (known != std::end(formats))
        format_ = known->second;
    else if (!format.empty())
        return Wrong("-Format must be text, markdown or html, not \"" + format + "\"");
    if (!gitRange_.empty()) {
        if (!newFile_.empty() || !oldFile_.empty() || !deletedFile_.empty())
            return Wrong("-Git cannot be combined with -New, -Old or -Deleted");
    } else if (!paths_.empty()) {
        return Wrong("-Path goes with -Git");
    } else if (!deletedFile_.empty()) {
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
    return (!newFile_.empty() && QORMSameFile(outFile_, newFile_)) ||
           (!oldFile_.empty() && QORMSameFile(outFile_, oldFile_));
}
