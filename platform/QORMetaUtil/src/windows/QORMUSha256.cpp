// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUSha256.h"

#include <windows.h>

#include <bcrypt.h>
#include <wincrypt.h>

namespace {

bool Sha256(const std::string& bytes, unsigned char (&digest)[32]) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    BCRYPT_HASH_HANDLE hash = nullptr;
    bool ok = BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) &&
              BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0)) &&
              BCRYPT_SUCCESS(::BCryptHashData(hash, reinterpret_cast<PUCHAR>(const_cast<char*>(bytes.data())),
                                              static_cast<ULONG>(bytes.size()), 0)) &&
              BCRYPT_SUCCESS(::BCryptFinishHash(hash, digest, sizeof digest, 0));
    if (hash) ::BCryptDestroyHash(hash);
    if (algorithm) ::BCryptCloseAlgorithmProvider(algorithm, 0);
    return ok;
}

}  // namespace

std::string QORMUSha256Base64(const std::string& bytes) {
    unsigned char digest[32];
    char base64[64];
    DWORD length = sizeof base64;
    if (!Sha256(bytes, digest) ||
        !::CryptBinaryToStringA(digest, sizeof digest, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, base64, &length))
        return "";
    return std::string(base64, length);
}
