// SPDX-License-Identifier: Apache-2.0
// cConfiguration: a team's decisions about the check, .qormeta.toml, read
// into the policy the library's core applies (cChangePolicy). The file is
// TOML (toml++), every key known:
//   [fields.NAME]                  a field's rule, NAME as documents write it
//   narrowing = "error"            QM106 when its number gets smaller
//   change = "warning"             QM107 when it changes but as allowed:
//   allow = ["int -> bigint"]      old -> new, * for any value
//   [rules]
//   QM105 = "off"                  error | warning | off
//   [[allow]]                      one acknowledged change
//   rule = "QM102"
//   uuid = "a-cust-fax"
//   reason = "archived before release 7"     (required)
// Anything else, a value of the wrong type, an unknown rule or severity, a
// missing key: cConfigurationError, which names the file, the line and the key.
#pragma once

#include <stdexcept>
#include <string>

#include "QORMDChangePolicy.h"

struct cConfigurationError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class cConfiguration {
public:
    // The file's name the check and the report look for.
    static constexpr const char* kFileName = ".qormeta.toml";

    // The configuration that applies in folder: given (when not empty), else
    // .qormeta.toml at the top of the repository that holds folder, else in
    // folder itself; empty when there is none.
    static std::string Locate(const std::string& given, const std::string& folder);
    // Reads file: throws cConfigurationError.
    static cChangePolicy Read(const std::string& file);
};
