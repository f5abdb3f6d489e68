// What a person reads: the text form of the example pair names every change
// by class and attribute names, in the new document's order, within 100
// columns; values are shown exactly in every form.
#include <gtest/gtest.h>

#include <sstream>

#include "ReportSupport.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Columns of a line of ASCII, Latin and arrows (one column per code point).
std::size_t Columns(const std::string& line) {
    std::size_t columns = 0;
    for (unsigned char c : line) columns += (c & 0xC0) != 0x80;
    return columns;
}

// Position of the line equal to wanted, or -1.
int Find(const std::vector<std::string>& lines, const std::string& wanted) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i] == wanted) return static_cast<int>(i);
    return -1;
}

TEST(ReportReading, ExamplePairInText) {
    TempDir dir;
    const HostRun run = RunReport({"-Old", SourcePath("examples/old.xml"), "-New", SourcePath("examples/new.xml")});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<std::string> lines = Lines(run.out);
    // Sections in the new document's order, the deleted class after them; each change where it belongs.
    const std::vector<std::string> expectedInOrder = {
        "Changes to package Sales",
        "  attributes      1        1        3      1",
        "  Attribute Region (a-region): Class Customer (C-CUSTOMER) \u2192 Class Order (c-order)",
        "Package Sales (pkg-0001): changed",
        "  + Steward: Donn\u00e9es & Qualit\u00e9",
        "Class Customer (C-CUSTOMER): changed",
        "  ~ Uuid: c-customer \u2192 C-CUSTOMER  (letter case only)",
        "  Attribute Email (a-cust-email): changed",
        "    ~ Size: 120 \u2192 254",
        "    + Unique: true",
        "  Attribute Phone (a-cust-phone): added",
        "  Attribute Fax (a-cust-fax): deleted",
        "  Attribute Region (a-region): moved to Class Order (c-order)",
        "Class Order (c-order): changed",
        "  - Audit: none",
        "  Attribute Region (a-region): moved from Class Customer (C-CUSTOMER)",
        "Class Address (c-address): changed, renamed from Adress",
        "  ~ Name: Adress \u2192 Address  (renamed)",
        "Class Shipment (c-shipment): added",
        "    + Comment: l'exp\u00e9diteur",
        "Class Invoice (c-invoice): deleted",
    };
    int previous = -1;
    for (const std::string& wanted : expectedInOrder) {
        const int at = Find(lines, wanted);
        EXPECT_GT(at, previous) << "missing or out of order: " << wanted << "\n" << run.out;
        previous = std::max(previous, at);
    }
    EXPECT_EQ(Find(lines, "Class Store (c-store): attributes changed"), -1) << "an unchanged class is listed";
    for (const std::string& line : lines) EXPECT_LE(Columns(line), 100u) << line;

    // Deterministic, and -Out writes what standard output shows.
    EXPECT_EQ(RunReport({"-Old", SourcePath("examples/old.xml"), "-New", SourcePath("examples/new.xml"), "-Out",
                         dir.file("report.txt")})
                  .exitStatus,
              0);
    EXPECT_EQ(ReadFile(dir.file("report.txt")), run.out);
}

TEST(ReportReading, ValuesShownExactlyAndLongOnesWrapped) {
    TempDir dir;
    const std::string longValue = std::string(150, 'x') + " " + std::string(150, 'y') + " ";
    dir.write("old.xml",
              "<Package Name=\"P\"><Class Name=\"C\" Uuid=\"c\"><Attribute Name=\"A\" Uuid=\"a\" "
              "Q=\"plain\" B=\" both \" L=\"one\" U=\"caf\u00e9\" E=\"\" Long=\"short\"/></Class></Package>");
    dir.write("new.xml",
              "<Package Name=\"P\"><Class Name=\"C\" Uuid=\"c\"><Attribute Name=\"A\" Uuid=\"a\" "
              "Q=\"say &quot;hi&quot; &amp; &lt;b&gt;\" B=\"both\" L=\"one&#10;two\" U=\"\u65e5\u672c\u2192\" "
              "E=\"&#9;\" Long=\"" +
                  longValue + "\"/></Class></Package>");
    const HostRun run = RunReport({"-Old", dir.file("old.xml"), "-New", dir.file("new.xml")});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    for (const char* wanted : {"    ~ Q: plain \u2192 say \"hi\" & <b>", "    ~ B: \" both \" \u2192 both",
                               "    ~ L: one \u2192 \"one\\ntwo\"", "    ~ U: caf\u00e9 \u2192 \"\u65e5\u672c\u2192\"",
                               "    ~ E: \"\" \u2192 \"\\t\""})
        EXPECT_NE(Find(lines, wanted), -1) << wanted << "\n" << run.out;

    // The long value continues in quotes on the following lines, within 100 columns, and reads back whole.
    const int head = Find(lines, "    ~ Long:");
    ASSERT_NE(head, -1) << run.out;
    EXPECT_EQ(lines[head + 1], "        old: \"short\"");
    const std::size_t margin = std::string("        new: ").size();
    std::string quoted = lines[head + 2].substr(margin);
    for (std::size_t i = head + 3; i < lines.size() && lines[i].rfind(std::string(margin, ' '), 0) == 0; ++i)
        quoted += lines[i].substr(margin);
    EXPECT_GT(lines.size(), static_cast<std::size_t>(head + 4)) << "a 300-character value on one line";
    EXPECT_EQ(Unshown(quoted), longValue);
    for (const std::string& line : lines) EXPECT_LE(Columns(line), 100u) << line;
}

}  // namespace
