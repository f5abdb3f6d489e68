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
#include <regex>

#include "QORMDScratchRepository.h"
#include "QORMDTestSupport.h"

namespace {

HostRun RunCheck(const std::vector<std::string>& args, const std::string& folder) {
    return RunProgram(QORMC_CHECK_PATH, args, {folder});
}

const char kOld[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<Package Name=\"Sales\" Uuid=\"pkg\">\n"
    "  <Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"CUSTOMER\">\n"
    "    <Attribute Name=\"Id\" Uuid=\"a-id\" Type=\"int\"/>\n"
    "    <Attribute Name=\"Fax\" Uuid=\"a-fax\" Type=\"varchar\" Size=\"20\"/>\n"
    "    <Attribute Name=\"Phone\" Uuid=\"a-phone\" Type=\"varchar\"/>\n"
    "    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n"
    "    <Attribute Name=\"Note\" Uuid=\"a-note\" Type=\"text\"/>\n"
    "  </Class>\n"
    "  <Class Name=\"Order\" Uuid=\"c-order\">\n"
    "    <Attribute Name=\"Id\" Uuid=\"a-id\" Type=\"int\"/>\n"
    "    <Attribute Name=\"Note\" Uuid=\"a-note\" Type=\"text\"/>\n"
    "    <Attribute Name=\"brand\" Uuid=\"u-brand\" Size=\"10\"/>\n"
    "    <Attribute Name=\"Code\" Uuid=\"a-code\" Type=\"char\" Size=\"8\"/>\n"
    "  </Class>\n"
    "  <Class Name=\"Brand\" Uuid=\"U-BRAND\" Size=\"40\"/>\n"
    "  <Class Name=\"Invoice\" Uuid=\"c-inv\"><Attribute Name=\"No\" Uuid=\"a-no\"/></Class>\n"
    "  <Class Name=\"Store\" Uuid=\"c-store\"><Attribute Name=\"Code\" Uuid=\"a-store-code\"/></Class>\n"
    "  <Class Name=\"Mixed\" Uuid=\"c-mixed\"/>\n"
    "</Package>\n";

// Phone re-created (another letter case, a new Uuid), Region moved to Order,
// Fax deleted, Note (shared with Order, which keeps it) gone from Customer,
// Invoice deleted, Store re-created with its attribute, brand renamed and
// narrowed (its Uuid is the class Brand's in another case), Code's type
// changed, Id's type changed as allowed; Shipment added, Mixed's and
// Brand's Uuids changed in letter case only.
const char kNew[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- é😀 --><Package Name=\"Sales\" Uuid=\"pkg\">\n"
    "  <Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"CUSTOMER\">\n"
    "    <Attribute Name=\"Id\" Uuid=\"a-id\" Type=\"int\"/>\n"
    "    <Attribute Name=\"phone\" Uuid=\"a-phone-2\" Type=\"varchar\"/>\n"
    "  </Class>\n"
    "  <Class\n"
    "      Name=\"Order\" Uuid=\"c-order\">\n"
    "    <Attribute Name=\"Id\" Uuid=\"a-id\" Type=\"bigint\"/>\n"
    "    <Attribute Name=\"Note\" Uuid=\"a-note\" Type=\"text\"/>\n"
    "    <Attribute Name=\"Brand\" Uuid=\"u-brand\" Size=\"5\"/>\n"
    "\t<Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>"
    "<Attribute Name=\"Code\" Uuid=\"a-code\" Type=\"varchar\" Size=\"8\"/>\n"
    "  </Class>\n"
    "  <Class Name=\"Brand\" Uuid=\"u-brand\" Size=\"40\"/>\n"
    "  <Class Name=\"store\" Uuid=\"c-store-2\"><Attribute Name=\"Code\" Uuid=\"a-store-code-2\"/></Class>\n"
    "  <Class Name=\"Shipment\" Uuid=\"c-ship\"><Attribute Name=\"Fax\" Uuid=\"a-fax-3\"/></Class>\n"
    "  <Class Name=\"Mixed\" Uuid=\"C-MIXED\"/>\n"
    "</Package>\n";

const char kFieldRules[] =
    "[fields.Size]\n"
    "narrowing = \"error\"                      # QM106\n"
    "[fields.Type]\n"
    "change = \"warning\"\n"
    "allow = [\"int -> bigint\", \"varchar -> text\"]\n";

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
// change is checked; a new version that does not load gets its own errors.
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
}

}  // namespace
