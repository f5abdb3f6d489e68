// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckSarif.h"

#include <cctype>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "QORMDCheckRule.h"
#include "QORMDVersion.h"

using Json = nlohmann::ordered_json;

namespace {

const char* Level(cCheckProblem::Severity severity) { return severity == cCheckProblem::kError ? "error" : "warning"; }

Json Rule(const cCheckRule& rule) {
    const std::string link = std::string(QORMD_CHECK_RULES_URL) + "#" + rule.Anchor();
    return {{"id", rule.id},
            {"name", rule.name},
            {"shortDescription", {{"text", rule.summary}}},
            {"fullDescription", {{"text", rule.description}}},
            {"help", {{"text", rule.FullHelp()}, {"markdown", rule.FullHelp() + " [" + rule.id + "](" + link + ")"}}},
            {"helpUri", link},
            {"defaultConfiguration", {{"level", Level(rule.level)}}}};
}

std::size_t IndexOf(cCheckProblem::Rule rule) {
    const std::vector<cCheckRule>& rules = cCheckRule::All();
    for (std::size_t i = 0; i < rules.size(); ++i)
        if (rules[i].rule == rule) return i;
    return 0;
}

Json Result(const cCheckedFile& file, const cCheckProblem& problem, const std::string& fingerprint,
            const cCheckProblem::Form& form) {
    Json location = {{"artifactLocation", {{"uri", cCheckSarif::Uri(file.path)}, {"uriBaseId", "SRCROOT"}}}};
    // A problem of the file as a whole (it cannot be opened, its earlier
    // version does not load) stands at its first line: code scanning shows
    // no result without a line.
    location["region"] = problem.at.line > 0
                             ? Json{{"startLine", problem.at.line}, {"startColumn", problem.Column(form)}}
                             : Json{{"startLine", 1}};
    return {{"ruleId", problem.RuleId()},
            {"ruleIndex", IndexOf(problem.rule)},
            {"level", problem.IsError(form) ? "error" : "warning"},
            {"message", {{"text", problem.message}}},
            {"locations", Json::array({{{"physicalLocation", location}}})},
            {"partialFingerprints", {{"qormetaProblem/v1", fingerprint}}}};
}

}  // namespace

std::string cCheckSarif::Uri(const std::string& path) {
    std::string uri;
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                           std::string_view("-._~/").find(static_cast<char>(c)) != std::string_view::npos;
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            uri += escaped;
        }
    }
    return uri;
}

std::string cCheckSarif::FileUri(const std::string& folder) {
    const bool drive = folder.size() >= 2 && folder[1] == ':' && std::isalpha(static_cast<unsigned char>(folder[0]));
    return drive ? "file:///" + folder.substr(0, 2) + Uri(folder.substr(2)) : "file://" + Uri(folder);
}

std::string cCheckSarif::Write(const std::vector<cCheckedFile>& files, const std::string& top,
                               const cCheckProblem::Form& form) {
    Json rules = Json::array();
    for (const cCheckRule& rule : cCheckRule::All()) rules.push_back(Rule(rule));
    Json results = Json::array();
    for (const cCheckedFile& file : files) {
        const std::vector<std::string> fingerprints = file.Fingerprints();
        for (std::size_t i = 0; i < file.problems.size(); ++i)
            results.push_back(Result(file, file.problems[i], fingerprints[i], form));
    }
    const Json driver = {{"name", "QORMetaCheck"},
                         {"version", QORMD_PACKAGE_VERSION},
                         {"semanticVersion", QORMD_PACKAGE_VERSION},
                         {"informationUri", QORMD_CHECK_RULES_URL},
                         {"rules", rules}};
    const Json run = {{"tool", {{"driver", driver}}},
                      {"originalUriBaseIds", {{"SRCROOT", {{"uri", FileUri(top)}}}}},
                      {"columnKind", "utf16CodeUnits"},
                      {"results", results}};
    const Json log = {{"$schema", "https://json.schemastore.org/sarif-2.1.0.json"},
                      {"version", "2.1.0"},
                      {"runs", Json::array({run})}};
    // Invalid UTF-8 in a message or path is replaced rather than refused.
    return log.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}
