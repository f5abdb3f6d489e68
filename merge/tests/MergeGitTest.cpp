// The git drivers in a real repository: the merge driver merges what a plain
// git merge conflicts on and stops on a true conflict with it listed; the
// diff driver shows the text report of QORMetaReport.
#include <gtest/gtest.h>

#include <cstdlib>

#include "MergeSupport.h"

namespace {

const char kModel[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Package Name="Sales" Uuid="pkg-1">
  <Class Name="Customer" Uuid="c-cust" Table="CUSTOMER" Owner="sales">
    <Attribute Name="Id" Uuid="a-id" Type="int"/>
  </Class>
  <Class Name="Order" Uuid="c-order" Table="ORDERS">
    <Attribute Name="Total" Uuid="a-total" Type="decimal"/>
  </Class>
</Package>
)";

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class GitDrivers : public ::testing::Test {
protected:
    void SetUp() override {
        Git({"init", "-q"});
        Git({"checkout", "-q", "-b", "main"});
        Git({"config", "user.name", "Merge Test"});
        Git({"config", "user.email", "merge-test@localhost"});
        Git({"config", "commit.gpgsign", "false"});
        repo.write(".gitattributes", "*.meta.xml merge=qormeta diff=qormeta\n");
        Commit(kModel, "model");
    }
    ProgramRun Git(std::vector<std::string> args, int expected = 0) {
        args.insert(args.begin(), "git");
        // The diff driver finds QORMetaReport on the PATH.
        const ProgramRun run = RunProgram(args, repo.path(), {path, "GIT_CONFIG_NOSYSTEM=1", "HOME=" + repo.path()});
        if (expected >= 0) {
            EXPECT_EQ(run.exitStatus, expected) << args[1] << ": " << run.out << run.err;
        }
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
        Git({"config", "merge.qormeta.driver", std::string(QORMM_MERGE_PATH) + " -Base %O -Ours %A -Theirs %B -Out %A"});
        Git({"config", "diff.qormeta.command", QORMM_DIFF_DRIVER});
    }

    TempDir repo;
    const std::string path = std::string("PATH=") + QORMM_REPORT_DIR + ":" + std::getenv("PATH");
};

TEST_F(GitDrivers, MergeDriverMergesWhatALineMergeCannot) {
    // Different fields of one class on one line, and an attribute added on each side at the same place.
    Branch("ours", Replace(Replace(kModel, "Table=\"CUSTOMER\"", "Table=\"CLIENT\""), "Type=\"int\"/>",
                           "Type=\"int\"/>\n    <Attribute Name=\"Email\" Uuid=\"a-email\" Type=\"varchar\"/>"));
    Branch("theirs", Replace(Replace(kModel, "Owner=\"sales\"", "Owner=\"crm\""), "Type=\"int\"/>",
                             "Type=\"int\"/>\n    <Attribute Name=\"Phone\" Uuid=\"a-phone\" Type=\"varchar\"/>"));
    Git({"checkout", "-q", "ours"});
    const ProgramRun plain = Git({"merge", "-q", "--no-edit", "theirs"}, 1);
    EXPECT_NE(plain.out.find("CONFLICT (content)"), std::string::npos) << plain.out;
    Git({"merge", "--abort"});

    UseDrivers();
    Git({"merge", "-q", "--no-edit", "theirs"});
    std::map<std::string, std::string> merged = Content(repo.file("model.meta.xml"));
    EXPECT_EQ(merged["Class C-CUST"], "Name=Customer Owner=crm Table=CLIENT Uuid=c-cust");
    EXPECT_EQ(merged.count("Attribute C-CUST/A-EMAIL"), 1u);
    EXPECT_EQ(merged.count("Attribute C-CUST/A-PHONE"), 1u);
    EXPECT_EQ(Git({"status", "--porcelain"}).out, "");
}

TEST_F(GitDrivers, MergeDriverStopsOnAConflictAndListsIt) {
    UseDrivers();
    Branch("ours", Replace(kModel, "Type=\"decimal\"", "Type=\"money\""));
    Branch("theirs", Replace(kModel, "Type=\"decimal\"", "Type=\"numeric\""));
    Git({"checkout", "-q", "ours"});
    const ProgramRun run = Git({"merge", "--no-edit", "theirs"}, 1);
    EXPECT_NE((run.out + run.err).find("CONFLICT (field Type): <Attribute Name=\"Total\" Uuid=\"a-total\"> in <Class "
                                       "Name=\"Order\" Uuid=\"c-order\">: base \"decimal\", ours \"money\", theirs "
                                       "\"numeric\""),
              std::string::npos)
        << run.out << run.err;
    EXPECT_EQ(Git({"status", "--porcelain"}).out, "UU model.meta.xml\n");
    EXPECT_EQ(Content(repo.file("model.meta.xml"))["Attribute C-ORDER/A-TOTAL"], "Name=Total Type=money Uuid=a-total");
}

TEST_F(GitDrivers, DiffDriverShowsTheReport) {
    UseDrivers();
    repo.write("model.meta.xml", Replace(kModel, "Table=\"ORDERS\"", "Table=\"ORDER\""));
    const ProgramRun changed = Git({"diff"});
    EXPECT_NE(changed.out.find("qormeta diff a/model.meta.xml b/model.meta.xml\nChanges to package Sales\n"
                               "  old: a/model.meta.xml\n  new: b/model.meta.xml\n"),
              std::string::npos)
        << changed.out;
    EXPECT_NE(changed.out.find("\nClass Order (c-order): changed\n  ~ Table: ORDERS \u2192 ORDER\n"), std::string::npos)
        << changed.out;

    // Layout only: nothing compared differs.
    repo.write("model.meta.xml", Replace(kModel, "  <Class Name=\"Order\"", "<Class   Name=\"Order\""));
    EXPECT_EQ(Git({"diff"}).out, "qormeta diff a/model.meta.xml b/model.meta.xml\n"
                                 "model.meta.xml: the two versions do not differ in any compared way "
                                 "(classes, attributes, fields)\n");

    // An added file: everything added.
    repo.write("new.meta.xml", kModel);
    Git({"add", "-N", "new.meta.xml"});
    EXPECT_NE(Git({"diff", "--", "new.meta.xml"}).out.find("  old: none (everything is added)\n  new: b/new.meta.xml\n"),
              std::string::npos);
}

}  // namespace
