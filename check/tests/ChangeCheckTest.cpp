// SPDX-License-Identifier: Apache-2.0
// QORMetaCheck's change rules run as a program: each rule planted in one
// pair of versions with the layouts that make places hard (a start tag over
// several lines, a tab and characters of two UTF-16 units before a tag, two
// tags on one line) and the cases the diff merges (an attribute Uuid that
// classes share, a class and an attribute whose Uuids differ in letter case
// only), compared whole; what must not be reported beside them (a Uuid
// changed in letter case, added elements, a re-created class's attributes,
// a shared Uuid another class keeps); the configuration's every key and
// error; the git forms; SARIF and GitLab's code quality report.
#include <filesystem>
#include <regex>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "QORMCheckSarif.h"
#include "QORMDScratchRepository.h"
#include "QORMDTestSupport.h"

namespace {

HostRun RunCheck(const std::vector<std::string>& args, const std::string& folder) {
    return RunProgram(QORMC_CHECK_PATH, args, {folder});
}

// The planted pair and its field rules, kept in data/, where the SARIF
// validation (sarif-validation.sh) reads them too.
const std::string kOld = ReadFile(SourcePath("check/tests/data/old.xml"));

// Phone re-created (another letter case, a new Uuid), Region moved to Order,
// Fax deleted, Note (shared with Order, which keeps it) gone from Customer,
// Invoice deleted, Store re-created with its attribute, brand renamed and
// narrowed (its Uuid is the class Brand's in another case), Code's type
// changed, Id's type changed as allowed; Shipment added, Mixed's and
// Brand's Uuids changed in letter case only.
const std::string kNew = ReadFile(SourcePath("check/tests/data/new.xml"));
const std::string kFieldRules = ReadFile(SourcePath("check/tests/data/qormeta.toml"));

// The lines of kOld -> kNew under kFieldRules, each with its rule.
const char* const kPlanted[] = {
    "new.xml:2:13: error: the class <Class Name=\"Invoice\"> (Uuid \"c-inv\", line 17 of old.xml) is deleted: the "
    "migration drops its table and every row [QM101]",
    "new.xml:3:3: error: the attribute <Attribute Name=\"Fax\"> (Uuid \"a-fax\", line 5 of old.xml) is deleted from "
    "the class <Class Name=\"Customer\">: the migration drops its column and the column's data [QM102]",
    "new.xml:3:3: error: the attribute <Attribute Name=\"Note\"> (Uuid \"a-note\", line 8 of old.xml) is deleted "
    "from the class <Class Name=\"Customer\">: the migration drops its column and the column's data [QM102]",
    "new.xml:5:5: error: the attribute <Attribute Name=\"phone\"> of the class <Class Name=\"Customer\"> is re-created "
    "under the new Uuid \"a-phone-2\": the attribute of that Name with the Uuid \"a-phone\" (line 6 of old.xml) is "
    "deleted, so the migration drops its column and adds an empty one; keep the old Uuid \"a-phone\" [QM103]",
    "new.xml:11:5: warning: the attribute <Attribute Name=\"Brand\"> of the class <Class Name=\"Order\"> is renamed "
    "from \"brand\" (line 13 of old.xml): check that the migration renames its column rather than dropping it "
    "[QM105]",
    "new.xml:11:5: error: the field Size of the attribute <Attribute Name=\"Brand\"> of the class <Class "
    "Name=\"Order\"> shrinks from \"10\" to \"5\" (line 13 of old.xml): values that no longer fit are cut or "
    "refused [QM106]",
    "new.xml:12:2: error: the attribute <Attribute Name=\"Region\"> of the class <Class Name=\"Order\"> is moved here "
    "from the class <Class Name=\"Customer\"> (line 7 of old.xml): the migration drops the column from that table "
    "and adds an empty one to this one; its data does not follow [QM104]",
    "new.xml:12:59: warning: the field Type of the attribute <Attribute Name=\"Code\"> of the class <Class "
    "Name=\"Order\"> changes from \"char\" to \"varchar\" (line 14 of old.xml), which is not among the changes "
    "allowed for Type (int -> bigint, varchar -> text) [QM107]",
    "new.xml:15:3: error: the class <Class Name=\"store\"> is re-created under the new Uuid \"c-store-2\": the class "
    "of that Name with the Uuid \"c-store\" (line 18 of old.xml) is deleted, so the migration drops its table and "
    "adds an empty one; keep the old Uuid \"c-store\" [QM103]",
};

// The planted lines as they read for other names of the two versions.
std::string Renamed(const std::string& lines, const std::string& file, const std::string& old) {
    const std::string named = std::regex_replace(lines, std::regex("new\\.xml:([0-9]+:[0-9]+: )"), file + ":$1");
    return std::regex_replace(named, std::regex(" of old\\.xml"), " of " + old);
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

// The planted lines, those that match keep (a regex) only.
std::string Planted(const std::string& keep = ".") {
    std::vector<std::string> lines;
    for (const char* line : kPlanted)
        if (std::regex_search(line, std::regex(keep))) lines.emplace_back(line);
    return Lines(lines);
}

class ChangeCheck : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("old.xml", kOld);
        dir.write("new.xml", kNew);
    }
    TempDir dir;
};

