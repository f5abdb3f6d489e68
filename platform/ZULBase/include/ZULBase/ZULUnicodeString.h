// SPDX-License-Identifier: Apache-2.0
// ZULUnicodeString: the framework's string. Held as UTF-16 so that Xerces
// strings (XMLCh is char16_t) pass in and out without transcoding; the narrow
// form (ConvertToChar) is UTF-8, made on demand and cached until the next change.
// Characters live on the heap, but for a string made with a memory resource
// of its own (the keys a dictionary keeps in its arena), which a move keeps;
// a copy of any string is on the heap again.
#pragma once

#include <cstddef>
#include <memory>
#include <memory_resource>
#include <string>
#include <string_view>

class ZULUnicodeString {
public:
    ZULUnicodeString() = default;
    // From UTF-8 bytes; a null pointer gives the empty string. Bytes that are
    // not valid UTF-8 are kept losslessly (each maps to U+DC80..U+DCFF and
    // back), so that any file name survives the round trip.
    ZULUnicodeString(const char* bytes);  // NOLINT: implicit like the framework's
    ZULUnicodeString(const char* bytes, std::size_t length);
    // From UTF-16 (a Xerces string); null gives the empty string.
    explicit ZULUnicodeString(const char16_t* text);
    ZULUnicodeString(const char16_t* text, std::size_t length);
    explicit ZULUnicodeString(std::u16string text);

    ZULUnicodeString(const ZULUnicodeString& other);
    // A copy whose characters live in memory, which must outlive it.
    ZULUnicodeString(const ZULUnicodeString& other, std::pmr::memory_resource* memory);
    // The characters of other, taken over when other keeps them in memory.
    ZULUnicodeString(ZULUnicodeString&& other, std::pmr::memory_resource* memory) noexcept;
    // From UTF-16 units, the characters in memory.
    ZULUnicodeString(std::u16string_view text, std::pmr::memory_resource* memory);
    ZULUnicodeString(ZULUnicodeString&& other) noexcept;
    ZULUnicodeString& operator=(const ZULUnicodeString& other);
    ZULUnicodeString& operator=(ZULUnicodeString&& other) noexcept;
    ~ZULUnicodeString();

    bool operator==(const ZULUnicodeString& other) const;
    bool operator!=(const ZULUnicodeString& other) const { return !(*this == other); }

    ZULUnicodeString& Append(const ZULUnicodeString& other);
    ZULUnicodeString& Append(const char* bytes);

    // UTF-8 bytes, valid while this string is unchanged.
    const char* ConvertToChar() const;
    // Number of Unicode characters (a surrogate pair counts once).
    std::size_t GetLengthInChar() const;
    bool IsEmpty() const { return text_.empty(); }
    // Upper-cases in place with Unicode's simple upper-case mapping, one
    // code point to one (é -> É, ß stays, 𐐨 -> 𐐀): the same on every
    // machine, whatever its locale data or the process's setlocale.
    ZULUnicodeString& ToUpper();

    // Zero-terminated UTF-16, directly usable as a Xerces XMLCh string.
    const char16_t* GetUTF16() const { return text_.c_str(); }
    std::u16string_view str() const { return text_; }

private:
    static std::pmr::memory_resource* Heap() { return std::pmr::new_delete_resource(); }
    void Changed() { utf8_.reset(); }

    std::pmr::u16string text_{Heap()};
    mutable std::unique_ptr<std::string> utf8_;  // ConvertToChar cache
};

// The code point that starts at text[i], a surrogate pair counting as one
// and a lone surrogate as itself; i moves past it. Inline: writers call it
// for every character.
inline char32_t ZULNextCodePoint(std::u16string_view text, std::size_t& i) {
    const char32_t unit = text[i++];
    if (unit >= 0xD800 && unit <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF)
        return 0x10000 + ((unit - 0xD800) << 10) + (text[i++] - 0xDC00);
    return unit;
}

// One code point appended to out in UTF-8.
inline void ZULAppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

struct ZULUnicodeStringHash {
    std::size_t operator()(const ZULUnicodeString& s) const noexcept;
};
