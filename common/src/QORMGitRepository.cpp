// SPDX-License-Identifier: Apache-2.0
#include "QORMGitRepository.h"

#include <git2.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "QORMPathFilter.h"

namespace {

// A libgit2 object owned: freed by its own function.
template <auto Free>
struct Freer {
    template <class T>
    void operator()(T* object) const {
        Free(object);
    }
};
template <class T, auto Free>
using Owned = std::unique_ptr<T, Freer<Free>>;

// libgit2's reason for the last failed call.
std::string Reason() {
    const git_error* error = git_error_last();
    return error && error->message ? error->message : "libgit2 failed";
}

// Throws libgit2's reason for a failed call (result < 0), after what.
void Check(int result, const std::string& what) {
    if (result < 0) throw cGitError(what + ": " + Reason());
}

std::string Hex(const git_oid& id) {
    char text[GIT_OID_HEXSZ + 1];
    git_oid_tostr(text, sizeof text, &id);
    return text;
}

git_oid Oid(const std::string& hex) {
    git_oid id;
    Check(git_oid_fromstr(&id, hex.c_str()), "not an object id: " + hex);
    return id;
}

// Diff options limited to exactly paths (from the top), or none when null.
struct PathOptions {
    explicit PathOptions(const std::vector<std::string>* paths) {
        git_diff_options_init(&options, GIT_DIFF_OPTIONS_VERSION);
        if (!paths) return;
        for (const std::string& path : *paths) exact.push_back(const_cast<char*>(path.c_str()));
        options.pathspec = {exact.data(), exact.size()};
        options.flags |= GIT_DIFF_DISABLE_PATHSPEC_MATCH;
    }
    git_diff_options options;
    std::vector<char*> exact;
};

bool IsRegularFile(std::uint32_t mode) { return mode == GIT_FILEMODE_BLOB || mode == GIT_FILEMODE_BLOB_EXECUTABLE; }

}  // namespace

cGitRepository::cGitRepository(const std::string& folder) {
    git_libgit2_init();
    if (git_repository_open_ext(&repository_, folder.c_str(), 0, nullptr) < 0) {
        const git_error* error = git_error_last();
        const std::string reason = error && error->message ? error->message : "no repository found";
        repository_ = nullptr;
        git_libgit2_shutdown();
        throw cGitError("\"" + folder + "\" is not in a git repository: " + reason);
    }
    // Where folder lies in the work tree, as git places a pathspec.
    std::error_code failed;
    const std::string opened =
        std::filesystem::canonical(std::filesystem::u8path(folder), failed).generic_u8string() + "/";
    const std::string top = WorkTree();
    if (!failed && !top.empty() && opened.compare(0, top.size(), top) == 0) folder_ = opened.substr(top.size());
}

cGitRepository::~cGitRepository() {
    git_repository_free(repository_);
    git_libgit2_shutdown();
}

cGitRepository::Range cGitRepository::Resolve(const std::string& range) const {
    const std::size_t dots = range.find("..");
    if (dots == std::string::npos)
        throw cGitError("\"" + range +
                        "\" is not a range: give A..B (what B has that A has not) or A...B (what B "
                        "changed since it left A)");
    const bool threeDots = range.compare(dots, 3, "...") == 0;
    std::string first = range.substr(0, dots);
    std::string second = range.substr(dots + (threeDots ? 3 : 2));
    // An end left out is HEAD, also both (.. is HEAD..HEAD).
    if (first.empty()) first = "HEAD";
    if (second.empty()) second = "HEAD";

    git_revspec ends{};
    const int parsed = git_revparse(&ends, repository_, (first + (threeDots ? "..." : "..") + second).c_str());
    // A range whose second end does not resolve leaves the first one set.
    Owned<git_object, git_object_free> fromObject(ends.from), toObject(ends.to);
    CheckReach(parsed, "the range \"" + range + "\" cannot be resolved", range);
    if (!(ends.flags & GIT_REVSPEC_RANGE) || !fromObject || !toObject)
        throw cGitError("\"" + range + "\" is not a range of two revisions");
    Owned<git_object, git_object_free> fromCommit, toCommit;
    git_object* peeled = nullptr;
    Check(git_object_peel(&peeled, fromObject.get(), GIT_OBJECT_COMMIT), "\"" + first + "\" is not a commit");
    fromCommit.reset(peeled);
    Check(git_object_peel(&peeled, toObject.get(), GIT_OBJECT_COMMIT), "\"" + second + "\" is not a commit");
    toCommit.reset(peeled);

    const auto revision = [&](const git_oid& id, std::string name) {
        Owned<git_object, git_object_free> commit;
        git_object* found = nullptr;
        Check(git_object_lookup(&found, repository_, &id, GIT_OBJECT_COMMIT), "reading the commit " + Hex(id));
        commit.reset(found);
        git_buf shortId{};
        Check(git_object_short_id(&shortId, commit.get()), "naming the commit " + Hex(id));
        Revision result{std::move(name), Hex(id), std::string(shortId.ptr, shortId.size)};
        git_buf_dispose(&shortId);
        return result;
    };
    Range resolved;
    resolved.to = revision(*git_object_id(toCommit.get()), second);
    if (!threeDots) {
        resolved.from = revision(*git_object_id(fromCommit.get()), first);
        return resolved;
    }
    const git_oid* fromId = git_object_id(fromCommit.get());
    const git_oid* toId = git_object_id(toCommit.get());
    const std::string noBase = "\"" + first + "\" and \"" + second + "\" have no common commit";
    if (git_repository_is_shallow(repository_) == 1) {
        // Counting the commits of each side walks the history as the merge
        // base does, and fails cleanly where git_merge_base (libgit2 1.5)
        // leaks when its walk meets a missing parent.
        std::size_t ahead = 0, behind = 0;
        CheckReach(git_graph_ahead_behind(&ahead, &behind, repository_, fromId, toId), noBase, range);
    }
    git_oid base;
    CheckReach(git_merge_base(&base, repository_, fromId, toId), noBase, range);
    resolved.from = revision(base, "merge base of " + first + " and " + second);
    return resolved;
}

