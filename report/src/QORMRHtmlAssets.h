// SPDX-License-Identifier: Apache-2.0
// The style sheet and the script of the HTML report, written into the page
// itself: the page loads nothing from anywhere.
#pragma once

extern const char* const kQORMRHtmlStyle;
extern const char* const kQORMRHtmlScript;
