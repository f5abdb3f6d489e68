// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeFuzzCase.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string_view>
#include <vector>

#include "QORMDFiles.h"
#include "QORMDPackageLoad.h"
#include "QORMDSurvey.h"
#include "QORMMSpliceCheck.h"
#include "QORMMergeEngine.h"
#include "QORMMergeFuzzScript.h"
#include "QORMMergeNodeCompare.h"
#include "QORMMergeRun.h"
#include "QORMMergeText.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "ZULBase/ZULFileSystem.h"

using namespace xercesc;

namespace {

const char kEarlierOut[] = "an earlier merged file\n";
const char kEarlierConflicts[] = "an earlier conflicts file\n";

// The Uuids a document repeats: classes that stand twice (upper-cased, as
// the model keys them); and in how many classes each attribute Uuid stands.
struct Repeated {
    std::set<std::u16string> classes;
    std::map<std::u16string, int> attributeClasses;
};

// Walks the package's classes and attributes as the loader takes them.
Repeated Survey(const DOMElement* package) {
    Repeated repeated;
    std::set<std::u16string> classes;
    for (const QORMDSurveyedClass& surveyed : QORMDSurvey(package)) {
        if (!classes.insert(surveyed.key).second) repeated.classes.insert(surveyed.key);
        for (const std::u16string& key :
             std::set<std::u16string>(surveyed.attributes.begin(), surveyed.attributes.end()))
            ++repeated.attributeClasses[key];
    }
    return repeated;
}

// A file loaded by the diff's rules, surveyed; loaded false when it does not load.
struct Loaded {
    bool loaded = false;
    Repeated repeated;
};

Loaded Load(const std::string& path) {
    Loaded result;
    if (cDDLXMLParser::init() < 0) return result;
    std::unique_ptr<cQORMDMetaPackage> package;
    result.loaded = QORMDLoadPackage(ZULUnicodeString(path.c_str()), package) >= 0;
    cDDLXMLParser::terminate();
    if (result.loaded) result.repeated = Survey(package->GetDomElement().get());
    return result;
}

// Whether text holds a line that reads as a conflict marker.
bool HasMarkerLines(const std::string& text) {
    for (const char* marker : {"<<<<<<<", "|||||||", "=======", ">>>>>>>"})
        if (text.rfind(marker, 0) == 0 || text.find(std::string("\n") + marker) != std::string::npos) return true;
    return false;
}

// Whether the last line of a marked file closes a block.
bool EndsInBlock(const std::string& marked) {
    const std::size_t last = marked.size() < 2 ? 0 : marked.rfind('\n', marked.size() - 2) + 1;  // npos + 1: 0
    return marked.compare(last, 8, ">>>>>>> ") == 0;
}

// "" when path holds exactly expected, else how it differs.
std::string Differs(const std::string& path, const std::string& expected) {
    std::string bytes;
    if (!QORMDReadFile(path, bytes)) return path + " cannot be read: " + std::strerror(errno);
    if (bytes != expected)
        return path + " holds " + std::to_string(bytes.size()) + " bytes, not the " + std::to_string(expected.size()) +
               " expected";
    return "";
}

// cMergeRun::Execute on these files; printed holds the lines it printed,
// which go through the file messages (outside the case's folder).
int Merge(const std::vector<std::string>& args, const std::string& messages, int& printed) {
    std::vector<const char*> argv{"QORMetaMerge"};
    for (const std::string& arg : args) argv.push_back(arg.c_str());
    cMergeArguments arguments;
    if (arguments.Parse(static_cast<int>(argv.size()), argv.data()) != cMergeArguments::kRun) return -1;
    std::FILE* to = ZULOpenFile(messages, "wb");
    if (!to) return -1;
    const int status = cMergeRun::Execute(arguments, to);
    std::fclose(to);
    std::string text;
    QORMDReadFile(messages, text);
    std::remove(messages.c_str());
    printed = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    return status;
}

}  // namespace

