// SPDX-License-Identifier: Apache-2.0
#include "QORMMSpliceCheck.h"

#include <algorithm>
#include <cstdio>

#include "QORMDFiles.h"
#include "QORMMergeEngine.h"
#include "QORMMergeNodeCompare.h"
#include "QORMMergeText.h"
#include "QORMetaUtil/cDDLXMLParser.h"

std::string QORMMCheckSplice(const std::string& folder, const std::string& base, const std::string& ours,
                             const std::string& theirs) {
    if (cDDLXMLParser::init() < 0) return "";
    std::string problem;
    {
        cMergeDocument versions[3];
        std::string bytes;
        cMergeDocument* common = QORMDReadFile(base, bytes) && bytes.empty() ? nullptr : &versions[0];
        if ((!common || common->Load(ZULUnicodeString(base.c_str())) >= 0) &&
            versions[1].Load(ZULUnicodeString(ours.c_str())) >= 0 &&
            versions[2].Load(ZULUnicodeString(theirs.c_str())) >= 0) {
            cMergeText text;
            text.Read(common, versions[1], versions[2]);
            cMergeConflictLog log;
            cMergeEdits edits;
            cMergeEngine engine(log, edits);
            engine.UseSources(text.Base(), text.Ours(), text.Theirs());
            const cMergeEngine::Outcome outcome = engine.Merge(common, versions[1], versions[2]);
            const std::string merged = text.Make(outcome, engine, versions[1], versions[2]);
            const std::string path = folder + "/.spliced.xml";
            DOM_Document read;
            if (text.Spliced() && (!QORMDWriteFile(path, merged) ||
                                   cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), read) < 0))
                problem = "the spliced merged file does not parse";
            else if (text.Spliced() && !QORMMSameNode(read.get(), engine.Result().get()))
                problem = "the spliced merged file does not read as the merge's result";
            std::remove(path.c_str());
        }
    }
    cDDLXMLParser::terminate();
    return problem;
}

std::string QORMMResolved(const std::string& text, int section) {
    // Each marker ends the part before it: outside, ours', the base's, theirs'.
    static const char* const kMarkers[] = {"<<<<<<< ", "||||||| ", "=======", ">>>>>>> "};
    std::string out;
    int at = -1;  // the section being read; -1 outside a block
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t end = std::min(text.find('\n', begin), text.size() - 1) + 1;
        const std::string line = text.substr(begin, end - begin);
        const int next = at == 2 ? -1 : at + 1;
        if (line.rfind(kMarkers[at + 1], 0) == 0 && (at != 1 || line == "=======\n" || line == "=======\r\n"))
            at = next;
        else if (at < 0 || at == section)
            out += line;
        begin = end;
    }
    return out;
}
