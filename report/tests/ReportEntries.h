// The entries of a diff document, read from the diff document itself and
// read back from a markdown report, each as one line in the same canonical
// form, so that a test can compare them entry by entry:
//   Added|Deleted parent=<ParentUuid> <tag>{field=value;...}[children...]
//   Modified <tag> <UUID> ~name=old>new -name=old +name=new (sorted)
#pragma once

#include <set>
#include <string>

std::multiset<std::string> DiffEntries(const std::string& diffPath);
std::multiset<std::string> MarkdownEntries(const std::string& markdown);
