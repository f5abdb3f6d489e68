// SPDX-License-Identifier: Apache-2.0
// SHA-256 from the system's own cryptography (OpenSSL's libcrypto on Linux,
// CNG on Windows), for the hashes that pages name their inline blocks by.
#pragma once

#include <string>

// The SHA-256 digest of bytes in base64 (44 characters); empty on failure.
std::string QORMUSha256Base64(const std::string& bytes);
