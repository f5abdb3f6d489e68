// SPDX-License-Identifier: Apache-2.0
#pragma once

class cQORMUCommandLineInput {
public:
    // Traces the title, then each argument with its position, at weight 3.
    static void trace(int argc, const char* const argv[], const char* title);
};
