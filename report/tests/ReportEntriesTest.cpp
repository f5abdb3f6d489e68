// Nothing the diff document reports is missing from the report: the real
// QORMetaDiff writes the diff document of a pair, the real QORMetaReport its
// markdown report, and the report read back gives the same entries, entry by
// entry (an attribute that moved counts as the deleted and the added entry
// the diff has for it).
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "ReportEntries.h"
#include "ReportSupport.h"

namespace {

class ReportEntries : public ::testing::Test {
protected:
    // The markdown report of the pair (oldPath empty: -New only; newPath empty: -Deleted).
    std::string ExpectSameEntries(const std::string& oldPath, const std::string& newPath) {
        std::vector<std::string> diffArgs{"-Diff", dir.file("diff.xml")};
        std::vector<std::string> reportArgs{"-Format", "markdown"};
        for (auto* args : {&diffArgs, &reportArgs}) {
            if (newPath.empty()) args->insert(args->end(), {"-Deleted", oldPath});
            if (!newPath.empty()) args->insert(args->end(), {"-New", newPath});
            if (!newPath.empty() && !oldPath.empty()) args->insert(args->end(), {"-Old", oldPath});
        }
        const HostRun diff = RunHost(diffArgs);
        EXPECT_EQ(diff.exitStatus, 0) << diff.err;
        const HostRun report = RunReport(reportArgs);
        EXPECT_EQ(report.exitStatus, 0) << report.err;

        const std::multiset<std::string> expected = DiffEntries(dir.file("diff.xml"));
        const std::multiset<std::string> actual = MarkdownEntries(report.out);
        EXPECT_FALSE(expected.empty());
        std::vector<std::string> missing, extra;
        std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(),
                            std::back_inserter(missing));
        std::set_difference(actual.begin(), actual.end(), expected.begin(), expected.end(), std::back_inserter(extra));
        EXPECT_TRUE(missing.empty()) << missing.size() << " entries missing from the report, first: " << missing[0];
        EXPECT_TRUE(extra.empty()) << extra.size() << " entries the diff does not have, first: " << extra[0];
        return report.out;
    }

    TempDir dir;
};

TEST_F(ReportEntries, GeneratedPairsEntryByEntry) {
    for (int seed : {1, 2}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GeneratePair(dir, 0.3, 0.2, seed);
        const std::string markdown = ExpectSameEntries(dir.file("old.xml"), dir.file("new.xml"));
        // The generator moves and renames attributes and classes: the report says so.
        EXPECT_NE(markdown.find(": moved from "), std::string::npos);
        EXPECT_NE(markdown.find(": moved to "), std::string::npos);
        EXPECT_NE(markdown.find("\n## Moves\n"), std::string::npos);
        EXPECT_NE(markdown.find(", renamed from `"), std::string::npos);
        EXPECT_NE(markdown.find("| letter case only |"), std::string::npos);
    }
}

TEST_F(ReportEntries, OneSidedRuns) {
    ExpectSameEntries("", SourcePath("examples/new.xml"));
    ExpectSameEntries(SourcePath("examples/old.xml"), "");
}

TEST_F(ReportEntries, CopiedContentAndValuesThatMarkdownWouldChange) {
    // Values with quotes, &, <, line breaks, blanks at either end, backticks
    // and pipes; an added class whose attribute holds elements of its own and
    // a comment; an attribute that moves and changes a field on the way.
    const std::string oldPath = dir.write("old.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<Package Name="P" Uuid="p">
  <Class Name="A" Uuid="c-a" Note="`code` | pipe">
    <Attribute Name="Moving" Uuid="a-moving" Size="10" Gone="x"/>
    <Attribute Name="Odd" Uuid="a-odd" V1="plain" V2="  padded " V3="a&#10;b" V4="&lt;/script&gt; &amp; &quot;q&quot;"/>
  </Class>
  <Class Name="B" Uuid="c-b"/>
</Package>
)");
    const std::string newPath = dir.write("new.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<Package Name="P" Uuid="p">
  <Class Name="A" Uuid="c-a" Note="``two`` || pipes ` ">
    <Attribute Name="Odd" Uuid="a-odd" V1="Größe 日本 &#9;tab" V2="padded" V3="a&#13;&#10;b" V4="``"/>
  </Class>
  <Class Name="B" Uuid="c-b">
    <Attribute Name="Moving" Uuid="A-MOVING" Size="12" Came="y"/>
  </Class>
  <Class Name="C" Uuid="c-c">
    <Attribute Name="Deep" Uuid="a-deep"><Enumerator Name="One" Value="1"><Tag Text="&lt;b&gt;"/></Enumerator><!-- note --></Attribute>
    <KIBComment Text="skipped by the comparison, copied with the class"/>
  </Class>
</Package>
)");
    const std::string markdown = ExpectSameEntries(oldPath, newPath);
    EXPECT_NE(
        markdown.find("## Moves\n\n- Attribute `Moving` (`A-MOVING`): from Class `A` (`c-a`) to Class `B` (`c-b`)"),
        std::string::npos)
        << markdown;
}

}  // namespace
