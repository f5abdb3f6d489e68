// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUSha256.h"

#include <openssl/evp.h>

std::string QORMUSha256Base64(const std::string& bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) != 1) return "";
    unsigned char base64[(EVP_MAX_MD_SIZE + 2) / 3 * 4 + 1];
    EVP_EncodeBlock(base64, digest, static_cast<int>(length));
    return reinterpret_cast<const char*>(base64);
}
