// SPDX-License-Identifier: Apache-2.0
// The side parts of a merge fuzz input: a side is either a whole document or
// an edit script over the base's lines, so that most inputs are versions of
// one document that differ by a few edits, as real merges are.
//
// A side part that is empty or starts with one of "-+=mcs#" is a script:
// one edit a line, applied in order to the base cut after each '\n'. N and M
// are decimal and taken modulo the current number of lines (plus one where a
// line may go last), so that every edit applies:
//   -N          deletes line N
//   +N text     inserts "text\n" before line N
//   =N text     replaces line N with "text\n"
//   mN M        moves line N before line M
//   cN M        copies line N before line M
//   sN old|new  replaces the first "old" in line N with "new"
//   #...        nothing (a comment)
// An empty script gives the base byte for byte. Any other part is the side's
// document itself.
#pragma once

#include <string>
#include <string_view>

std::string QORMMFuzzSide(std::string_view base, std::string_view part);
// The next part of a fuzz input cut at its NUL bytes; rest moves past it
// (empty after the last part).
std::string_view QORMMFuzzPart(std::string_view& rest);
