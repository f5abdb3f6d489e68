// SPDX-License-Identifier: Apache-2.0
// QORMetaMerge through the real program, on edits of one base model: the
// merge rules (fields, elements, content the model does not compare, order,
// versions left as in the base), runs that must not merge (wrong arguments
// exit 2; inputs that do not load, outputs that cannot be written exit 3 and
// leave every file as it was), and the git drivers in a real repository.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "MergeSupport.h"
#include "QORMMSpliceCheck.h"

namespace {

const char kBase[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Package Name="Sales" Uuid="pkg-1" Version="1.0">
  <!-- sales model -->
  <Comment Text="kept as it is"/>
  <Class Name="Customer" Uuid="c-cust" Table="CUSTOMER" Owner="sales">
    <Attribute Name="Id" Uuid="a-id" Type="int"/>
    <Attribute Name="Email" Uuid="a-email" Type="varchar" Size="120">
      <Check Rule="like '%@%'"/>
    </Attribute>
    <InterfaceImplementation Ref="i-1"/>
  </Class>
  <Class Name="Order" Uuid="c-order" Table="ORDERS">
    <Attribute Name="Total" Uuid="a-total" Type="decimal"/>
    <Attribute Name="Region" Uuid="a-region" Type="varchar"/>
  </Class>
  <Interface Name="Auditable" Uuid="i-1" Scope="all"/>
  <Class Name="Note" Uuid="c-note">
    <Attribute Name="Body" Uuid="a-body" Type="text">free text</Attribute>
  </Class>
</Package>
)";

class MergeRules : public ::testing::Test {
protected:
    // Merges ours and theirs (edits of kBase) into merged.xml, with conflicts.xml.
    HostRun Merge(const std::string& ours, const std::string& theirs, const std::string& base = kBase) {
        return RunMerge(dir.write("base.xml", base), dir.write("ours.xml", ours), dir.write("theirs.xml", theirs),
                        dir.file("merged.xml"), {"-Conflicts", dir.file("conflicts.xml")});
    }
    std::map<std::string, std::string> Merged() { return Content(dir.file("merged.xml")); }
    std::string MergedText() { return ReadFile(dir.file("merged.xml")); }