std::string QORMMRunFuzzCase(const std::string& folder, const std::uint8_t* data, std::size_t size) {
    for (const std::string& name : QORMDEntries(folder)) std::remove((folder + "/" + name).c_str());
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string base(QORMMFuzzPart(rest));
    const std::string ours = QORMMFuzzSide(base, QORMMFuzzPart(rest));
    const std::string theirs = QORMMFuzzSide(base, QORMMFuzzPart(rest));
    const int mode = rest.empty() ? 0 : static_cast<unsigned char>(rest[0]) % 3;

    const std::string basePath = folder + "/base.xml", oursPath = folder + "/ours.xml",
                      theirsPath = folder + "/theirs.xml", conflictsPath = folder + "/conflicts.xml";
    const std::string outPath = mode == 2 ? oursPath : folder + "/merged.xml";
    if (!QORMDWriteFile(basePath, base) || !QORMDWriteFile(oursPath, ours) || !QORMDWriteFile(theirsPath, theirs) ||
        (mode == 1 && (!QORMDWriteFile(outPath, kEarlierOut) || !QORMDWriteFile(conflictsPath, kEarlierConflicts))))
        return "cannot write the inputs to " + folder;
    // An empty base is none: both sides added the document.
    const Loaded loaded[3] = {base.empty() ? Loaded{true, {}} : Load(basePath), Load(oursPath), Load(theirsPath)};
    // The merge takes what the diff loads, but a class that repeats a Uuid.
    auto takes = [](const Loaded& version) { return version.loaded && version.repeated.classes.empty(); };
    const bool allLoad = takes(loaded[0]) && takes(loaded[1]) && takes(loaded[2]);
    const bool namespaced = allLoad && (base.empty() || QORMDNamespaceError(basePath).empty()) &&
                            QORMDNamespaceError(oursPath).empty() && QORMDNamespaceError(theirsPath).empty();

    if (allLoad) {
        const std::string spliced = QORMMCheckSplice(folder, basePath, oursPath, theirsPath);
        if (!spliced.empty()) return spliced;
    }
    int printed = 0;
    const int status = Merge(
        {"-Base", basePath, "-Ours", oursPath, "-Theirs", theirsPath, "-Out", outPath, "-Conflicts", conflictsPath},
        folder + ".messages", printed);
    if (status != cMergeRun::kMerged && status != cMergeRun::kConflicts && status != cMergeRun::kFailed)
        return "exit status " + std::to_string(status);
    if (allLoad && status == cMergeRun::kFailed) return "the versions load, yet the run failed";
    if (!allLoad && status != cMergeRun::kFailed) return "a version does not load, yet the run did not fail";
    if ((status == cMergeRun::kMerged) != (printed == 0))
        return "status " + std::to_string(status) + " with " + std::to_string(printed) + " lines printed";

    std::string changed = Differs(basePath, base) + Differs(theirsPath, theirs);
    if (mode != 2 || status == cMergeRun::kFailed) changed += Differs(oursPath, ours);
    if (!changed.empty()) return "an input changed: " + changed;
    std::set<std::string> expected{"base.xml", "ours.xml", "theirs.xml"};

    if (status == cMergeRun::kFailed) {
        if (mode == 1) {
            changed = Differs(outPath, kEarlierOut) + Differs(conflictsPath, kEarlierConflicts);
            if (!changed.empty()) return "a failed run changed a file: " + changed;
            expected.insert({"merged.xml", "conflicts.xml"});
        }
    } else {
        expected.insert({"conflicts.xml", mode == 2 ? "ours.xml" : "merged.xml"});
        const Loaded merged = Load(outPath);
        if (!merged.loaded) return "the merged file does not load";
        if (namespaced && !QORMDNamespaceError(outPath).empty())
            return "the merge of documents a namespace-aware parser reads is not read by one";
        if (!merged.repeated.classes.empty()) return "the merged file holds a class Uuid twice";
        // A move never doubles: an attribute Uuid that the base holds in one
        // class and each side in one at most stands in one class.
        auto classes = [&](int version, const std::u16string& key) {
            const auto found = loaded[version].repeated.attributeClasses.find(key);
            return found == loaded[version].repeated.attributeClasses.end() ? 0 : found->second;
        };
        for (const auto& [key, count] : merged.repeated.attributeClasses)
            if (count > 1 && classes(0, key) == 1 && classes(1, key) <= 1 && classes(2, key) <= 1)
                return "the merged file holds an attribute Uuid in two classes that a move doubled";
        std::string bytes;
        if (!QORMDReadFile(outPath, bytes)) return "the merged file cannot be read";
        // A side equal to the base gives the other side byte for byte.
        if (ours == base && (status != cMergeRun::kMerged || bytes != theirs))
            return "ours is the base, yet the result is not theirs";
        if (theirs == base && (status != cMergeRun::kMerged || bytes != ours))
            return "theirs is the base, yet the result is not ours";
        // With markers, the ours' sections and what lies outside the blocks
        // give the same file back.
        if (status == cMergeRun::kConflicts && mode != 2 && !HasMarkerLines(base + ours + theirs + bytes)) {
            const std::string markedPath = folder + "/marked.xml";
            int markedPrinted = 0;
            std::string marked;
            Merge({"-Base", basePath, "-Ours", oursPath, "-Theirs", theirsPath, "-Out", markedPath, "-Markers"},
                  folder + ".messages", markedPrinted);
            if (!QORMDReadFile(markedPath, marked)) return "the marked file cannot be read";
            // A last line without a line end gets one in its section, as git's do.
            std::string given = bytes;
            if (!bytes.empty() && bytes.back() != '\n' && EndsInBlock(marked)) given += cMergeSource::LineEndOf(marked);
            if (QORMMResolved(marked, 0) != given) return "with markers, ours' sections do not give the merged file";
            std::remove(markedPath.c_str());
        }
    }
    if (QORMDEntries(folder) != expected) return "the run left other files in the folder";
    return "";
}
