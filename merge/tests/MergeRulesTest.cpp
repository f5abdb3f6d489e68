// The merge rules through the real program: fields, elements, content the
// model does not compare, order, and the versions left as in the base.
#include <gtest/gtest.h>

#include "MergeSupport.h"

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

// text with each (from, to) replaced once; each from must be there.
std::string Edit(std::string text, const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits) {
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

class MergeRules : public ::testing::Test {
protected:
    // Merges ours and theirs (edits of kBase) into merged.xml, with conflicts.xml.
    ProgramRun Merge(const std::string& ours, const std::string& theirs) {
        return RunMerge(dir.write("base.xml", kBase), dir.write("ours.xml", ours), dir.write("theirs.xml", theirs),
                        dir.file("merged.xml"), {"-Conflicts", dir.file("conflicts.xml")});
    }
    std::map<std::string, std::string> Merged() { return Content(dir.file("merged.xml")); }
    std::string MergedText() { return ReadFile(dir.file("merged.xml")); }

    TempDir dir;
};

TEST_F(MergeRules, VersionLeftAsInTheBaseGivesTheOtherByteForByte) {
    const std::string ours = Edit(kBase, {{"Type=\"int\"", "Type=\"bigint\""}, {"  <Class Name=\"Note\"", "<Class Name=\"Note\""}});
    // Theirs differs from the base in layout and attribute order only.
    const std::string relaid = Edit(kBase, {{"Name=\"Total\" Uuid=\"a-total\"", "Uuid=\"a-total\"   Name=\"Total\""},
                                            {"\n  </Class>\n  <Interface", "</Class><Interface"}});
    for (const std::string& theirs : {std::string(kBase), relaid}) {
        EXPECT_EQ(Merge(ours, theirs).exitStatus, 0);
        EXPECT_EQ(MergedText(), ours);
        EXPECT_EQ(Merge(theirs, ours).exitStatus, 0);
        EXPECT_EQ(MergedText(), ours);
    }
    EXPECT_EQ(Merge(kBase, kBase).exitStatus, 0);
    EXPECT_EQ(MergedText(), kBase);
}

TEST_F(MergeRules, FieldsChangedOnOneLine) {
    // Different fields of one class on one line: both taken.
    ProgramRun run = Merge(Edit(kBase, {{"Table=\"CUSTOMER\"", "Table=\"CLIENT\""}}),
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
    EXPECT_EQ(ReadFile(dir.file("conflicts.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>\n"
              "<MergeConflicts Base=\"" + dir.file("base.xml") + "\" Count=\"2\" Ours=\"" + dir.file("ours.xml") +
              "\" Theirs=\"" + dir.file("theirs.xml") + "\">\n"
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
    ProgramRun run = Merge(
        Edit(kBase, {{"    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n", ""},
                     {"<InterfaceImplementation", "<Attribute Name=\"Region\" Uuid=\"A-REGION\" Type=\"varchar\"/>\n"
                                                  "    <Attribute Name=\"Phone\" Uuid=\"a-phone\" Type=\"varchar\"/>\n"
                                                  "    <InterfaceImplementation"}}),
        Edit(kBase, {{"Type=\"decimal\"/>", "Type=\"decimal\"/>\n    <Attribute Name=\"Date\" Uuid=\"a-date\" Type=\"date\"/>"},
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
    EXPECT_EQ(run.err, "CONFLICT (added in two classes): <Attribute Name=\"Region\" Uuid=\"a-region\"> in <Class "
                       "Name=\"Customer\" Uuid=\"c-cust\">: added by ours to the class of Uuid \"c-cust\", by theirs "
                       "to the class of Uuid \"c-note\"\n");
    merged = Merged();
    EXPECT_EQ(merged.count("Attribute C-CUST/A-REGION"), 1u);
    EXPECT_EQ(merged.count("Attribute C-NOTE/A-REGION") + merged.count("Attribute C-ORDER/A-REGION"), 0u);

    // Both add the same class: its fields merge against nothing.
    const std::string added = "  <Class Name=\"Shipment\" Uuid=\"c-ship\" Table=\"%\"/>\n</Package>";
    run = Merge(Edit(kBase, {{"</Package>", Edit(added, {{"%", "SHIP"}})}}),
                Edit(kBase, {{"</Package>", Edit(added, {{"%", "SHIPMENT"}})}}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(ConflictKeys(dir.file("conflicts.xml")), std::vector<std::string>{"Field C-SHIP Table"});
    EXPECT_EQ(Merged()["Class C-SHIP"], "Name=Shipment Table=SHIP Uuid=c-ship");

    // Deleted on one side, changed inside on the other: a conflict either way,
    // ours' side kept (deleted, or changed).
    const std::string deleteOrder = "  <Class Name=\"Order\" Uuid=\"c-order\" Table=\"ORDERS\">\n"
                                    "    <Attribute Name=\"Total\" Uuid=\"a-total\" Type=\"decimal\"/>\n"
                                    "    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n"
                                    "  </Class>\n";
    const std::string changeOrder = Edit(kBase, {{"Type=\"decimal\"", "Type=\"money\""}});
    run = Merge(Edit(kBase, {{deleteOrder, ""}}), changeOrder);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err, "CONFLICT (deleted by ours): <Class Name=\"Order\" Uuid=\"c-order\"> in <Package Name=\"Sales\" "
                       "Uuid=\"pkg-1\">: deleted by ours, changed by theirs\n");
    EXPECT_EQ(Merged().count("Class C-ORDER"), 0u);
    run = Merge(changeOrder, Edit(kBase, {{deleteOrder, ""}}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(ConflictKeys(dir.file("conflicts.xml")), std::vector<std::string>{"DeletedByTheirs C-ORDER "});
    EXPECT_EQ(Merged()["Attribute C-ORDER/A-TOTAL"], "Name=Total Type=money Uuid=a-total");
}

TEST_F(MergeRules, ContentTheModelDoesNotCompareSurvives) {
    // Each side changes unmodelled content somewhere else, and a field.
    ProgramRun run = Merge(Edit(kBase, {{"<!-- sales model -->", "<!-- sales model, v2 -->"},
                                        {"like '%@%'", "like '%@%.%'"},
                                        {"Version=\"1.0\"", "Version=\"1.1\""}}),
                           Edit(kBase, {{"free text", "free text, longer"},
                                        {"Scope=\"all\"", "Scope=\"some\""},
                                        {"<InterfaceImplementation Ref=\"i-1\"/>",
                                         "<InterfaceImplementation Ref=\"i-1\"/>\n    <KIBComment Text=\"new\"/>"}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::string merged = MergedText();
    for (const char* kept : {"<!-- sales model, v2 -->", "<Comment Text=\"kept as it is\"/>",
                             "<Check Rule=\"like '%@%.%'\"/>", ">free text, longer</Attribute>",
                             "<Interface Name=\"Auditable\" Scope=\"some\" Uuid=\"i-1\"/>",
                             "<InterfaceImplementation Ref=\"i-1\"/>\n    <KIBComment Text=\"new\"/>",
                             "Version=\"1.1\""})
        EXPECT_NE(merged.find(kept), std::string::npos) << kept << " is lost:\n" << merged;

    // Both change the same content differently: a conflict, ours kept.
    run = Merge(Edit(kBase, {{"free text", "ours' text"}, {"Scope=\"all\"", "Scope=\"ours\""}}),
                Edit(kBase, {{"free text", "theirs' text"}, {"Scope=\"all\"", "Scope=\"theirs\""}}));
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.err,
              "CONFLICT (content): <Interface Name=\"Auditable\" Uuid=\"i-1\"> in <Package Name=\"Sales\" Uuid=\"pkg-1\">: "
              "what the model does not compare (text, comments, skipped elements) changed differently\n"
              "CONFLICT (content): <Attribute Name=\"Body\" Uuid=\"a-body\"> in <Class Name=\"Note\" Uuid=\"c-note\">: "
              "what the model does not compare (text, comments, skipped elements) changed differently\n");
    EXPECT_NE(MergedText().find(">ours' text</Attribute>"), std::string::npos);
    EXPECT_NE(MergedText().find("Scope=\"ours\""), std::string::npos);
}

TEST_F(MergeRules, TheirsOnlyElementsFollowTheirPredecessor) {
    // Theirs adds X after Total and Y after Region; ours deletes Region (so Y
    // goes last) and adds Z first.
    ProgramRun run = Merge(
        Edit(kBase, {{"    <Attribute Name=\"Region\" Uuid=\"a-region\" Type=\"varchar\"/>\n", ""},
                     {"<Attribute Name=\"Total\"", "<Attribute Name=\"Z\" Uuid=\"a-z\"/><Attribute Name=\"Total\""}}),
        Edit(kBase, {{"Type=\"decimal\"/>", "Type=\"decimal\"/><Attribute Name=\"X\" Uuid=\"a-x\"/>"},
                     {"Type=\"varchar\"/>\n  </Class>", "Type=\"varchar\"/><Attribute Name=\"Y\" Uuid=\"a-y\"/></Class>"}}));
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_NE(MergedText().find("<Class Name=\"Order\" Table=\"ORDERS\" Uuid=\"c-order\">\n"
                                "    <Attribute Name=\"Z\" Uuid=\"a-z\"/>\n"
                                "    <Attribute Name=\"Total\" Type=\"decimal\" Uuid=\"a-total\"/>\n"
                                "    <Attribute Name=\"X\" Uuid=\"a-x\"/>\n"
                                "    <Attribute Name=\"Y\" Uuid=\"a-y\"/>\n"
                                "  </Class>"),
              std::string::npos)
        << MergedText();
}

}  // namespace