    TempDir dir;
};

TEST_F(MergeRules, OursLayoutStandsAndOnlyABaseByteForByteGivesTheOtherWhole) {
    const std::string ours =
        Edit(kBase, {{"Type=\"int\"", "Type=\"bigint\""}, {"  <Class Name=\"Note\"", "<Class Name=\"Note\""}});
    // Theirs differs from the base in layout and attribute order only: ours.
    const std::string relaid = Edit(kBase, {{"Name=\"Total\" Uuid=\"a-total\"", "Uuid=\"a-total\"   Name=\"Total\""},
                                            {"\n  </Class>\n  <Interface", "</Class><Interface"}});
    for (const std::string& theirs : {std::string(kBase), relaid}) {
        EXPECT_EQ(Merge(ours, theirs).exitStatus, 0);
        EXPECT_EQ(MergedText(), ours);
    }
    // Ours is the base byte for byte: theirs.
    EXPECT_EQ(Merge(kBase, ours).exitStatus, 0);
    EXPECT_EQ(MergedText(), ours);
    EXPECT_EQ(Merge(kBase, kBase).exitStatus, 0);
    EXPECT_EQ(MergedText(), kBase);

    // Ours changed only layout, in the file or in Id: ours' bytes, with
    // theirs' changes spliced in (a type changed and a size added in Id, an
    // owner dropped, an attribute added), line ends made ours'.
    const std::string theirs =
        Edit(kBase, {{"Type=\"int\"/>", "Type=\"bigint\" Size=\"8\"/>"},
                     {" Owner=\"sales\"", ""},
                     {"\"varchar\"/>\n", "\"varchar\"/>\n    <Attribute Name=\"Date\" Uuid=\"a-date\"/>\n"}});
    auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
            text.replace(at, from.size(), to);
        return text;
    };
    const std::string crlf = replaced(kBase, "\n", "\r\n");
    const std::string tabs = "\xEF\xBB\xBF" + replaced(replaced(kBase, "\n    ", "\n\t\t"), "\n  ", "\n\t");
    // Theirs' edits but in Id, as they land in ours' text.
    auto landed = [](const std::string& text, const std::string& type, const std::string& typeAfter) {
        return Edit(text, {{type, typeAfter},
                           {" Owner=\"sales\"", ""},
                           {"\"varchar\"/>\n", "\"varchar\"/>\n    <Attribute Name=\"Date\" Uuid=\"a-date\"/>\n"}});
    };
    const std::string id = "<Attribute Name=\"Id\" Uuid=\"a-id\" Type=\"int\"/>";
    struct Case {
        const char* what;
        std::string ours, merged;
    };
    const std::vector<Case> cases = {
        {"CRLF line ends", crlf, replaced(theirs, "\n", "\r\n")},
        {"a byte order mark and tabs", tabs, landed(tabs, "Type=\"int\"/>", "Type=\"bigint\" Size=\"8\"/>")},
        {"a start tag over two lines",
         Edit(kBase, {{id, "<Attribute Name=\"Id\"\n        Uuid=\"a-id\" Type=\"int\"/>"}}),
         landed(Edit(kBase, {{id, "<Attribute Name=\"Id\"\n        Uuid=\"a-id\" Type=\"int\"/>"}}), "Type=\"int\"/>",
                "Type=\"bigint\" Size=\"8\"/>")},
        {"blanks around =", Edit(kBase, {{id, "<Attribute Name = \"Id\" Uuid = \"a-id\" Type = \"int\"/>"}}),
         landed(Edit(kBase, {{id, "<Attribute Name = \"Id\" Uuid = \"a-id\" Type = \"int\"/>"}}), "Type = \"int\"/>",
                "Type = \"bigint\" Size=\"8\"/>")},
        {"single quotes", Edit(kBase, {{id, "<Attribute Name='Id' Uuid='a-id' Type='int'/>"}}),
         landed(Edit(kBase, {{id, "<Attribute Name='Id' Uuid='a-id' Type='int'/>"}}), "Type='int'/>",
                "Type='bigint' Size=\"8\"/>")},
        {"an end tag", Edit(kBase, {{id, "<Attribute Name=\"Id\" Uuid=\"a-id\" Type=\"int\"></Attribute>"}}),
         landed(Edit(kBase, {{id, "<Attribute Name=\"Id\" Uuid=\"a-id\" Type=\"int\"></Attribute>"}}),
                "Type=\"int\"></", "Type=\"bigint\" Size=\"8\"></")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HostRun run = Merge(c.ours, theirs);
        EXPECT_EQ(run.exitStatus, 0) << run.err;
        EXPECT_EQ(MergedText(), c.merged);
        EXPECT_EQ(QORMMCheckSplice(dir.path(), dir.file("base.xml"), dir.file("ours.xml"), dir.file("theirs.xml")), "");
    }
}

TEST_F(MergeRules, FieldsChangedOnOneLine) {
    // Different fields of one class on one line: both taken.
    HostRun run = Merge(Edit(kBase, {{"Table=\"CUSTOMER\"", "Table=\"CLIENT\""}}),
                        Edit(kBase, {{"Owner=\"sales\"", "Owner=\"crm\""}, {"Type=\"decimal\"", "Type=\"money\""}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Merged()["Class C-CUST"], "Name=Customer Owner=crm Table=CLIENT Uuid=c-cust");
    EXPECT_EQ(Merged()["Attribute C-ORDER/A-TOTAL"], "Name=Total Type=money Uuid=a-total");
    EXPECT_EQ(ConflictKeys(dir.file("conflicts.xml")), std::vector<std::string>{});

    // The same change on both sides, a field added by one and deleted by the other.
    run = Merge(Edit(kBase, {{"Table=\"CUSTOMER\"", "Table=\"CLIENT\" Audit=\"on\""}}),
                Edit(kBase, {{"Table=\"CUSTOMER\" Owner=\"sales\"", "Table=\"CLIENT\""}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(Merged()["Class C-CUST"], "Audit=on Name=Customer Table=CLIENT Uuid=c-cust");

    // Theirs quotes a value with the other quote character than ours: ours'
    // quote character in it becomes a reference.
    run = Merge(Edit(kBase, {{"Owner=\"sales\"", "Owner='sales'"}, {"Type=\"int\"", "Type=\"bigint\""}}),
                Edit(kBase, {{"Table=\"CUSTOMER\" Owner=\"sales\"", "Table='say \"hi\"' Owner=\"o'brien\""}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(MergedText(), HasSubstr("<Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"say &quot;hi&quot;\" "
                                        "Owner='o&apos;brien'>\n"));

    // Different values, and a deletion against a change: conflicts, ours kept.
    run = Merge(Edit(kBase, {{"Size=\"120\"", "Size=\"254\""}, {" Owner=\"sales\"", ""}}),
                Edit(kBase, {{"Size=\"120\"", "Size=\"200\""}, {"Owner=\"sales\"", "Owner=\"crm\""}}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err,
              "CONFLICT (field Owner): <Class Name=\"Customer\" Uuid=\"c-cust\"> in <Package Name=\"Sales\" "
              "Uuid=\"pkg-1\">: base \"sales\", ours (none), theirs \"crm\"\n"
              "CONFLICT (field Size): <Attribute Name=\"Email\" Uuid=\"a-email\"> in <Class Name=\"Customer\" "
              "Uuid=\"c-cust\">: base \"120\", ours \"254\", theirs \"200\"\n");
    EXPECT_EQ(Merged()["Class C-CUST"], "Name=Customer Table=CUSTOMER Uuid=c-cust");
    EXPECT_EQ(Merged()["Attribute C-CUST/A-EMAIL"], "Name=Email Size=254 Type=varchar Uuid=a-email");
    EXPECT_EQ(
        ReadFile(dir.file("conflicts.xml")),
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
        "<MergeConflicts Base=\"" +
            dir.file("base.xml") + "\" Count=\"2\" Ours=\"" + dir.file("ours.xml") + "\" Theirs=\"" +
            dir.file("theirs.xml") +
            "\">\n"
            "  <Conflict Base=\"sales\" Element=\"Class\" Field=\"Owner\" Kind=\"Field\" Name=\"Customer\" "
            "ParentElement=\"Package\" ParentName=\"Sales\" ParentUuid=\"pkg-1\" Theirs=\"crm\" Uuid=\"c-cust\"/>\n"
            "  <Conflict Base=\"120\" Element=\"Attribute\" Field=\"Size\" Kind=\"Field\" Name=\"Email\" "
            "Ours=\"254\" ParentElement=\"Class\" ParentName=\"Customer\" ParentUuid=\"c-cust\" Theirs=\"200\" "
            "Uuid=\"a-email\"/>\n"
            "</MergeConflicts>\n");
}

TEST_F(MergeRules, ElementsAddedDeletedAndMoved) {
    // Ours adds an attribute and moves Region to Customer; theirs adds an
    // attribute elsewhere and a class, and deletes Note, which ours left.
    HostRun run =
        Merge(Edit(kBase, {{"    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n", ""},
                           {"<InterfaceImplementation",
                            "<Attribute Name=\"Region\" Uuid=\"A-REGION\" Type=\"varchar\"/>\n"
                            "    <Attribute Name=\"Phone\" Uuid=\"a-phone\" Type=\"varchar\"/>\n"
                            "    <InterfaceImplementation"}}),
              Edit(kBase, {{"Type=\"decimal\"/>",
                            "Type=\"decimal\"/>\n    <Attribute Name=\"Date\" Uuid=\"a-date\" Type=\"date\"/>"},
                           {"  <Class Name=\"Note\" Uuid=\"c-note\">\n    <Attribute Name=\"Body\" Uuid=\"a-body\" "
                            "Type=\"text\">free text</Attribute>\n  </Class>\n",
                            "  <Class Name=\"Shipment\" Uuid=\"c-ship\"/>\n"}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    std::map<std::string, std::string> merged = Merged();
    EXPECT_EQ(merged.count("Attribute C-ORDER/A-REGION"), 0u);
    EXPECT_EQ(merged["Attribute C-CUST/A-REGION"], "Name=Region Type=varchar Uuid=A-REGION");
    EXPECT_EQ(merged["Attribute C-CUST/A-PHONE"], "Name=Phone Type=varchar Uuid=a-phone");
    EXPECT_EQ(merged["Attribute C-ORDER/A-DATE"], "Name=Date Type=date Uuid=a-date");
    EXPECT_EQ(merged["Class C-SHIP"], "Name=Shipment Uuid=c-ship");
    EXPECT_EQ(merged.count("Class C-NOTE"), 0u);

    // Each side moves Region to another class: it would stand twice; ours' place is kept.
    const std::string region = "    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n";
    run = Merge(Edit(kBase, {{region, ""}, {"    <InterfaceImplementation", region + "    <InterfaceImplementation"}}),
                Edit(kBase, {{region, ""}, {"free text</Attribute>\n", "free text</Attribute>\n" + region}}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err,
              "CONFLICT (moved to two classes): <Attribute Name=\"Region\" Uuid=\"a-region\"> in <Class "
              "Name=\"Note\" Uuid=\"c-note\">: moved by ours to the class of Uuid \"c-cust\", by theirs "
              "to the class of Uuid \"c-note\"\n");
    merged = Merged();
    EXPECT_EQ(merged.count("Attribute C-CUST/A-REGION"), 1u);
    EXPECT_EQ(merged.count("Attribute C-NOTE/A-REGION") + merged.count("Attribute C-ORDER/A-REGION"), 0u);

    // Theirs moves Region while ours changes it where it was: both sides of it said.
    run = Merge(Edit(kBase, {{"Uuid=\"a-region\" Type=\"varchar\"", "Uuid=\"a-region\" Type=\"text\""}}),
                Edit(kBase, {{region, ""}, {"free text</Attribute>\n", "free text</Attribute>\n" + region}}));
    const std::string where =
        "<Attribute Name=\"Region\" Uuid=\"a-region\"> in <Class Name=\"Order\" Uuid=\"c-order\">: ";
    EXPECT_EQ(run.err, "CONFLICT (moved by theirs): " + where +
                           "moved by theirs to the class of Uuid \"c-note\", kept by ours where it was\n");

    // Both add the same class: its fields merge against nothing.
    const std::string added = "  <Class Name=\"Shipment\" Uuid=\"c-ship\" Table=\"%\"/>\n</Package>";
    run = Merge(Edit(kBase, {{"</Package>", Edit(added, {{"%", "SHIP"}})}}),
                Edit(kBase, {{"</Package>", Edit(added, {{"%", "SHIPMENT"}})}}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(ConflictKeys(dir.file("conflicts.xml")), std::vector<std::string>{"Field C-SHIP Table"});
    EXPECT_EQ(Merged()["Class C-SHIP"], "Name=Shipment Table=SHIP Uuid=c-ship");

    // Deleted on one side, changed inside on the other: a conflict either way,
    // ours' side kept (deleted, or changed).
    const std::string deleteOrder =
        "  <Class Name=\"Order\" Uuid=\"c-order\" Table=\"ORDERS\">\n"
        "    <Attribute Name=\"Total\" Uuid=\"a-total\" Type=\"decimal\"/>\n"
        "    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n"
        "  </Class>\n";
    const std::string changeOrder = Edit(kBase, {{"Type=\"decimal\"", "Type=\"money\""}});
    run = Merge(Edit(kBase, {{deleteOrder, ""}}), changeOrder);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err,
              "CONFLICT (deleted by ours): <Class Name=\"Order\" Uuid=\"c-order\"> in <Package Name=\"Sales\" "
              "Uuid=\"pkg-1\">: deleted by ours, changed by theirs\n");
    EXPECT_EQ(Merged().count("Class C-ORDER"), 0u);
    run = Merge(changeOrder, Edit(kBase, {{deleteOrder, ""}}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(ConflictKeys(dir.file("conflicts.xml")), std::vector<std::string>{"DeletedByTheirs C-ORDER "});
    EXPECT_EQ(Merged()["Attribute C-ORDER/A-TOTAL"], "Name=Total Type=money Uuid=a-total");

    // Elements only theirs has follow the nearest node before them in theirs
    // that the result holds, after what ours added right there. Theirs adds
    // X after Total and Y after Region; ours deletes Region (so Y follows X),
    // adds Z first and W after Total (so W comes before X).
    run = Merge(
        Edit(kBase, {{"    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n", ""},
                     {"<Attribute Name=\"Total\"", "<Attribute Name=\"Z\" Uuid=\"a-z\"/><Attribute Name=\"Total\""},
                     {"Type=\"decimal\"/>", "Type=\"decimal\"/><Attribute Name=\"W\" Uuid=\"a-w\"/>"}}),
        Edit(kBase,
             {{"Type=\"decimal\"/>", "Type=\"decimal\"/><Attribute Name=\"X\" Uuid=\"a-x\"/>"},
              {"Type=\"varchar\"/>\n  </Class>", "Type=\"varchar\"/><Attribute Name=\"Y\" Uuid=\"a-y\"/></Class>"}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_THAT(MergedText(), HasSubstr("<Class Name=\"Order\" Uuid=\"c-order\" Table=\"ORDERS\">\n"
                                        "    <Attribute Name=\"Z\" Uuid=\"a-z\"/><Attribute Name=\"Total\" "
                                        "Uuid=\"a-total\" Type=\"decimal\"/><Attribute Name=\"W\" Uuid=\"a-w\"/>"
                                        "<Attribute Name=\"X\" Uuid=\"a-x\"/><Attribute Name=\"Y\" Uuid=\"a-y\"/>\n"
                                        "  </Class>"));
}

TEST_F(MergeRules, SharedUuidsAndMovesLoseNothing) {
    // The base gives Customer and Order a copy of one attribute, and Note some text.
    const std::string audit = "<Attribute Name=\"Audit\" Uuid=\"a-audit\" Type=\"text\"/>";
    const std::string base =
        Edit(kBase, {{"<InterfaceImplementation", audit + "\n    <InterfaceImplementation"},
                     {"Type=\"varchar\"/>\n  </Class>", "Type=\"varchar\"/>\n    " + audit + "\n  </Class>"},
                     {"<Class Name=\"Note\" Uuid=\"c-note\">", "<Class Name=\"Note\" Uuid=\"c-note\">notes"}});
    const std::string region = "    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n";
    const std::string toNote = "free text</Attribute>\n";
    const std::string note =
        "  <Class Name=\"Note\" Uuid=\"c-note\">notes\n    <Attribute Name=\"Body\" Uuid=\"a-body\" "
        "Type=\"text\">free text</Attribute>\n  </Class>\n";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> ours, theirs;
        std::vector<std::string> conflicts;
        std::map<std::string, std::string> expected;  // "" for absent
    };
    const std::vector<Case> cases = {
        {"theirs gives a third class a copy",
         {},
         {{toNote, toNote + "    " + audit + "\n"}},
         {},
         {{"Attribute C-CUST/A-AUDIT", "Name=Audit Type=text Uuid=a-audit"},
          {"Attribute C-ORDER/A-AUDIT", "Name=Audit Type=text Uuid=a-audit"},
          {"Attribute C-NOTE/A-AUDIT", "Name=Audit Type=text Uuid=a-audit"}}},
        {"theirs moves one class's copy, ours changes the other's",
         {{"Type=\"text\"/>\n  </Class>", "Type=\"clob\"/>\n  </Class>"}},
         {{"    " + audit + "\n    <Inter", "    <Inter"}, {toNote, toNote + "    " + audit + "\n"}},
         {},
         {{"Attribute C-CUST/A-AUDIT", ""},
          {"Attribute C-ORDER/A-AUDIT", "Name=Audit Type=clob Uuid=a-audit"},
          {"Attribute C-NOTE/A-AUDIT", "Name=Audit Type=text Uuid=a-audit"}}},
        {"theirs moves it into a class ours deleted",
         {{note, ""}},
         {{region, ""}, {toNote, toNote + region}},
         {"DeletedByOurs C-NOTE ", "MovedIntoDeletedClass A-REGION "},
         {{"Attribute C-ORDER/A-REGION", "Name=Region Type=varchar Uuid=a-region"}, {"Class C-NOTE", ""}}},
        {"ours deletes it, theirs moves and changes it",
         {{region, ""}},
         {{region, ""}, {toNote, toNote + Edit(region, {{"varchar", "text"}})}},
         {"DeletedByOurs A-REGION "},
         {{"Attribute C-ORDER/A-REGION", ""}, {"Attribute C-NOTE/A-REGION", ""}}},
        {"ours deletes it, theirs only moves it",
         {{region, ""}},
         {{region, ""}, {toNote, toNote + region}},
         {},
         {{"Attribute C-ORDER/A-REGION", ""}, {"Attribute C-NOTE/A-REGION", ""}}},
        {"both move it to one class, each changing it",
         {{region, ""}, {toNote, toNote + Edit(region, {{"varchar", "text"}})}},
         {{region, ""}, {toNote, toNote + Edit(region, {{"varchar", "clob"}})}},
         {"Field A-REGION Type"},
         {{"Attribute C-NOTE/A-REGION", "Name=Region Type=text Uuid=a-region"}}},
        {"both add attributes to the class that holds text",
         {{toNote, toNote + "    <Attribute Name=\"X\" Uuid=\"a-x\"/>\n"}},
         {{toNote, toNote + "    <Attribute Name=\"Y\" Uuid=\"a-y\"/>\n"}},
         {},
         {{"Attribute C-NOTE/A-X", "Name=X Uuid=a-x"}, {"Attribute C-NOTE/A-Y", "Name=Y Uuid=a-y"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const HostRun run = RunMerge(dir.write("base.xml", base), dir.write("ours.xml", Edit(base, c.ours)),
                                     dir.write("theirs.xml", Edit(base, c.theirs)), dir.file("merged.xml"),
                                     {"-Conflicts", dir.file("conflicts.xml")});
        EXPECT_EQ(run.exitStatus, c.conflicts.empty() ? 0 : 1) << run.err;
        EXPECT_EQ(ConflictKeys(dir.file("conflicts.xml")), c.conflicts);
        std::map<std::string, std::string> merged = Merged();
        for (const auto& [key, fields] : c.expected) EXPECT_EQ(merged.count(key) ? merged[key] : "", fields) << key;
    }
    // The conflict of the two moves shows the base's value.
    const HostRun run = RunMerge(dir.file("base.xml"), dir.write("ours.xml", Edit(base, cases[5].ours)),
                                 dir.write("theirs.xml", Edit(base, cases[5].theirs)), dir.file("merged.xml"));
    EXPECT_THAT(run.err, HasSubstr("base \"varchar\", ours \"text\", theirs \"clob\""));
}

TEST_F(MergeRules, ContentTheModelDoesNotCompareSurvives) {
    // Each side changes unmodelled content somewhere else, and a field.
    HostRun run = Merge(Edit(kBase, {{"<!-- sales model -->", "<!-- sales model, v2 -->"},
                                     {"like '%@%'", "like '%@%.%'"},
                                     {"Version=\"1.0\"", "Version=\"1.1\""}}),
                        Edit(kBase, {{"free text", "free text, longer"},
                                     {"Scope=\"all\"", "Scope=\"some\""},
                                     {"<InterfaceImplementation Ref=\"i-1\"/>",
                                      "<InterfaceImplementation Ref=\"i-1\"/>\n    <KIBComment Text=\"new\"/>"}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::string merged = MergedText();
    for (const char* kept :
         {"<!-- sales model, v2 -->", "<Comment Text=\"kept as it is\"/>", "<Check Rule=\"like '%@%.%'\"/>",
          ">free text, longer</Attribute>", "<Interface Name=\"Auditable\" Uuid=\"i-1\" Scope=\"some\"/>",
          "<InterfaceImplementation Ref=\"i-1\"/>\n    <KIBComment Text=\"new\"/>", "Version=\"1.1\""})
        EXPECT_THAT(merged, HasSubstr(kept));

    // Both change the same content differently: a conflict, ours kept.
    run = Merge(Edit(kBase, {{"free text", "ours' text"}, {"Scope=\"all\"", "Scope=\"ours\""}}),
                Edit(kBase, {{"free text", "theirs' text"}, {"Scope=\"all\"", "Scope=\"theirs\""}}));
    EXPECT_EQ(run.exitStatus, 1);
    const std::string differently =
        "what the model does not compare (text, comments, skipped elements) changed differently: ";
    EXPECT_EQ(
        run.err,
        "CONFLICT (content): <Interface Name=\"Auditable\" Uuid=\"i-1\"> in <Package Name=\"Sales\" Uuid=\"pkg-1\">: " +
            differently +
            "base \"<Interface Name=\\\"Auditable\\\" Scope=\\\"all\\\" Uuid=\\\"i-1\\\"/>\", ours "
            "\"<Interface Name=\\\"Auditable\\\" Scope=\\\"ours\\\" Uuid=\\\"i-1\\\"/>\", theirs \"<Interface "
            "Name=\\\"Auditable\\\" Scope=\\\"theirs\\\" Uuid=\\\"i-1\\\"/>\"\n"
            "CONFLICT (content): <Attribute Name=\"Body\" Uuid=\"a-body\"> in <Class Name=\"Note\" Uuid=\"c-note\">: " +
            differently + "base \"free text\", ours \"ours' text\", theirs \"theirs' text\"\n");
    EXPECT_THAT(MergedText(), HasSubstr(">ours' text</Attribute>"));
    EXPECT_THAT(MergedText(), HasSubstr("Scope=\"ours\""));
}

TEST_F(MergeRules, EncodingsAreSplicedOrWrittenAnew) {
    // ISO-8859-1: spliced byte for byte, the added field in theirs' bytes.
    const std::string latin =
        Edit(kBase, {{"encoding=\"UTF-8\"", "encoding=\"ISO-8859-1\""}, {"free text", "d\xe9j\xe0"}});
    const std::string ours = Edit(latin, {{"Table=\"CUSTOMER\"", "Table=\"CLI\xc9NT\""}});
    const std::string theirs = Edit(latin, {{"Owner=\"sales\"", "Owner=\"crm\" Note=\"\xfc\""}});
    EXPECT_EQ(Merge(ours, theirs, latin).exitStatus, 0);
    EXPECT_EQ(MergedText(), Edit(ours, {{"Owner=\"sales\"", "Owner=\"crm\" Note=\"\xfc\""}}));
    // UTF-16: written anew in UTF-8, with both changes.
    auto utf16 = [](const std::string& text) {
        std::string wide = "\xff\xfe";
        for (const char c : Edit(text, {{"encoding=\"UTF-8\"", "encoding=\"UTF-16\""}})) wide += {c, '\0'};
        return wide;
    };
    EXPECT_EQ(Merge(utf16(Edit(kBase, {{"Table=\"CUSTOMER\"", "Table=\"CLIENT\""}})),
                    utf16(Edit(kBase, {{"Owner=\"sales\"", "Owner=\"crm\""}})), utf16(kBase))
                  .exitStatus,
              0);
    EXPECT_THAT(MergedText(), StartsWith("<?xml version=\"1.0\" encoding=\"UTF-8\""));
    EXPECT_EQ(Merged()["Class C-CUST"], "Name=Customer Owner=crm Table=CLIENT Uuid=c-cust");
}

TEST_F(MergeRules, MarkersShowEachConflictInItsLines) {
    const std::string ours = Edit(kBase, {{"Size=\"120\"", "Size=\"254\""},
                                          {" Owner=\"sales\"", ""},
                                          {"free text", "ours' text"},
                                          {"    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n", ""},
                                          {"Type=\"int\"", "Type=\"bigint\""}});
    const std::string theirs = Edit(kBase, {{"Size=\"120\"", "Size=\"200\""},
                                            {"Owner=\"sales\"", "Owner=\"crm\""},
                                            {"free text", "theirs' text"},
                                            {"Uuid=\"a-region\" Type=\"varchar\"", "Uuid=\"a-region\" Type=\"text\""},
                                            {"Table=\"ORDERS\"", "Table=\"ORDER\""}});
    EXPECT_EQ(Merge(ours, theirs).exitStatus, 1);
    const std::string plain = MergedText();
    const HostRun run = RunMerge(dir.file("base.xml"), dir.file("ours.xml"), dir.file("theirs.xml"),
                                 dir.file("marked.xml"), {"-Markers", "-Labels", "HEAD,merged common ancestors,topic"});
    EXPECT_EQ(run.exitStatus, 1);
    const std::string marked = ReadFile(dir.file("marked.xml"));
    // Outside the blocks the merged text; ours' sections give it back.
    EXPECT_EQ(QORMMResolved(marked, 0), plain);
    EXPECT_EQ(std::count(marked.begin(), marked.end(), '\n') - std::count(plain.begin(), plain.end(), '\n'),
              4 * 4 + 2 + 2 + 1 + 1 + 2);  // four blocks; base and theirs sections of one, two, one and one lines
    EXPECT_THAT(marked,
                HasSubstr("<<<<<<< HEAD\n  <Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"CUSTOMER\">\n"
                          "||||||| merged common ancestors\n"
                          "  <Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"CUSTOMER\" Owner=\"sales\">\n"
                          "=======\n  <Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"CUSTOMER\" Owner=\"crm\">\n"
                          ">>>>>>> topic\n"));
    EXPECT_THAT(marked, HasSubstr("  <Class Name=\"Order\" Uuid=\"c-order\" Table=\"ORDER\">\n"
                                  "    <Attribute Name=\"Total\" Uuid=\"a-total\" Type=\"decimal\"/>\n"
                                  "<<<<<<< HEAD\n||||||| merged common ancestors\n"
                                  "    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n=======\n"
                                  "    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"text\"/>\n>>>>>>> topic\n"));
    // Theirs' sections hold theirs' side of every conflict.
    EXPECT_THAT(QORMMResolved(marked, 2), HasSubstr("Size=\"200\""));
    EXPECT_THAT(QORMMResolved(marked, 2), HasSubstr(">theirs' text</Attribute>"));
    EXPECT_THAT(QORMMResolved(marked, 1), HasSubstr(">free text</Attribute>"));
    // Labels left as git older than 2.44 passes them: the default ones.
    RunMerge(dir.file("base.xml"), dir.file("ours.xml"), dir.file("theirs.xml"), dir.file("marked.xml"),
             {"-Markers", "-Labels", "%X,%S,%Y"});
    EXPECT_EQ(QORMMResolved(ReadFile(dir.file("marked.xml")), 0), plain);
    EXPECT_THAT(ReadFile(dir.file("marked.xml")), HasSubstr("<<<<<<< ours\n"));
    EXPECT_THAT(ReadFile(dir.file("marked.xml")), HasSubstr("||||||| base\n"));
    EXPECT_THAT(ReadFile(dir.file("marked.xml")), HasSubstr(">>>>>>> theirs\n"));
}

TEST_F(MergeRules, MarkersFollowTheFileLineEndsAndGitsBaseForAddAdd) {
    // Ours (CRLF) deletes B and changes D on the last line, which has no line
    // end; theirs (LF) changes both: every marker line and every section ends
    // with CRLF, and the last line gets one in its sections, as git does.
    const std::string base =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Package Name=\"P\" Uuid=\"p\">\n  <Class Name=\"C\" Uuid=\"c\">\n"
        "    <Attribute Name=\"A\" Uuid=\"a\" Type=\"int\"/>\n    <Attribute Name=\"B\" Uuid=\"b\" Type=\"int\"/>\n"
        "  </Class>\n  <Class Name=\"D\" Uuid=\"d\" Table=\"T\"/></Package>";
    std::string ours = Edit(base, {{"    <Attribute Name=\"B\" Uuid=\"b\" Type=\"int\"/>\n", ""}, {"\"T\"", "\"O\""}});
    for (std::size_t at = 0; (at = ours.find('\n', at)) != std::string::npos; at += 2) ours.insert(at, "\r");
    EXPECT_EQ(
        Merge(ours, Edit(base, {{"\"b\" Type=\"int\"", "\"b\" Type=\"text\""}, {"\"T\"", "\"X\""}}), base).exitStatus,
        1);
    RunMerge(dir.file("base.xml"), dir.file("ours.xml"), dir.file("theirs.xml"), dir.file("marked.xml"), {"-Markers"});
    const std::string marked = ReadFile(dir.file("marked.xml"));
    EXPECT_EQ(marked,
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Package Name=\"P\" Uuid=\"p\">\r\n"
              "  <Class Name=\"C\" Uuid=\"c\">\r\n    <Attribute Name=\"A\" Uuid=\"a\" Type=\"int\"/>\r\n"
              "<<<<<<< ours\r\n||||||| base\r\n    <Attribute Name=\"B\" Uuid=\"b\" Type=\"int\"/>\r\n=======\r\n"
              "    <Attribute Name=\"B\" Uuid=\"b\" Type=\"text\"/>\r\n>>>>>>> theirs\r\n  </Class>\r\n"
              "<<<<<<< ours\r\n  <Class Name=\"D\" Uuid=\"d\" Table=\"O\"/></Package>\r\n||||||| base\r\n"
              "  <Class Name=\"D\" Uuid=\"d\" Table=\"T\"/></Package>\r\n=======\r\n"
              "  <Class Name=\"D\" Uuid=\"d\" Table=\"X\"/></Package>\r\n>>>>>>> theirs\r\n");
    EXPECT_EQ(QORMMResolved(marked, 0), MergedText() + "\r\n");

    // Both add a class, or the whole document (git's base is then empty):
    // the base's section is empty, as no base holds those lines.
    const std::string added = "  <Class Name=\"S\" Uuid=\"c-s\" Table=\"%\"/>\n</Package>";
    const std::string mine = Edit(kBase, {{"</Package>", Edit(added, {{"%", "SHIP"}})}});
    const std::string yours = Edit(kBase, {{"</Package>", Edit(added, {{"%", "SHIPMENT"}})}});
    for (const std::string& common : {std::string(kBase), std::string()}) {
        SCOPED_TRACE(common.empty() ? "the document added by both" : "a class added by both");
        RunMerge(dir.write("base.xml", common), dir.write("ours.xml", mine), dir.write("theirs.xml", yours),
                 dir.file("marked.xml"), {"-Markers"});
        EXPECT_THAT(ReadFile(dir.file("marked.xml")),
                    HasSubstr("<<<<<<< ours\n  <Class Name=\"S\" Uuid=\"c-s\" Table=\"SHIP\"/>\n||||||| base\n"
                              "=======\n  <Class Name=\"S\" Uuid=\"c-s\" Table=\"SHIPMENT\"/>\n>>>>>>> theirs\n"));
    }
}

// What the diff host says of a document it refuses: its error line, whose
// reason (after the stage in parentheses, when there is one) the merge must repeat.
std::string DiffHostReason(const std::string& document, const std::string& workDir) {
    const HostRun run = RunHost({"-New", document, "-Old", "good.xml", "-Diff", "d.xml"}, {workDir});
    EXPECT_EQ(run.exitStatus, 1);
    ::unlink((workDir + "/d.xml").c_str());
    // A load failure's place follows the stage that failed (in parentheses),
    // which the merge names its own way.
    const std::string line = run.err.substr(0, run.err.find('\n'));
    const std::size_t open = line.find(" (");
    const std::size_t stage = open == std::string::npos ? open : line.find(": ", open);
    return stage == std::string::npos ? line : line.substr(stage + 2);
}

TEST(MergeFailures, HostileInputOnEachNameWritesNothing) {
    // Refused for the diff's reasons, and a class that repeats a Uuid for the merge's own.
    const std::string repeated =
        "document cannot be merged: the class <Class Name=\"B\"> on line 3 of "
        "\"repeated.xml\" repeats the Uuid \"C\" of the class <Class Name=\"A\"> on line 2, "
        "letter case aside; the merge matches classes by Uuid and needs each to have its own)\n";
    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"repeated.xml",
         "<Package Name=\"P\" Uuid=\"p\">\n  <Class Name=\"A\" Uuid=\"c\"/>\n  <Class Name=\"B\" "
         "Uuid=\"C\"/>\n</Package>\n"},
        {"doctype.xml",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE P [<!ENTITY e \"x\">]>\n<P Name=\"p\" Uuid=\"p\">&e;</P>\n"},
        {"broken.xml", "<Package Name=\"P\" Uuid=\"p\">\n  <Class Name=\"C\" Uuid=\"c\">\n"},
        {"no-uuid.xml", "<Package Name=\"P\" Uuid=\"p\">\n  <Class Name=\"C\"/>\n</Package>\n"},
        {"missing.xml", ""},
    };
    TempDir dir;
    dir.write("good.xml", kBase);
    dir.write("out.xml", "earlier merge");
    dir.write("conflicts.xml", "earlier conflicts");
    for (const auto& [name, text] : hostile)
        if (name != "missing.xml") dir.write(name, text);
    const std::set<std::string> before = Listing(dir.path(), true);
    for (const auto& [name, text] : hostile) {
        const std::string reason = name == "repeated.xml" ? repeated : DiffHostReason(name, dir.path());
        for (int position = 0; position < 3; ++position) {
            SCOPED_TRACE(name + " at " + std::to_string(position));
            std::vector<std::string> names = {"good.xml", "good.xml", "good.xml"};
            names[position] = name;
            const HostRun run = RunProgram(QORMM_MERGE_PATH,
                                           {"-Base", names[0], "-Ours", names[1], "-Theirs", names[2], "-Out",
                                            "out.xml", "-Conflicts", "conflicts.xml"},
                                           {dir.path()});
            EXPECT_EQ(run.exitStatus, 3);
            EXPECT_THAT(run.err, HasSubstr(reason));
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
            EXPECT_EQ(Listing(dir.path(), true), before);
            EXPECT_EQ(ReadFile(dir.file("out.xml")), "earlier merge");
            EXPECT_EQ(ReadFile(dir.file("conflicts.xml")), "earlier conflicts");
        }
    }
}

TEST(MergeFailures, FailedWriteLeavesTheOutputsIntact) {
    TempDir dir;
    const std::string base = dir.write("base.xml", kBase);
    const std::string ours = dir.write("ours.xml", Edit(kBase, {{"Table=\"CUSTOMER\"", "Table=\"CLIENT\""}}));
    const std::string theirs = dir.write("theirs.xml", Edit(kBase, {{"Owner=\"sales\"", "Owner=\"crm\""}}));
    dir.write("out.xml", "earlier merge");
    dir.write("conflicts.xml", "earlier conflicts");
    std::filesystem::create_directory(dir.file("folder"));
    const std::set<std::string> before = Listing(dir.path(), true);
    // Neither file is written when one of them cannot be.
    for (const std::string& unwritable : {dir.file("folder"), dir.file("no-such-folder/out.xml")}) {
        for (const bool merged : {true, false}) {
            SCOPED_TRACE(unwritable + (merged ? " as the merged file" : " as the conflicts file"));
            const HostRun run = RunMerge(base, ours, theirs, merged ? unwritable : dir.file("out.xml"),
                                         {"-Conflicts", merged ? dir.file("conflicts.xml") : unwritable});
            EXPECT_EQ(run.exitStatus, 3);
            EXPECT_THAT(run.err, HasSubstr("could not be written"));
            EXPECT_EQ(Listing(dir.path(), true), before);
        }
    }
    EXPECT_EQ(ReadFile(dir.file("out.xml")), "earlier merge");
    EXPECT_EQ(ReadFile(dir.file("conflicts.xml")), "earlier conflicts");
    // A name that would drive the terminal is printed escaped.
    const HostRun escaped = RunMerge(base, ours, theirs, dir.file("no-such-folder/\x1b]0;title\x07.xml"));
    EXPECT_EQ(escaped.exitStatus, 3);
    EXPECT_THAT(escaped.err, HasSubstr("no-such-folder/\\x{1B}]0;title\\x{07}.xml"));
    EXPECT_EQ(escaped.err.find('\x1b'), std::string::npos);
    // The same run with writable outputs merges; replaced files stay as private as they were.
    ::chmod(dir.file("out.xml").c_str(), 0600);
    ::chmod(dir.file("conflicts.xml").c_str(), 0640);
    EXPECT_EQ(RunMerge(base, ours, theirs, dir.file("out.xml"), {"-Conflicts", dir.file("conflicts.xml")}).exitStatus,
              0);
    EXPECT_EQ(Content(dir.file("out.xml"))["Class C-CUST"], "Name=Customer Owner=crm Table=CLIENT Uuid=c-cust");
    struct stat out {
    }, conflicts{};
    EXPECT_EQ(::stat(dir.file("out.xml").c_str(), &out) == 0 ? out.st_mode & 0777 : 0u, 0600u);
    EXPECT_EQ(::stat(dir.file("conflicts.xml").c_str(), &conflicts) == 0 ? conflicts.st_mode & 0777 : 0u, 0640u);
}

TEST(MergeFailures, WrongArgumentsGiveTheUsage) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"-Base", "b.xml", "-Ours", "o.xml", "-Theirs", "t.xml"},
        {"-Base", "b.xml", "-Ours", "o.xml", "-Theirs", "t.xml", "-Out"},
        {"-Base", "b.xml", "-Ours", "o.xml", "-Theirs", "t.xml", "-Out", "m.xml", "-Old", "x.xml"},
        {"-Base", "b.xml", "-Base", "o.xml", "-Theirs", "t.xml", "-Out", "m.xml"},
    };
    TempDir dir;
    for (const std::vector<std::string>& args : wrong) {
        const HostRun run = RunProgram(QORMM_MERGE_PATH, args, {dir.path()});
        EXPECT_EQ(run.exitStatus, 2);
        EXPECT_THAT(run.err, HasSubstr("Usage : QORMetaMerge"));
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(Listing(dir.path()), std::set<std::string>{});
    const HostRun version = RunProgram(QORMM_MERGE_PATH, {"-v"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_THAT(version.out, StartsWith("MetaMerge Version: "));
}

// The merge driver merges what a plain git merge conflicts on and stops on a
// true conflict with it listed; the diff driver shows the text report of
// QORMetaReport (found on the PATH).
class GitDrivers : public ::testing::Test {
protected:
    void SetUp() override {
        Git({"init", "-q"});
        Git({"checkout", "-q", "-b", "main"});
        Git({"config", "user.name", "Merge Test"});
        Git({"config", "user.email", "merge-test@localhost"});
        Git({"config", "commit.gpgsign", "false"});
        repo.write(".gitattributes", "*.meta.xml merge=qormeta diff=qormeta\n");
        Commit(kBase, "model");
    }
    HostRun Git(const std::vector<std::string>& args, int expected = 0) {
        const HostRun run =
            RunProgram("git", args, {repo.path(), {path, "GIT_CONFIG_NOSYSTEM=1", "HOME=" + repo.path()}});
        EXPECT_EQ(run.exitStatus, expected) << args[0] << ": " << run.out << run.err;
        return run;
    }
    void Commit(const std::string& model, const std::string& message) {
        repo.write("model.meta.xml", model);
        Git({"add", "."});
        Git({"commit", "-q", "-m", message});
    }
    // Branch name from main with model committed on it.
    void Branch(const std::string& name, const std::string& model) {
        Git({"checkout", "-q", "-b", name, "main"});
        Commit(model, name);
    }
    void UseDrivers() {
        Git({"config", "merge.qormeta.name", "metadata three-way merge"});
        Git({"config", "merge.qormeta.driver",
             std::string(QORMM_MERGE_PATH) + " -Base %O -Ours %A -Theirs %B -Out %A -Markers -Labels %X,%S,%Y"});
        Git({"config", "diff.qormeta.command", QORMM_DIFF_DRIVER});
    }

    TempDir repo;
    const std::string path = std::string("PATH=") + QORMM_REPORT_DIR + ":" + std::getenv("PATH");
};

TEST_F(GitDrivers, MergeDriverMergesWhatALineMergeCannotAndStopsOnAConflict) {
    // Different fields of one class on one line, and an attribute added on each side at the same place.
    const std::string added = "Type=\"int\"/>\n    <Attribute Name=\"%\" Uuid=\"a-%\" Type=\"varchar\"/>";
    Branch("ours", Edit(kBase, {{"Table=\"CUSTOMER\"", "Table=\"CLIENT\""},
                                {"Type=\"int\"/>", Edit(added, {{"%", "Phone"}, {"%", "phone"}})}}));
    Branch("theirs", Edit(kBase, {{"Owner=\"sales\"", "Owner=\"crm\""},
                                  {"Type=\"int\"/>", Edit(added, {{"%", "Fax"}, {"%", "fax"}})}}));
    Git({"checkout", "-q", "ours"});
    EXPECT_THAT(Git({"merge", "-q", "--no-edit", "theirs"}, 1).out, HasSubstr("CONFLICT (content)"));
    Git({"merge", "--abort"});

    UseDrivers();
    Git({"merge", "-q", "--no-edit", "theirs"});
    std::map<std::string, std::string> merged = Content(repo.file("model.meta.xml"));
    EXPECT_EQ(merged["Class C-CUST"], "Name=Customer Owner=crm Table=CLIENT Uuid=c-cust");
    EXPECT_EQ(merged.count("Attribute C-CUST/A-PHONE"), 1u);
    EXPECT_EQ(merged.count("Attribute C-CUST/A-FAX"), 1u);
    EXPECT_EQ(Git({"status", "--porcelain"}).out, "");
    // The merge commit changes ours' file on theirs' lines only.
    EXPECT_EQ(Git({"diff", "--no-ext-diff", "-U0", "HEAD^1", "HEAD"})
                  .out.substr(Git({"diff", "--no-ext-diff", "-U0", "HEAD^1", "HEAD"}).out.find("@@")),
              "@@ -5 +5 @@\n"
              "-  <Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"CLIENT\" Owner=\"sales\">\n"
              "+  <Class Name=\"Customer\" Uuid=\"c-cust\" Table=\"CLIENT\" Owner=\"crm\">\n"
              "@@ -7,0 +8 @@\n"
              "+    <Attribute Name=\"Fax\" Uuid=\"a-fax\" Type=\"varchar\"/>\n");

    // A true conflict stops the merge with it listed, ours' value in the file.
    Branch("ours2", Edit(kBase, {{"Type=\"decimal\"", "Type=\"money\""}}));
    Branch("theirs2", Edit(kBase, {{"Type=\"decimal\"", "Type=\"numeric\""}}));
    Git({"checkout", "-q", "ours2"});
    const HostRun run = Git({"merge", "--no-edit", "theirs2"}, 1);
    EXPECT_THAT(run.out + run.err, HasSubstr("CONFLICT (field Type): <Attribute Name=\"Total\" Uuid=\"a-total\"> in "
                                             "<Class Name=\"Order\" Uuid=\"c-order\">: base \"decimal\", ours "
                                             "\"money\", theirs \"numeric\""));
    EXPECT_EQ(Git({"status", "--porcelain"}).out, "UU model.meta.xml\n");
    // The file shows the conflict as git does; ours' side is the merged document.
    const std::string marked = ReadFile(repo.file("model.meta.xml"));
    EXPECT_THAT(marked, HasSubstr("    <Attribute Name=\"Total\" Uuid=\"a-total\" Type=\"money\"/>\n||||||| "));
    EXPECT_THAT(marked,
                HasSubstr("=======\n    <Attribute Name=\"Total\" Uuid=\"a-total\" Type=\"numeric\"/>\n>>>>>>> "));
    EXPECT_EQ(Content(repo.write("resolved.xml", QORMMResolved(marked, 0)))["Attribute C-ORDER/A-TOTAL"],
              "Name=Total Type=money Uuid=a-total");
    EXPECT_THAT(Git({"diff"}).out, HasSubstr("++<<<<<<< "));
}

TEST_F(GitDrivers, EveryGitPathMerges) {
    UseDrivers();
    // Add/add: both branches add a document, each with a class of its own;
    // git's base is an empty file, so the two merge against nothing.
    const std::string end = "</Package>";
    const std::string x = "  <Class Name=\"X\" Uuid=\"c-x\"/>\n", y = "  <Class Name=\"Y\" Uuid=\"c-y\"/>\n";
    Git({"checkout", "-q", "-b", "one", "main"});
    repo.write("new.meta.xml", Edit(kBase, {{end, y + end}}));
    Git({"add", "."});
    Git({"commit", "-q", "-m", "one adds"});
    Git({"checkout", "-q", "-b", "two", "main"});
    repo.write("new.meta.xml", Edit(kBase, {{end, x + end}}));
    Git({"add", "."});
    Git({"commit", "-q", "-m", "two adds"});
    Git({"merge", "-q", "--no-edit", "one"});
    EXPECT_EQ(ReadFile(repo.file("new.meta.xml")), Edit(kBase, {{end, x + y + end}}));

    // Rebase and cherry-pick through the driver: two fields of one line.
    Branch("topic", Edit(kBase, {{"Table=\"CUSTOMER\"", "Table=\"CLIENT\""}}));
    Git({"checkout", "-q", "main"});
    Commit(Edit(kBase, {{"Owner=\"sales\"", "Owner=\"crm\""}}), "main changes the owner");
    const std::string both = Edit(kBase, {{"Table=\"CUSTOMER\" Owner=\"sales\"", "Table=\"CLIENT\" Owner=\"crm\""}});
    Git({"checkout", "-q", "-b", "picked", "main"});
    Git({"cherry-pick", "topic"});
    EXPECT_EQ(ReadFile(repo.file("model.meta.xml")), both);
    Git({"checkout", "-q", "topic"});
    Git({"rebase", "-q", "main"});
    EXPECT_EQ(ReadFile(repo.file("model.meta.xml")), both);

    // Modify/delete: git stops before any driver; the diff driver says the path is unmerged.
    Branch("deletes", kBase);
    Git({"rm", "-q", "model.meta.xml"});
    Git({"commit", "-q", "-m", "deleted"});
    Git({"checkout", "-q", "topic"});
    Git({"merge", "--no-edit", "deletes"}, 1);
    EXPECT_EQ(Git({"diff"}).out, "* Unmerged path model.meta.xml\n");
}

TEST_F(GitDrivers, DiffDriverShowsTheReport) {
    UseDrivers();
    repo.write("model.meta.xml", Edit(kBase, {{"Table=\"ORDERS\"", "Table=\"ORDER\""}}));
    const HostRun changed = Git({"diff"});
    EXPECT_THAT(changed.out, HasSubstr("qormeta diff a/model.meta.xml b/model.meta.xml\nChanges to package Sales\n"
                                       "  old: a/model.meta.xml\n  new: b/model.meta.xml\n"));
    EXPECT_THAT(changed.out, HasSubstr("\nClass Order (c-order): changed\n  ~ Table: ORDERS \u2192 ORDER\n"));

    // Layout only: nothing compared differs.
    repo.write("model.meta.xml", Edit(kBase, {{"  <Class Name=\"Order\"", "<Class   Name=\"Order\""}}));
    EXPECT_EQ(Git({"diff"}).out,
              "qormeta diff a/model.meta.xml b/model.meta.xml\n"
              "model.meta.xml: the two versions do not differ in any compared way "
              "(classes, attributes, fields)\n");

    // An added file: everything added.
    repo.write("new.meta.xml", kBase);
    Git({"add", "-N", "new.meta.xml"});
    EXPECT_THAT(Git({"diff", "--", "new.meta.xml"}).out,
                HasSubstr("  old: none (everything is added)\n  new: b/new.meta.xml\n"));
}

}  // namespace