TEST_F(ChangeCheck, EveryRuleFiresOnceWhereTheChangeHappened) {
    dir.write(".qormeta.toml", kFieldRules);
    HostRun run = RunCheck({"-Old", "old.xml", "new.xml"}, dir.path());
    EXPECT_EQ(run.out, Planted());
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitStatus, 1);
    // Byte columns: é and the emoji are 6 bytes before the package, 3 UTF-16 units.
    run = RunCheck({"-Columns", "bytes", "-Old", "old.xml", "new.xml"}, dir.path());
    EXPECT_THAT(run.out, StartsWith("new.xml:2:16: error: the class <Class Name=\"Invoice\">"));
    // Without field rules, neither QM106 nor QM107.
    dir.write(".qormeta.toml", "");
    EXPECT_EQ(RunCheck({"-Old", "old.xml", "new.xml"}, dir.path()).out, Planted("QM10[1-5]"));
}

// The same pair the other way round: what was added is now deleted, and the
// rules find it from the other side.
TEST_F(ChangeCheck, TheReversePairIsCheckedFromTheOtherSide) {
    const HostRun run = RunCheck({"-Old", "new.xml", "old.xml"}, dir.path());
    EXPECT_THAT(run.out, HasSubstr("old.xml:2:1: error: the class <Class Name=\"Shipment\"> (Uuid \"c-ship\", line "
                                   "16 of new.xml) is deleted"));
    EXPECT_THAT(run.out, HasSubstr("old.xml:7:5: error: the attribute <Attribute Name=\"Region\"> of the class <Class "
                                   "Name=\"Customer\"> is moved here from the class <Class Name=\"Order\"> (line 12 "
                                   "of new.xml)"));
    EXPECT_THAT(run.out, Not(HasSubstr("Mixed")));
    EXPECT_EQ(run.exitStatus, 1);
}

// What must not be reported: added elements, Uuids changed in letter case
// alone, a field change nothing restricts, an attribute Uuid that another
// class keeps; and an unchanged document has nothing to say.
TEST_F(ChangeCheck, WhatLosesNoDataIsNotReported) {
    dir.write("same.xml", kOld);
    HostRun run = RunCheck({"-Old", "old.xml", "same.xml"}, dir.path());
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.exitStatus, 0);
    std::string grown = std::regex_replace(kOld, std::regex("c-mixed"), "C-MIXED");
    grown = std::regex_replace(grown, std::regex("  <Class Name=\"Mixed\""),
                               "  <Class Name=\"New\" Uuid=\"c-new\"><Attribute Name=\"A\" Uuid=\"a-note\"/></Class>\n"
                               "  <Class Name=\"Mixed\"");
    grown = std::regex_replace(grown, std::regex("Type=\"int\"/>"), "Type=\"int\" Default=\"0\"/>");
    dir.write("grown.xml", grown);
    run = RunCheck({"-Old", "old.xml", "grown.xml"}, dir.path());
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.exitStatus, 0);
}

