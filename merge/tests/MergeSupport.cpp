// SPDX-License-Identifier: Apache-2.0
#include "MergeSupport.h"

#include <algorithm>
#include <set>

using namespace xercesc;

HostRun RunMerge(const std::string& base, const std::string& ours, const std::string& theirs, const std::string& out,
                 const std::vector<std::string>& extra) {
    std::vector<std::string> args = {"-Base", base, "-Ours", ours, "-Theirs", theirs, "-Out", out};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProgram(QORMM_MERGE_PATH, args);
}

std::string Edit(std::string text, const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

namespace {

std::string SortedFields(const DOMElement* element) {
    std::vector<std::string> fields;
    const DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; i < attributes->getLength(); ++i)
        fields.push_back(Utf8(attributes->item(i)->getNodeName()) + "=" + Utf8(attributes->item(i)->getNodeValue()));
    std::sort(fields.begin(), fields.end());
    std::string joined;
    for (const std::string& field : fields) joined += (joined.empty() ? "" : " ") + field;
    return joined;
}

std::string Key(const DOMElement* element) { return UpperCase(Utf8(element->getAttribute(u"Uuid"))); }

}  // namespace

std::map<std::string, std::string> Content(const std::string& path) {
    std::map<std::string, std::string> content;
    const DOM_Document document = ParseFile(path);
    if (!document) return content;
    const DOMElement* root = document->getDocumentElement();
    content["Package"] = SortedFields(root);
    for (const DOMElement* c = root->getFirstElementChild(); c; c = c->getNextElementSibling()) {
        const std::string classKey = Utf8(c->getTagName()) + " " + Key(c);
        EXPECT_EQ(content.count(classKey), 0u) << classKey << " twice in " << path;
        content[classKey] = SortedFields(c);
        for (const DOMElement* a = c->getFirstElementChild(); a; a = a->getNextElementSibling()) {
            const std::string key = Utf8(a->getTagName()) + " " + Key(c) + "/" + Key(a);
            content[key] = SortedFields(a);
        }
    }
    return content;
}

std::vector<std::string> ConflictKeys(const std::string& path) {
    std::vector<std::string> keys;
    const DOM_Document document = ParseFile(path);
    if (!document) return keys;
    const DOMElement* root = document->getDocumentElement();
    for (const DOMElement* c = root->getFirstElementChild(); c; c = c->getNextElementSibling())
        keys.push_back(Utf8(c->getAttribute(u"Kind")) + " " + Key(c) + " " + Utf8(c->getAttribute(u"Field")));
    EXPECT_EQ(Utf8(root->getAttribute(u"Count")), std::to_string(keys.size()));
    std::sort(keys.begin(), keys.end());
    return keys;
}