void cGitRepository::CheckReach(int result, const std::string& what, const std::string& range) const {
    if (result >= 0) return;
    const git_error* error = git_error_last();
    // A shallow clone's oldest commits name parents that it does not hold,
    // and libgit2 reads no shallow boundary: its walks end at a missing object.
    if (git_repository_is_shallow(repository_) == 1 && error && error->klass == GIT_ERROR_ODB)
        throw cGitError("the range \"" + range + "\" needs more history than this shallow clone holds (" + Reason() +
                        "): fetch more of it (git fetch --deepen=N, or git fetch --unshallow) and run again");
    Check(result, what);
}

std::string cGitRepository::WorkTree() const {
    const char* folder = git_repository_workdir(repository_);
    return folder ? folder : "";
}

bool cGitRepository::MarkedAsMetadata(const std::string& path, const Revision* end) const {
    git_attr_options options{};  // GIT_ATTR_OPTIONS_INIT, which clang finds incomplete
    options.version = GIT_ATTR_OPTIONS_VERSION;
    options.flags = GIT_ATTR_CHECK_FILE_THEN_INDEX;
    if (end) {
        options.flags |= GIT_ATTR_CHECK_INCLUDE_COMMIT;
        options.attr_commit_id = Oid(end->id);
    }
    const char* value = nullptr;
    Check(git_attr_get_ext(&value, repository_, &options, path.c_str(), "diff"),
          "reading the attributes of \"" + path + "\"");
    return git_attr_value(value) == GIT_ATTR_VALUE_STRING && std::strcmp(value, "qormeta") == 0;
}

git_tree* cGitRepository::TreeOf(const Revision& revision) const {
    if (revision.id.empty()) return nullptr;  // no commit yet: the empty tree
    git_commit* commit = nullptr;
    const git_oid id = Oid(revision.id);
    Check(git_commit_lookup(&commit, repository_, &id), "reading the commit " + revision.id);
    Owned<git_commit, git_commit_free> owned(commit);
    git_tree* tree = nullptr;
    Check(git_commit_tree(&tree, commit), "reading the tree of " + revision.id);
    return tree;
}

std::vector<cGitRepository::Change> cGitRepository::Changes(const Range& range,
                                                            const std::vector<std::string>& pathspecs) const {
    const Owned<git_tree, git_tree_free> fromTree(TreeOf(range.from)), toTree(TreeOf(range.to));
    return Select(
        [&](const std::vector<std::string>* paths) {
            const PathOptions limit(paths);
            git_diff* found = nullptr;
            Check(git_diff_tree_to_tree(&found, repository_, fromTree.get(), toTree.get(), &limit.options),
                  "comparing the trees");
            return found;
        },
        pathspecs, &range.to);
}

std::vector<cGitRepository::Change> cGitRepository::WorkTreeChanges(const Revision& from,
                                                                    const std::vector<std::string>& pathspecs) const {
    const Owned<git_tree, git_tree_free> fromTree(TreeOf(from));
    return Select(
        [&](const std::vector<std::string>* paths) {
            const PathOptions limit(paths);
            git_diff* found = nullptr;
            // As git diff REV: the index tells which files are tracked.
            Check(git_diff_tree_to_workdir_with_index(&found, repository_, fromTree.get(), &limit.options),
                  "comparing " + from.name + " with the work tree");
            return found;
        },
        pathspecs, nullptr);
}

