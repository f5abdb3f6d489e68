#include "QORMMergeOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "QORMetaUtil/cDDLXMLParser.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace {

std::string ErrorLine(int status) { return cQORMUCallback::FormatError(ZULError::ZULGetLastError(status, nullptr)); }

// Why a write failed: the reason its error carries (its second parameter).
std::string Reason(int status) {
    const ZULError* error = ZULError::ZULGetLastError(status, nullptr);
    if (error && error->GetParameters().size() >= 2) return error->GetParameters()[1].ConvertToChar();
    return ErrorLine(status);
}

std::string Failed(const std::string& file, const std::string& why) {
    return "Error QORMetaMerge: the file \"" + file + "\" could not be written: " + why;
}

// A temporary file beside target, removed unless kept.
class TemporaryBeside {
public:
    explicit TemporaryBeside(const std::string& target) {
        const std::size_t slash = target.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
        path_ = folder + "." + name + ".merge-XXXXXX";
        const int fd = ::mkstemp(path_.data());
        if (fd < 0) {
            error_ = std::strerror(errno);
            path_.clear();
        } else {
            ::close(fd);
        }
    }
    ~TemporaryBeside() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryBeside(const TemporaryBeside&) = delete;
    TemporaryBeside& operator=(const TemporaryBeside&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }
    // Renames the file over target; false with errno's text in Error().
    bool MoveTo(const std::string& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            error_ = std::strerror(errno);
            return false;
        }
        path_.clear();
        return true;
    }

private:
    std::string path_;
    std::string error_;
};

}  // namespace

bool cMergeOutput::Write(const cMergeEngine& engine, cMergeEngine::Outcome outcome, const cMergeDocument& ours,
                         const cMergeDocument& theirs, const ZULUnicodeString& out, const cMergeConflictLog& log,
                         const ZULUnicodeString& conflicts, const ZULUnicodeString& base, std::string& failure) {
    if (conflicts.IsEmpty()) return WriteMerged(engine, outcome, ours, theirs, out, failure);

    const std::string target = conflicts.ConvertToChar();
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        failure = Failed(target, "it is not a regular file");
        return false;
    }
    TemporaryBeside staged(target);
    if (staged.Path().empty()) {
        failure = Failed(target, staged.Error());
        return false;
    }
    const int written = cDDLXMLParser::writeXMLFile(log.BuildDocument(base, ours.FileName(), theirs.FileName()),
                                                    ZULUnicodeString(staged.Path().c_str()));
    if (written < 0) {
        failure = Failed(target, Reason(written));
        return false;
    }
    if (!WriteMerged(engine, outcome, ours, theirs, out, failure)) return false;
    if (!staged.MoveTo(target)) {
        failure = Failed(target, staged.Error());
        return false;
    }
    return true;
}

bool cMergeOutput::WriteMerged(const cMergeEngine& engine, cMergeEngine::Outcome outcome, const cMergeDocument& ours,
                               const cMergeDocument& theirs, const ZULUnicodeString& out, std::string& failure) {
    int status = 0;
    std::string bytes;
    if (outcome == cMergeEngine::kOursUnchanged && ours.ReadBytes(bytes)) {
        status = cDDLXMLParser::writeFile(bytes, out);
    } else if (outcome == cMergeEngine::kTheirsUnchanged && theirs.ReadBytes(bytes)) {
        status = cDDLXMLParser::writeFile(bytes, out);
    } else if (outcome == cMergeEngine::kBuilt) {
        status = cDDLXMLParser::writeXMLFile(engine.Result(), out);
    } else {  // that version is no regular file to copy: its document
        const cMergeDocument& unchanged = outcome == cMergeEngine::kOursUnchanged ? ours : theirs;
        status = cDDLXMLParser::writeXMLFile(unchanged.Package().GetDomElement().share(unchanged.Document()), out);
    }
    if (status < 0) {
        failure = ErrorLine(status);
        return false;
    }
    return true;
}