// A document that did not exist is checked by the document rules alone; an
// earlier version that does not load is a warning, and nothing else of the
// change is checked; a new version that does not load gets its own errors. A
// package without a Name loads: the diff takes the earlier version's, and
// the changes are checked.
TEST_F(ChangeCheck, VersionsThatDoNotLoad) {
    dir.write("broken.xml", "<Package Name=\"p\"><Class Name=\"c\"></Package>");
    dir.write("noname.xml", "<Package Name=\"p\"><Class Uuid=\"c\"/></Package>");
    HostRun run = RunCheck({"-Old", "broken.xml", "new.xml"}, dir.path());
    EXPECT_EQ(run.out,
              "new.xml: warning: the earlier version broken.xml does not load (line 1: expected end of tag 'Class'), "
              "so no change is checked [QM001]\n");
    EXPECT_EQ(run.exitStatus, 0);
    run = RunCheck({"-Old", "old.xml", "noname.xml"}, dir.path());
    EXPECT_EQ(run.out, "noname.xml:1:19: error: the class <Class Uuid=\"c\"> has no Name (or an empty one) [QM003]\n");
    EXPECT_EQ(run.exitStatus, 1);
    run = RunCheck({"-Old", "missing.xml", "new.xml"}, dir.path());
    EXPECT_THAT(run.out, StartsWith("new.xml: warning: the earlier version missing.xml does not load (cannot open"));
    std::string unnamed = std::regex_replace(kOld, std::regex("<Package Name=\"Sales\""), "<Package");
    dir.write("unnamed.xml", std::regex_replace(unnamed, std::regex(".*\"a-fax\".*\n"), ""));
    run = RunCheck({"-Old", "old.xml", "unnamed.xml"}, dir.path());
    EXPECT_EQ(run.out,
              "unnamed.xml:2:1: error: the package <Package> has no Name (or an empty one): the diff takes the "
              "package's name from the versions it compares and refuses them when neither has one, also when this "
              "one is compared with nothing (added or deleted) [QM007]\n"
              "unnamed.xml:3:3: error: the attribute <Attribute Name=\"Fax\"> (Uuid \"a-fax\", line 5 of old.xml) is "
              "deleted from the class <Class Name=\"Customer\">: the migration drops its column and the column's data "
              "[QM102]\n");
}

// Each key of .qormeta.toml at work: severities raised, lowered and
// switched off, an acknowledged change by its (old or new) Uuid in any
// letter case; the file found at the top of the repository from a folder
// below it, or named with -Config.
TEST_F(ChangeCheck, TheConfigurationSetsSeveritiesAndAcknowledgesChanges) {
    dir.write("team.toml", kFieldRules +
                               "[rules]\n"
                               "QM105 = \"off\"\n"
                               "QM102 = \"warning\"\n"
                               "QM006 = \"error\"\n"
                               "[[allow]]\n"
                               "rule = \"QM103\"\n"
                               "uuid = \"C-STORE\"          # the old Uuid, another letter case\n"
                               "reason = \"the store table is rebuilt from the shop system\"\n"
                               "[[allow]]\n"
                               "rule = \"QM104\"\n"
                               "uuid = \"a-region\"\n"
                               "reason = \"the migration copies regions by hand\"\n");
    const HostRun run = RunCheck({"-Config", "team.toml", "-Old", "old.xml", "new.xml"}, dir.path());
    EXPECT_EQ(run.out, std::regex_replace(Planted("QM10[1267]|phone"),
                                          std::regex("error(: the attribute <Attribute "
                                                     "Name=\"(Fax|Note)\")"),
                                          "warning$1"));
    EXPECT_EQ(run.exitStatus, 1);
    // Found at the top of the repository, from a folder below it.
    ScratchRepository repo;
    repo.Commit({{".qormeta.toml",
                  "[rules]\nQM101 = \"off\"\nQM102 = \"off\"\nQM103 = \"warning\"\n"
                  "QM104 = \"off\"\nQM105 = \"off\"\n"},
                 {"models/old.xml", kOld},
                 {"models/new.xml", kNew}},
                "models");
    const HostRun below = RunCheck({"-Old", "old.xml", "new.xml"}, repo.path() + "/models");
    EXPECT_EQ(below.out, std::regex_replace(Planted("QM103"), std::regex(": error: "), ": warning: "));
    EXPECT_EQ(below.exitStatus, 0);
    EXPECT_EQ(RunCheck({"-Werror", "-Old", "old.xml", "new.xml"}, repo.path() + "/models").exitStatus, 1);
}