std::vector<cGitRepository::Change> cGitRepository::Select(
    const std::function<git_diff*(const std::vector<std::string>* paths)>& compare,
    const std::vector<std::string>& pathspecs, const Revision* end) const {
    // With pathspecs, git pairs renamed files among the files they select
    // only: the selected paths first, then their renames.
    std::vector<std::string> paths;
    if (!pathspecs.empty()) {
        const cPathFilter selection(pathspecs, folder_, WorkTree());
        const Owned<git_diff, git_diff_free> all(compare(nullptr));
        for (std::size_t i = 0; i < git_diff_num_deltas(all.get()); ++i) {
            const git_diff_delta* delta = git_diff_get_delta(all.get(), i);
            if (selection.Selects(delta->old_file.path)) paths.emplace_back(delta->old_file.path);
            if (delta->new_file.path != std::string(delta->old_file.path) && selection.Selects(delta->new_file.path))
                paths.emplace_back(delta->new_file.path);
        }
        if (paths.empty()) return {};
        const Owned<git_diff, git_diff_free> diff(compare(&paths));
        return ChangesOf(diff.get(), end, false);
    }
    const Owned<git_diff, git_diff_free> diff(compare(nullptr));
    return ChangesOf(diff.get(), end, true);
}

std::vector<cGitRepository::Change> cGitRepository::ChangesOf(git_diff* diff, const Revision* end,
                                                              bool byAttributes) const {
    git_diff_find_options renames;
    git_diff_find_options_init(&renames, GIT_DIFF_FIND_OPTIONS_VERSION);
    renames.flags = GIT_DIFF_FIND_RENAMES;
    Check(git_diff_find_similar(diff, &renames), "finding renamed files");
    const auto selected = [&](const std::string& path) {
        return !path.empty() && (!byAttributes || MarkedAsMetadata(path, end));
    };

    std::vector<Change> changes;
    for (std::size_t i = 0; i < git_diff_num_deltas(diff); ++i) {
        const git_diff_delta* delta = git_diff_get_delta(diff, i);
        Change change;
        // A side counts when it is a regular file (not a link, not a submodule).
        if (delta->status != GIT_DELTA_ADDED && IsRegularFile(delta->old_file.mode)) {
            change.oldPath = delta->old_file.path;
            change.oldBlob = Hex(delta->old_file.id);
        }
        if (delta->status != GIT_DELTA_DELETED && IsRegularFile(delta->new_file.mode)) {
            change.newPath = delta->new_file.path;
            change.newBlob = Hex(delta->new_file.id);
        }
        if (!selected(change.oldPath) && !selected(change.newPath)) continue;
        if (change.oldPath.empty()) {
            change.kind = Change::kAdded;
        } else if (change.newPath.empty()) {
            change.kind = Change::kDeleted;
        } else {
            change.kind = change.oldPath == change.newPath ? Change::kModified : Change::kRenamed;
        }
        changes.push_back(std::move(change));
    }
    std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.Path() < b.Path(); });
    return changes;
}

cGitRepository::Revision cGitRepository::ResolveRevision(const std::string& revision) const {
    // Before the first commit HEAD names no commit yet: the empty tree, as git diff --cached has it.
    if (revision == "HEAD" && git_repository_head_unborn(repository_) == 1) return {revision, "", ""};
    git_object* found = nullptr;
    Check(git_revparse_single(&found, repository_, revision.c_str()), "\"" + revision + "\" cannot be resolved");
    Owned<git_object, git_object_free> object(found);
    git_object* peeled = nullptr;
    Check(git_object_peel(&peeled, object.get(), GIT_OBJECT_COMMIT), "\"" + revision + "\" is not a commit");
    Owned<git_object, git_object_free> commit(peeled);
    git_buf shortId{};
    Check(git_object_short_id(&shortId, commit.get()), "naming the commit of \"" + revision + "\"");
    Revision resolved{revision, Hex(*git_object_id(commit.get())), std::string(shortId.ptr, shortId.size)};
    git_buf_dispose(&shortId);
    return resolved;
}

std::string cGitRepository::BlobAt(const Revision& revision, const std::string& path) const {
    const Owned<git_tree, git_tree_free> tree(TreeOf(revision));
    git_tree_entry* found = nullptr;
    if (!tree || git_tree_entry_bypath(&found, tree.get(), path.c_str()) < 0) return "";
    const Owned<git_tree_entry, git_tree_entry_free> entry(found);
    if (git_tree_entry_type(entry.get()) != GIT_OBJECT_BLOB || !IsRegularFile(git_tree_entry_filemode(entry.get())))
        return "";
    return Hex(*git_tree_entry_id(entry.get()));
}

std::string cGitRepository::PathOf(const std::string& file) const {
    const std::string top = WorkTree();
    if (top.empty()) return "";
    std::error_code failed;
    // The file's folder resolved as the file system sees it (links), the name as given.
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(file), failed);
    if (failed) return "";
    const std::filesystem::path folder = std::filesystem::weakly_canonical(absolute.parent_path(), failed);
    if (failed) return "";
    const std::string path = (folder / absolute.filename()).generic_u8string();
    if (path.compare(0, top.size(), top) != 0) return "";
    return path.substr(top.size());
}

std::string cGitRepository::Read(const std::string& blobId) const {
    const git_oid id = Oid(blobId);
    git_blob* blob = nullptr;
    Check(git_blob_lookup(&blob, repository_, &id), "reading the blob " + blobId);
    const Owned<git_blob, git_blob_free> owned(blob);
    return std::string(static_cast<const char*>(git_blob_rawcontent(blob)),
                       static_cast<std::size_t>(git_blob_rawsize(blob)));
}
