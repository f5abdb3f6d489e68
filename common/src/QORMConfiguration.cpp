// SPDX-License-Identifier: Apache-2.0
#include "QORMConfiguration.h"

#include <filesystem>
#include <system_error>

#include <toml++/toml.h>

#include "QORMDCheckRule.h"
#include "QORMGitRepository.h"

namespace {

// Reads one file's configuration; each error names the file, the line and the key.
class Reader {
public:
    explicit Reader(std::string file) : file_(std::move(file)) {}

    cChangePolicy Read() {
        toml::table root;
        try {
            root = toml::parse_file(file_);
        } catch (const toml::parse_error& error) {
            throw cConfigurationError(file_ + ":" + std::to_string(error.source().begin.line) + ":" +
                                      std::to_string(error.source().begin.column) +
                                      ": not valid TOML: " + std::string(error.description()));
        }
        for (auto&& [key, node] : root) {
            const std::string name(key.str());
            if (name == "fields")
                Fields(Table(node, name));
            else if (name == "rules")
                Rules(Table(node, name));
            else if (name == "allow")
                Allowed(node);
            else
                Fail(node, name, "unknown key: the keys are fields, rules and allow");
        }
        return std::move(policy_);
    }

private:
    [[noreturn]] void Fail(const toml::node& node, const std::string& key, const std::string& what) const {
        throw cConfigurationError(file_ + ":" + std::to_string(node.source().begin.line) + ": " + key + ": " + what);
    }

    const toml::table& Table(const toml::node& node, const std::string& key) const {
        if (!node.is_table()) Fail(node, key, "must be a table");
        return *node.as_table();
    }

    std::string Text(const toml::node& node, const std::string& key) const {
        if (!node.is_string()) Fail(node, key, "must be a string");
        return node.value<std::string>().value_or("");
    }

    cChangePolicy::Level Level(const toml::node& node, const std::string& key) const {
        const std::string level = Text(node, key);
        if (level == "error") return cChangePolicy::kError;
        if (level == "warning") return cChangePolicy::kWarning;
        if (level == "off") return cChangePolicy::kOff;
        Fail(node, key, "must be \"error\", \"warning\" or \"off\", not \"" + level + "\"");
    }

    const cCheckRule& Rule(const toml::node& node, const std::string& key, const std::string& id) const {
        const cCheckRule* rule = cCheckRule::Find(id);
        if (!rule) Fail(node, key, "unknown rule \"" + id + "\": the rules are QM001 to QM007 and QM101 to QM107");
        return *rule;
    }

    void Fields(const toml::table& fields) {
        for (auto&& [key, node] : fields) {
            const std::string prefix = "fields." + std::string(key.str());
            cChangePolicy::FieldRule rule;
            rule.field = std::string(key.str());
            const toml::node* allow = nullptr;
            for (auto&& [entry, value] : Table(node, prefix)) {
                const std::string name = prefix + "." + std::string(entry.str());
                if (entry.str() == "narrowing")
                    rule.narrowing = Level(value, name);
                else if (entry.str() == "change")
                    rule.change = Level(value, name);
                else if (entry.str() == "allow")
                    Allow(value, name, rule), allow = &value;
                else
                    Fail(value, name, "unknown key: a field's keys are narrowing, change and allow");
            }
            if (allow && rule.change == cChangePolicy::kOff)
                Fail(*allow, prefix + ".allow", "goes with change: the changes allowed where change is restricted");
            policy_.fields.push_back(std::move(rule));
        }
    }

    void Allow(const toml::node& node, const std::string& key, cChangePolicy::FieldRule& rule) const {
        if (!node.is_array()) Fail(node, key, "must be a list of \"old -> new\"");
        for (const toml::node& item : *node.as_array()) {
            const std::string change = Text(item, key);
            const std::size_t arrow = change.find("->");
            const auto trimmed = [](std::string text) {
                text.erase(0, text.find_first_not_of(' '));
                text.erase(text.find_last_not_of(' ') + 1);
                return text;
            };
            const std::string from = arrow == std::string::npos ? "" : trimmed(change.substr(0, arrow));
            const std::string to = arrow == std::string::npos ? "" : trimmed(change.substr(arrow + 2));
            if (from.empty() || to.empty())
                Fail(item, key, "\"" + change + "\" is not \"old -> new\" (* stands for any value)");
            rule.allow.emplace_back(from, to);
        }
    }

    void Rules(const toml::table& rules) {
        for (auto&& [key, node] : rules) {
            const std::string name = "rules." + std::string(key.str());
            const cCheckRule& rule = Rule(node, name, std::string(key.str()));
            const cChangePolicy::Level level = Level(node, name);
            if (!rule.adjustable)
                Fail(node, name,
                     std::string(rule.id) +
                         " cannot be changed: the diff refuses a document it finds, so it stays "
                         "an error");
            policy_.levels[rule.rule] = level;
        }
    }

    void Allowed(const toml::node& node) {
        if (!node.is_array_of_tables()) Fail(node, "allow", "must be a list of tables: [[allow]]");
        int index = 0;
        for (const toml::node& item : *node.as_array()) {
            const std::string prefix = "allow[" + std::to_string(++index) + "]";
            std::string rule, uuid, reason;
            const toml::node* ruleNode = nullptr;
            for (auto&& [key, value] : *item.as_table()) {
                const std::string name = prefix + "." + std::string(key.str());
                if (key.str() == "rule")
                    rule = Text(value, name), ruleNode = &value;
                else if (key.str() == "uuid")
                    uuid = Text(value, name);
                else if (key.str() == "reason")
                    reason = Text(value, name);
                else
                    Fail(value, name, "unknown key: an acknowledged change has rule, uuid and reason");
            }
            for (const auto& [key, value] : {std::pair{"rule", &rule}, {"uuid", &uuid}, {"reason", &reason}})
                if (value->empty())
                    Fail(item, prefix + "." + key,
                         std::string("missing or empty: every acknowledged change names its rule, the Uuid of its "
                                     "element and the reason it is accepted"));
            const cCheckRule& known = Rule(*ruleNode, prefix + ".rule", rule);
            if (known.rule <= cCheckProblem::kUnnamedPackage)
                Fail(*ruleNode, prefix + ".rule",
                     std::string(known.id) +
                         " is a document rule: only changes (QM101 to QM107) are acknowledged "
                         "one by one; switch a rule off under [rules]");
            policy_.Acknowledge(known.rule, uuid, reason);
        }
    }

    std::string file_;
    cChangePolicy policy_;
};

}  // namespace

std::string cConfiguration::Locate(const std::string& given, const std::string& folder) {
    if (!given.empty()) return given;
    std::string top = folder;
    try {
        const std::string workTree = cGitRepository(folder).WorkTree();
        if (!workTree.empty()) top = workTree;
    } catch (const cGitError&) {  // outside a repository: the folder itself
    }
    std::error_code failed;
    const std::filesystem::path candidate = std::filesystem::u8path(top) / kFileName;
    return std::filesystem::exists(candidate, failed) ? candidate.generic_u8string() : "";
}

cChangePolicy cConfiguration::Read(const std::string& file) {
    std::error_code failed;
    if (!std::filesystem::is_regular_file(std::filesystem::u8path(file), failed))
        throw cConfigurationError(
            file + ": cannot be read: " +
            (std::filesystem::exists(std::filesystem::u8path(file), failed) ? "not a file" : "no such file"));
    return Reader(file).Read();
}
