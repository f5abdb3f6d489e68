// SPDX-License-Identifier: Apache-2.0
// cDisplayWidth: how many terminal columns UTF-8 text takes (East Asian wide
// characters two, combining marks none), and how to cut it to a width.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class cDisplayWidth {
public:
    static int Of(std::string_view text);
    // Pieces of text, each at most width columns (a single wider character
    // stands alone), cut between characters, a combining mark kept with its base.
    static std::vector<std::string> Split(std::string_view text, int width);
    // Lines of text, each at most width columns, broken after a blank where
    // the line is at least half full (the blank ends its line: joined again,
    // the lines are the text), else cut as Split does. Linear in the text.
    static std::vector<std::string> Wrap(std::string_view text, int width);
};
