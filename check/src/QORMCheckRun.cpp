// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckRun.h"

#include <cstdint>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <system_error>

#include "QORMCheckCodeQuality.h"
#include "QORMCheckSarif.h"
#include "QORMConfiguration.h"
#include "QORMDVersion.h"
#include "QORMGitRepository.h"
#include "QORMPathFilter.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace fs = std::filesystem;

namespace {

// 64-bit FNV-1a: a short key that only has to be the same for the same text.
std::string Hash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

std::string Here() {
    std::error_code failed;
    const std::string folder = fs::current_path(failed).generic_u8string();
    return failed ? "" : folder + (folder.empty() || folder.back() != '/' ? "/" : "");
}

// The problems in the form asked for, appended to out: true when none is an error.
bool Print(const std::vector<cCheckedFile>& files, const cCheckArguments& arguments, const std::string& top,
           std::string& out) {
    cCheckProblem::Form form;
    form.warningsAsErrors = arguments.WarningsAsErrors();
    form.byteColumns = arguments.ByteColumns();
    bool clean = true;
    for (const cCheckedFile& file : files)
        for (const cCheckProblem& problem : file.problems) {
            if (arguments.GetFormat() == cCheckArguments::kGcc) out += problem.Line(file.shown, form) + "\n";
            clean = clean && !problem.IsError(form);
        }
    if (arguments.GetFormat() == cCheckArguments::kSarif) out += cCheckSarif::Write(files, top, form);
    if (arguments.GetFormat() == cCheckArguments::kCodeQuality) out += cCheckCodeQuality::Write(files, form);
    return clean;
}

}  // namespace

int cCheckRun::Main(int argc, const char* const argv[]) {
    cCheckArguments arguments;
    switch (arguments.Parse(argc, argv)) {
        case cCheckArguments::kHelp: std::fputs(cCheckArguments::Usage(), stdout); return kClean;
        case cCheckArguments::kVersion: std::printf("MetaCheck Version: %s\n", QORMD_PACKAGE_VERSION); return kClean;
        case cCheckArguments::kWrong:
            std::fprintf(stderr, "QORMetaCheck: %s\n%s", arguments.Error().c_str(), cCheckArguments::Usage());
            return kUsageError;
        case cCheckArguments::kRun: break;
    }
    std::string out, errors;
    int status = Execute(arguments, out, errors);
    std::fputs(errors.c_str(), stderr);
    if (std::fputs(out.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "QORMetaCheck: the problems could not be written to standard output\n");
        status = kErrors;
    }
    return status;
}

cCheckRun::ExitStatus cCheckRun::Execute(const cCheckArguments& arguments, std::string& out, std::string& errors) {
    const auto refuse = [&](const std::string& why) {
        errors += "QORMetaCheck: " + why + "\n";
        return kUsageError;
    };
    cChangePolicy policy;
    try {
        const std::string file = cConfiguration::Locate(arguments.Config(), ".");
        if (!file.empty()) policy = cConfiguration::Read(file);
    } catch (const cConfigurationError& error) {
        return refuse(error.what());
    }
    const int initialised = cDDLXMLParser::init();
    if (initialised < 0) {
        errors += cQORMUCallback::FormatError(ZULError::ZULGetLastError(initialised, nullptr)) + "\n";
        return kErrors;
    }
    ExitStatus status = kClean;
    try {
        cCheckRun run(arguments, policy);
        std::string printed;  // nothing of a run that could not finish
        status = Print(run.Run(), arguments, run.Top(), printed) ? kClean : kErrors;
        out += printed;
    } catch (const cGitError& error) {
        status = refuse(error.what());
    } catch (const cPathFilterError& error) {
        status = refuse(error.what());
    } catch (const std::exception& error) {  // memory ran out
        errors += std::string("QORMetaCheck: the check could not finish: ") + error.what() + "\n";
        status = kErrors;
    }
    cDDLXMLParser::terminate();
    return status;
}