// A configuration that cannot be read stops the check with status 2 and
// says where: the file, the line and the key.
TEST_F(ChangeCheck, AConfigurationErrorNamesTheFileTheLineAndTheKey) {
    const struct {
        std::string toml, error;
    } cases[] = {
        {"[rules]\nQM105 = \"loud\"\n",
         "bad.toml:2: rules.QM105: must be \"error\", \"warning\" or \"off\", not \"loud\""},
        {"[rules]\n\nQM999 = \"off\"\n",
         "bad.toml:3: rules.QM999: unknown rule \"QM999\": the rules are QM001 to QM007 and QM101 to QM107"},
        {"[rules]\nQM002 = \"warning\"\n",
         "bad.toml:2: rules.QM002: QM002 cannot be changed: the diff refuses a document it finds, so it stays an "
         "error"},
        {"[rules]\nQM105 = 3\n", "bad.toml:2: rules.QM105: must be a string"},
        {"rules = 1\n", "bad.toml:1: rules: must be a table"},
        {"[checks]\nx = 1\n", "bad.toml:1: checks: unknown key: the keys are fields, rules and allow"},
        {"[fields.Size]\nnarrowing = \"error\"\nmax = 3\n",
         "bad.toml:3: fields.Size.max: unknown key: a field's keys are narrowing, change and allow"},
        {"[fields.Type]\nallow = [\"int -> bigint\"]\n",
         "bad.toml:2: fields.Type.allow: goes with change: the changes allowed where change is restricted"},
        {"[fields.Type]\nchange = \"error\"\nallow = [\"int to bigint\"]\n",
         "bad.toml:3: fields.Type.allow: \"int to bigint\" is not \"old -> new\" (* stands for any value)"},
        {"[fields.Type]\nchange = \"error\"\nallow = \"int -> bigint\"\n",
         "bad.toml:3: fields.Type.allow: must be a list of \"old -> new\""},
        {"[[allow]]\nrule = \"QM102\"\nuuid = \"a-fax\"\n",
         "bad.toml:1: allow[1].reason: missing or empty: every acknowledged change names its rule, the Uuid of its "
         "element and the reason it is accepted"},
        {"[[allow]]\nrule = \"QM102\"\nuuid = \"a\"\nreason = \"r\"\n[[allow]]\nuuid = \"b\"\nreason = \"r\"\n",
         "bad.toml:5: allow[2].rule: missing or empty: every acknowledged change names its rule, the Uuid of its "
         "element and the reason it is accepted"},
        {"[[allow]]\nrule = \"QM004\"\nuuid = \"a\"\nreason = \"r\"\n",
         "bad.toml:2: allow[1].rule: QM004 is a document rule: only changes (QM101 to QM107) are acknowledged one by "
         "one; switch a rule off under [rules]"},
        {"[[allow]]\nrule = \"QM102\"\nuuid = \"a\"\nreason = \"r\"\nby = \"me\"\n",
         "bad.toml:5: allow[1].by: unknown key: an acknowledged change has rule, uuid and reason"},
        {"[rules\n", "bad.toml:1:7: not valid TOML: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toml);
        dir.write("bad.toml", c.toml);
        const HostRun run = RunCheck({"-Config", "bad.toml", "-Old", "old.xml", "new.xml"}, dir.path());
        EXPECT_THAT(run.err, StartsWith("QORMetaCheck: " + c.error));
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.exitStatus, 2);
    }
    const HostRun missing = RunCheck({"-Config", "none.toml", "new.xml"}, dir.path());
    EXPECT_EQ(missing.err, "QORMetaCheck: none.toml: cannot be read: no such file\n");
    EXPECT_EQ(missing.exitStatus, 2);
}

