// SPDX-License-Identifier: Apache-2.0
#include "QORMDCheckRule.h"

#include <algorithm>
#include <cctype>

namespace {

using P = cCheckProblem;

}  // namespace

std::string cCheckRule::Anchor() const {
    std::string anchor = std::string(id) + "-" + name;
    std::transform(anchor.begin(), anchor.end(), anchor.begin(), [](unsigned char c) { return std::tolower(c); });
    return anchor;
}

std::string cCheckRule::FullHelp() const {
    std::string text = help;
    if (rule > P::kUnnamedPackage)
        text +=
            " To accept one such change, list it under [[allow]] in .qormeta.toml with the rule, the Uuid and "
            "a reason.";
    if (adjustable) text += std::string(" To leave the rule out, set ") + id + " = \"off\" under [rules].";
    return text;
}

const std::vector<cCheckRule>& cCheckRule::All() {
    static const std::vector<cCheckRule> rules = {
        {P::kUnreadable, "QM001", "unreadable", "The document cannot be read.",
         "The file cannot be opened, is empty, is not well-formed XML, holds bytes that are not in its encoding, has "
         "a DOCTYPE, or passes the parser's limits: the diff refuses it.",
         "Fix the document at the place given; nothing after that place could be read.", P::kError, false},
        {P::kNoUuid, "QM002", "no-uuid", "A class or attribute has no Uuid.",
         "Every class and attribute needs a non-empty Uuid: it is what matches it across versions. The diff refuses "
         "a document where one lacks it.",
         "Give the element the Uuid it had in the earlier version, or a new one if it is new.", P::kError, false},
        {P::kNoName, "QM003", "no-name", "A class or attribute has no Name.",
         "Every class and attribute needs a non-empty Name; the diff refuses a document where one lacks it.",
         "Give the element its Name.", P::kError, false},
        {P::kRepeatedUuid, "QM004", "repeated-uuid", "A Uuid repeats in one container.",
         "Two classes of the package, or two attributes of one class, share a Uuid: the comparison keeps the first "
         "and ignores the other, whose changes never reach the diff.",
         "Give the second element a Uuid of its own.", P::kWarning, true},
        {P::kUuidCase, "QM005", "uuid-letter-case", "Two Uuids of one container differ only in letter case.",
         "The comparison matches Uuids without regard to letter case, so it takes the two elements for one, keeps "
         "the first and ignores the other.",
         "Give the second element a Uuid of its own.", P::kWarning, true},
        {P::kRepeatedName, "QM006", "repeated-name", "A Name repeats in one container.",
         "Two classes of the package, or two attributes of one class, have the same Name: a generator that names "
         "tables and columns by Name makes one of two, and a person cannot tell them apart.",
         "Rename one of them.", P::kWarning, true},
        {P::kUnnamedPackage, "QM007", "unnamed-package", "The package has no Name.",
         "The diff takes the package's name from the versions it compares and refuses them when neither has one, "
         "also when the document is compared with nothing (added or deleted).",
         "Give the document element a Name.", P::kError, false},
        {P::kClassDeleted, "QM101", "class-deleted", "A class is deleted: its table and rows are dropped.",
         "The diff lists the class as deleted, and a migration made from it drops the class's table with every row.",
         "Keep the class if its data is still needed.", P::kError, true},
        {P::kAttributeDeleted, "QM102", "attribute-deleted", "An attribute is deleted: its column is dropped.",
         "The diff lists the attribute as deleted from its class, and a migration made from it drops the column "
         "with its data. An attribute Uuid that several classes share, gone from one of them, is a column dropped "
         "from that class's table.",
         "Keep the attribute if its data is still needed.", P::kError, true},
        {P::kRecreated, "QM103", "recreated", "An element is deleted and added again under a new Uuid.",
         "In one container, an element is deleted and another with the same Name (ignoring letter case) is added "
         "under a new Uuid, as a modelling tool does when an element is deleted and made again. The model looks "
         "unchanged to a person, but the migration drops the table or column and adds an empty one.",
         "Give the new element the Uuid of the old one.", P::kError, true},
        {P::kAttributeMoved, "QM104", "attribute-moved", "An attribute is moved to another class.",
         "The comparison matches attributes within a class, so an attribute moved to another class is deleted from "
         "one table and added to the other: its data does not follow.",
         "Copy the data in the migration by hand, or leave the attribute where it was.", P::kError, true},
        {P::kRenamed, "QM105", "renamed", "A class or attribute is renamed.",
         "The Name of an element changed while its Uuid stayed: a generator that names tables and columns by Name "
         "must rename them, not drop and add them.",
         "Check that the migration renames the table or column.", P::kWarning, true},
        {P::kNarrowed, "QM106", "field-narrowed", "A numeric field that must not shrink got smaller.",
         "A field that the configuration declares must not shrink ([fields.NAME] narrowing) holds a smaller number "
         "than before, such as a column's size: values that no longer fit are cut or refused.",
         "Keep the earlier value, or migrate the data that does not fit.", P::kError, true},
        {P::kFieldChanged, "QM107", "field-changed", "A field changed in a way its rule does not allow.",
         "A field whose changes the configuration restricts ([fields.NAME] change and allow) changed to a value "
         "its list of allowed changes does not name, such as a column type that cannot hold the old values.",
         "Keep the earlier value, or add the change to the field's allow list if it keeps the data.", P::kError, true},
    };
    return rules;
}

const cCheckRule* cCheckRule::Find(std::string_view id) {
    for (const cCheckRule& rule : All())
        if (id == rule.id) return &rule;
    return nullptr;
}

const cCheckRule& cCheckRule::Of(cCheckProblem::Rule rule) {
    for (const cCheckRule& known : All())
        if (known.rule == rule) return known;
    return All().front();
}
