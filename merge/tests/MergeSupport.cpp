#include "MergeSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"

using namespace xercesc;

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& workDir,
                      const std::vector<std::string>& environment) {
    TempDir capture;
    const std::string outPath = capture.file("out");
    const std::string errPath = capture.file("err");
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(126);
        for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ProgramRun run;
    run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

ProgramRun RunMerge(const std::string& base, const std::string& ours, const std::string& theirs,
                    const std::string& out, const std::vector<std::string>& extra) {
    std::vector<std::string> argv = {QORMM_MERGE_PATH, "-Base", base, "-Ours", ours, "-Theirs", theirs, "-Out", out};
    argv.insert(argv.end(), extra.begin(), extra.end());
    return RunProgram(argv);
}

namespace {

std::string Text(const XMLCh* text) { return DOMToZULUnicodeString(text).ConvertToChar(); }

std::string Upper(const XMLCh* text) {
    ZULUnicodeString value = DOMToZULUnicodeString(text);
    return value.ToUpper().ConvertToChar();
}

std::string SortedFields(const DOMElement* element) {
    std::vector<std::string> fields;
    const DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i)
        fields.push_back(Text(attributes->item(i)->getNodeName()) + "=" + Text(attributes->item(i)->getNodeValue()));
    std::sort(fields.begin(), fields.end());
    std::string joined;
    for (const std::string& field : fields) joined += (joined.empty() ? "" : " ") + field;
    return joined;
}

// The document element of path, parsed; fails the test when it does not parse.
template <class Visit>
void WithRoot(const std::string& path, Visit visit) {
    ASSERT_GE(cDDLXMLParser::init(), 0);
    DOM_Document document;
    const int status = cDDLXMLParser::parseXMLFile(ZULUnicodeString(path.c_str()), document);
    cDDLXMLParser::terminate();
    ASSERT_GE(status, 0) << path << " does not parse";
    visit(document->getDocumentElement());
}

}  // namespace

std::map<std::string, std::string> Content(const std::string& path) {
    std::map<std::string, std::string> content;
    WithRoot(path, [&](const DOMElement* root) {
        content["Package"] = SortedFields(root);
        for (const DOMElement* c = root->getFirstElementChild(); c; c = c->getNextElementSibling()) {
            const std::string classKey = Text(c->getTagName()) + " " + Upper(c->getAttribute(u"Uuid"));
            EXPECT_EQ(content.count(classKey), 0u) << classKey << " twice in " << path;
            content[classKey] = SortedFields(c);
            for (const DOMElement* a = c->getFirstElementChild(); a; a = a->getNextElementSibling()) {
                const std::string key = Text(a->getTagName()) + " " + Upper(c->getAttribute(u"Uuid")) + "/" +
                                        Upper(a->getAttribute(u"Uuid"));
                EXPECT_EQ(content.count(key), 0u) << key << " twice in " << path;
                content[key] = SortedFields(a);
            }
        }
    });
    return content;
}

std::vector<std::string> ConflictKeys(const std::string& path) {
    std::vector<std::string> keys;
    WithRoot(path, [&](const DOMElement* root) {
        for (const DOMElement* c = root->getFirstElementChild(); c; c = c->getNextElementSibling())
            keys.push_back(Text(c->getAttribute(u"Kind")) + " " + Upper(c->getAttribute(u"Uuid")) + " " +
                           Text(c->getAttribute(u"Field")));
        EXPECT_EQ(Text(root->getAttribute(u"Count")), std::to_string(keys.size()));
    });
    std::sort(keys.begin(), keys.end());
    return keys;
}