std::vector<std::string> cCheckedFile::Fingerprints() const {
    std::vector<std::string> fingerprints;
    std::map<std::string, int> seen;
    for (const cCheckProblem& problem : problems) {
        const std::string key =
            problem.RuleId() + "\n" + path + "\n" + (problem.subject.empty() ? problem.message : problem.subject);
        fingerprints.push_back(Hash(key + "\n" + std::to_string(seen[key]++)));
    }
    return fingerprints;
}

cCheckRun::cCheckRun(const cCheckArguments& arguments, const cChangePolicy& policy)
    : arguments_(arguments), check_(policy, arguments.ByteColumns()), top_(Here()) {
    try {
        repository_ = std::make_unique<cGitRepository>(".");
        if (!repository_->WorkTree().empty()) top_ = repository_->WorkTree();
    } catch (const cGitError&) {
        if (!arguments.Against().empty()) throw;  // -Against needs the repository
    }
}

cCheckRun::~cCheckRun() = default;

std::string cCheckRun::PathOf(const std::string& file) const {
    const std::string inRepository = repository_ ? repository_->PathOf(file) : "";
    if (!inRepository.empty()) return inRepository;
    std::error_code failed;
    const fs::path absolute = fs::absolute(fs::u8path(file), failed);
    return failed ? file : absolute.lexically_relative(fs::u8path(top_)).generic_u8string();
}

cCheckedFile cCheckRun::Check(const cCheckVersion& old, const cCheckVersion& now, bool deleted,
                              const std::string& shown, const std::string& path) {
    cCheckedFile checked{shown, path, check_.Run(old, now, deleted)};
    // The problems outlive the comparison their elements belong to.
    for (cCheckProblem& problem : checked.problems) problem.oldElement = problem.newElement = nullptr;
    return checked;
}

std::vector<cCheckedFile> cCheckRun::Run() {
    if (!arguments_.Against().empty()) return Against();
    std::vector<cCheckedFile> files;
    for (const std::string& file : arguments_.Files()) {
        const cCheckVersion old{arguments_.Old(), arguments_.Old()};
        files.push_back(Check(old, {file, file}, false, file, PathOf(file)));
    }
    return files;
}

std::vector<cCheckedFile> cCheckRun::Against() {
    const cGitRepository::Revision revision = repository_->ResolveRevision(arguments_.Against());
    const std::string top = repository_->WorkTree();
    if (top.empty()) throw cGitError("the repository has no work tree to compare with " + arguments_.Against());
    std::vector<cCheckedFile> files;
    const auto check = [&](const std::string& blob, const std::string& oldPath, const cCheckVersion& now, bool deleted,
                           const std::string& shown, const std::string& path) {
        std::string bytes;
        cCheckVersion old;
        if (!blob.empty()) {
            bytes = repository_->Read(blob);
            old = {arguments_.Against() + ":" + oldPath, "", &bytes};
        }
        files.push_back(Check(old, now, deleted, shown, path));
    };
    if (!arguments_.Files().empty()) {
        for (const std::string& file : arguments_.Files()) {
            const std::string path = repository_->PathOf(file);
            if (path.empty()) throw cGitError("\"" + file + "\" is not in the work tree of the repository at " + top);
            check(repository_->BlobAt(revision, path), path, {file, file}, false, file, path);
        }
        return files;
    }
    const std::string here = Here();
    for (const cGitRepository::Change& change : repository_->WorkTreeChanges(revision, arguments_.Paths())) {
        const std::string& path = change.Path();
        const std::string shown = fs::u8path(top + path).lexically_relative(fs::u8path(here)).generic_u8string();
        const bool deleted = change.newPath.empty();
        const cCheckVersion now{shown, deleted ? "" : top + path};
        check(change.oldBlob, change.oldPath, now, deleted, shown, path);
    }
    return files;
}