// -Against REV: named files against their versions at REV (one REV does not
// hold is new: document rules only), or every document that differs
// between REV and the work tree as .gitattributes or -Path selects them,
// a deleted one with a problem per class at line 1, column 1 (or, when its
// package has no Name, which the diff refuses, one QM007 there). HEAD before
// the first commit is the empty tree.
TEST_F(ChangeCheck, AgainstARevisionWithAndWithoutFiles) {
    ScratchRepository repo;
    repo.Commit({{".gitattributes", "*.meta.xml diff=qormeta\n"},
                 {"models/sales.meta.xml", kOld},
                 {"models/gone.meta.xml", "<P Name=\"g\">\n<C Name=\"A\" Uuid=\"a\"/><C Name=\"B\" Uuid=\"b\"/></P>\n"},
                 {"models/unnamed.meta.xml", "<P>\n<C Name=\"A\" Uuid=\"a\"/></P>\n"},
                 {"models/plain.xml", kOld}},
                "first");
    repo.Commit({{"models/sales.meta.xml", kNew}}, "second");
    repo.Git({"rm", "-q", "models/gone.meta.xml", "models/unnamed.meta.xml"});
    TempDir other;
    other.write("x.meta.xml", kNew);
    const std::string work = repo.path();
    RunProgram("cp", {dir.file("new.xml"), work + "/models/new.meta.xml"});
    RunProgram("cp", {dir.file("new.xml"), work + "/models/plain.xml"});

    // Files named: sales against HEAD~1, new.meta.xml is new.
    HostRun run = RunCheck({"-Against", "HEAD~1", "--", "sales.meta.xml", "new.meta.xml"}, work + "/models");
    EXPECT_EQ(run.out, Renamed(Planted("QM10[1-5]"), "sales.meta.xml", "HEAD~1:models/sales.meta.xml"));

    EXPECT_EQ(run.exitStatus, 1);
    // Every document that differs from HEAD: gone (deleted), plain.xml is no metadata document by .gitattributes.
    run = RunCheck({"-Against", "HEAD"}, work + "/models");
    EXPECT_EQ(run.out,
              "gone.meta.xml:1:1: error: the class <C Name=\"A\"> (Uuid \"a\", line 2 of HEAD:models/gone.meta.xml) is "
              "deleted: the migration drops its table and every row [QM101]\n"
              "gone.meta.xml:1:1: error: the class <C Name=\"B\"> (Uuid \"b\", line 2 of HEAD:models/gone.meta.xml) is "
              "deleted: the migration drops its table and every row [QM101]\n"
              "unnamed.meta.xml:1:1: error: the earlier version HEAD:models/unnamed.meta.xml has a package without a "
              "Name (or an empty one): the diff refuses a deleted document that names no package, so the deletion of "
              "its classes is not checked [QM007]\n");
    EXPECT_EQ(run.exitStatus, 1);
    // -Path selects instead of .gitattributes, relative to the current folder.
    run = RunCheck({"-Against", "HEAD", "-Path", "plain.xml"}, work + "/models");
    EXPECT_EQ(run.out, Renamed(Planted("QM10[1-5]"), "plain.xml", "HEAD:models/plain.xml"));
    // Nothing differs: nothing to say.
    EXPECT_EQ(RunCheck({"-Against", "HEAD", "-Path", "sales.meta.xml"}, work + "/models").out, "");
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{"-Against", "no-such-branch"},
                                               {"-Against", "HEAD", other.file("x.meta.xml")},
                                               {"-Against", "HEAD", "-Path", ":(attr:x)y"},
                                               {"-Against", "HEAD", "-Path", "a", "b.xml"}}) {
        run = RunCheck(wrong, work);
        EXPECT_EQ(run.exitStatus, 2) << wrong[1];
        EXPECT_THAT(run.err, StartsWith("QORMetaCheck: "));
    }
    EXPECT_EQ(RunCheck({"-Against", "HEAD", "x.meta.xml"}, other.path()).exitStatus, 2);  // not in a repository

    // Before the first commit HEAD holds nothing: what is staged is new, document rules only.
    ScratchRepository first;
    ASSERT_TRUE(QORMDWriteFile(first.path() + "/a.meta.xml", kOld));
    ASSERT_TRUE(QORMDWriteFile(first.path() + "/b.meta.xml", "<P Name=\"b\">\n  <C Name=\"B\"/>\n</P>\n"));
    first.Git({"add", "-A"});
    run = RunCheck({"-Against", "HEAD", "-Path", "*.meta.xml"}, first.path());
    EXPECT_EQ(run.out, "b.meta.xml:2:3: error: the class <C Name=\"B\"> has no Uuid (or an empty one) [QM002]\n");
    EXPECT_EQ(run.exitStatus, 1) << run.err;
    EXPECT_EQ(RunCheck({"-Against", "HEAD", "a.meta.xml"}, first.path()).exitStatus, 0);
}

