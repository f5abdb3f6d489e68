// SPDX-License-Identifier: Apache-2.0
// Layout in a text of a document: the blank runs (spaces, tabs, line ends)
// at the ends of a text are indentation, not content, when the text stands
// beside elements (mixed content), and wherever they hold a line end (an
// element whose elements came and went keeps their indentation in its
// text). The parser already leaves out blank text beside elements
// (QORMULayoutText.h); the merge and the report read what is left with this.
#pragma once

#include <string_view>

// The text without the blank runs at its ends that are layout; besideElements:
// its element holds elements too.
std::u16string_view QORMUWithoutLayout(std::u16string_view text, bool besideElements);
