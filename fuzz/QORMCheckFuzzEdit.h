// SPDX-License-Identifier: Apache-2.0
// The change check fuzzer's own mutation of an edit script
// (QORMMergeFuzzScript.h): one edit more, of the kinds by which a model
// changes, aimed at the lines of the version the script makes so far, so
// that a document of one element a line mostly stays XML that loads:
//   - an attribute line deleted, or a class with all its lines;
//   - an attribute line moved or copied into a class (a move; an attribute
//     Uuid that classes share);
//   - a value of a line replaced: in another letter case, with a suffix (a
//     new Uuid or Name: re-created, renamed), a number made smaller or
//     larger, a non-ASCII or an invisible character put in, or the value of
//     the same field on another line (a class and an attribute of one Uuid);
//   - or the last edit taken back.
#pragma once

#include <random>
#include <string>
#include <string_view>

std::string QORMCEditScript(std::string_view old, std::string_view script, std::minstd_rand& random);