// SARIF and GitLab's code quality report: each rule's help leads to its
// section of doc/check-rules.md; paths are relative to the top of the
// repository; a fingerprint stays while its problem does, however lines move.
// (Microsoft's validator checks the SARIF: SarifValidator.everyRule.)
TEST_F(ChangeCheck, SarifAndCodeQualityNameTheirRulesAndKeepTheirFingerprints) {
    dir.write(".qormeta.toml", kFieldRules);
    const auto sarif = [&]() {
        return nlohmann::json::parse(RunCheck({"-Format", "sarif", "-Old", "old.xml", "new.xml"}, dir.path()).out);
    };
    const nlohmann::json log = sarif();
    const std::string manual = ReadFile(SourcePath("doc/check-rules.md"));
    for (const auto& rule : log["runs"][0]["tool"]["driver"]["rules"]) {
        const std::string link = rule["helpUri"], id = rule["id"], name = rule["name"];
        EXPECT_THAT(link, testing::EndsWith("check-rules.md#" + UpperCase(id).replace(0, 2, "qm") + "-" + name));
        EXPECT_THAT(manual, HasSubstr("\n## " + id + " " + name + "\n"));
    }
    const auto& results = log["runs"][0]["results"];
    ASSERT_EQ(results.size(), std::size(kPlanted));
    EXPECT_EQ(results[0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"], "new.xml");
    EXPECT_EQ(results[0]["locations"][0]["physicalLocation"]["region"]["startColumn"], 13);
    EXPECT_EQ(log["runs"][0]["columnKind"], "utf16CodeUnits");

    const auto quality = [&]() {
        return nlohmann::json::parse(
            RunCheck({"-Format", "codequality", "-Old", "old.xml", "new.xml"}, dir.path()).out);
    };
    const nlohmann::json before = quality();
    ASSERT_EQ(before.size(), std::size(kPlanted));
    EXPECT_EQ(before[0]["check_name"], "QM101");
    EXPECT_EQ(before[0]["severity"], "critical");
    EXPECT_EQ(before[0]["location"]["path"], "new.xml");
    EXPECT_EQ(before[0]["location"]["lines"]["begin"], 2);
    // Lines moved: the same fingerprints; another problem of the same kind gets one of its own.
    dir.write("new.xml", std::regex_replace(kNew, std::regex("\n<!--"), "\n\n\n<!--"));
    const nlohmann::json after = quality();
    std::set<std::string> fingerprints;
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i]["fingerprint"], before[i]["fingerprint"]);
        EXPECT_EQ(after[i]["location"]["lines"]["begin"], before[i]["location"]["lines"]["begin"].get<int>() + 2);
        fingerprints.insert(after[i]["fingerprint"].get<std::string>());
    }
    EXPECT_EQ(fingerprints.size(), before.size());
    EXPECT_EQ(RunCheck({"-Format", "sarif", "-Columns", "bytes", "new.xml"}, dir.path()).exitStatus, 2);
}

// The SARIF log's paths: relative references under the top folder's file URI,
// whose drive letter, on Windows, keeps its colon.
TEST(ChangeCheckSarif, PathsAsUris) {
    const std::pair<std::string, std::string> uris[] = {
        {"models/sales.meta.xml", "models/sales.meta.xml"},
        {"a b/Données#1?.xml", "a%20b/Donn%C3%A9es%231%3F.xml"},
        {"x:y/%", "x%3Ay/%25"},
    };
    for (const auto& [path, uri] : uris) EXPECT_EQ(cCheckSarif::Uri(path), uri) << path;
    const std::pair<std::string, std::string> folders[] = {
        {"/srv/repo/", "file:///srv/repo/"}, {"/tmp/a b/", "file:///tmp/a%20b/"},
        {"Z:/tmp/x/", "file:///Z:/tmp/x/"},  {"c:/Données/", "file:///c:/Donn%C3%A9es/"},
        {"/c:/", "file:///c%3A/"},
    };
    for (const auto& [folder, uri] : folders) EXPECT_EQ(cCheckSarif::FileUri(folder), uri) << folder;
}

}  // namespace
