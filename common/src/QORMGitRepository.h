// SPDX-License-Identifier: Apache-2.0
// cGitRepository: a git repository read through libgit2, for the report over
// a revision range and the check against a revision: the range resolved as
// git resolves it, the metadata
// documents that differ between its two ends (renames followed, as git's
// rename detection finds them), and their contents. It only reads: nothing is
// written to the work tree, the index or the object database.
// Failures throw cGitError with libgit2's reason.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

struct git_diff;
struct git_repository;
struct git_tree;

struct cGitError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class cGitRepository {
public:
    // Opens the repository that holds folder (the folder or one above it, as git finds it).
    explicit cGitRepository(const std::string& folder);
    ~cGitRepository();
    cGitRepository(const cGitRepository&) = delete;
    cGitRepository& operator=(const cGitRepository&) = delete;

    struct Revision {
        std::string name;  // as the range names it, or how it was found ("merge base of A and B")
        std::string id;    // the commit's full id (hex)
        std::string shortId;
    };
    // The two commits of a range, "A..B" or "A...B" (from the merge base of A
    // and B), A and B anything git resolves to a commit (branches, tags, ids,
    // HEAD~2, ...); an end left out is HEAD (".." is HEAD..HEAD). In a
    // shallow clone, a range that needs commits it does not hold says so
    // (libgit2 reads no shallow boundary: A...B needs the parents of the
    // merge base too).
    struct Range {
        Revision from, to;
    };
    Range Resolve(const std::string& range) const;

    // One metadata document that differs between the range's ends.
    struct Change {
        enum Kind { kAdded, kDeleted, kModified, kRenamed };
        Kind kind = kModified;
        std::string oldPath, newPath;  // empty where there is no such version
        std::string oldBlob, newBlob;  // the versions' blob ids (hex); empty where there is none
        // The path that names it: its new one, or the old one of a deleted file.
        const std::string& Path() const { return newPath.empty() ? oldPath : newPath; }
    };
    // The regular files that differ between the ends and are metadata
    // documents, in path order: by default those that .gitattributes marks
    // diff=qormeta (as the range's end commit, the work tree and the index
    // say, like git), else those that the pathspecs select as git selects
    // them (cPathFilter; throws cPathFilterError for one it refuses).
    std::vector<Change> Changes(const Range& range, const std::vector<std::string>& pathspecs) const;

    // A revision as git resolves one (HEAD, a branch, a tag, an id, HEAD~2, ...): its commit.
    // HEAD before the first commit is the empty tree (an empty id): it holds no file.
    Revision ResolveRevision(const std::string& revision) const;
    // The metadata documents that differ between the commit from and the
    // work tree, as `git diff from` lists them (tracked files, deleted ones
    // included; which are metadata documents as Changes says, the work tree's
    // and the index's .gitattributes deciding). A work tree side has no blob:
    // its file is WorkTree() + newPath.
    std::vector<Change> WorkTreeChanges(const Revision& from, const std::vector<std::string>& pathspecs) const;
    // The blob of the regular file at path (from the top) in revision; empty when it holds none.
    std::string BlobAt(const Revision& revision, const std::string& path) const;
    // The path from the top of the work tree of file (named as the current
    // folder sees it); empty when it lies outside the work tree.
    std::string PathOf(const std::string& file) const;

    // The content of a blob.
    std::string Read(const std::string& blobId) const;

    // The work tree's folder, ending with '/'; empty for a bare repository.
    std::string WorkTree() const;

private:
    // Throws for a failed call (result < 0) of resolving range: what, with
    // libgit2's reason, or that the range needs more of a shallow clone's history.
    void CheckReach(int result, const std::string& what, const std::string& range) const;
    // Whether path is a metadata document by the attributes of end (a
    // commit; null: the work tree and the index alone).
    bool MarkedAsMetadata(const std::string& path, const Revision* end) const;
    // The tree of revision's commit, to be freed by the caller; null for the empty tree.
    git_tree* TreeOf(const Revision& revision) const;
    // The documents that compare finds, selected by pathspecs or else by the
    // attributes of end. compare(paths) makes a diff (the caller's to free),
    // of exactly those paths (from the top) when paths is not null.
    std::vector<Change> Select(const std::function<git_diff*(const std::vector<std::string>* paths)>& compare,
                               const std::vector<std::string>& pathspecs, const Revision* end) const;
    // The changes of diff, renames found; byAttributes: only the files
    // .gitattributes marks (else every file of diff).
    std::vector<Change> ChangesOf(git_diff* diff, const Revision* end, bool byAttributes) const;

    git_repository* repository_ = nullptr;
    std::string folder_;  // the folder it was opened from, in the work tree: "" at its top, else ending with '/'
};
