// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULUnicodeString.h"

#include <cstring>
#include <functional>

#include <unicode/uchar.h>
#include <unicode/utf16.h>

namespace {

// Lone surrogates U+DC80..U+DCFF stand for undecodable bytes 0x80..0xFF.
constexpr char16_t kEscapeBase = 0xDC00;

bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when invalid.
std::size_t DecodeOne(const unsigned char* s, std::size_t n, std::size_t i, char32_t& cp) {
    const unsigned char c = s[i];
    std::size_t len;
    char32_t min;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
        min = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
        min = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
        min = 0x10000;
    } else
        return 0;
    if (i + len > n) return 0;
    for (std::size_t k = 1; k < len; ++k) {
        if (!IsContinuation(s[i + k])) return 0;
        cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

void AppendUtf8(const unsigned char* s, std::size_t n, std::pmr::u16string& out) {
    out.reserve(out.size() + n);
    for (std::size_t i = 0; i < n;) {
        char32_t cp;
        const std::size_t len = DecodeOne(s, n, i, cp);
        if (len == 0) {
            out.push_back(static_cast<char16_t>(kEscapeBase + s[i]));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
}

void EncodeUtf8(std::u16string_view in, std::string& out) {
    out.reserve(in.size());
    for (std::size_t i = 0; i < in.size();) {
        const char32_t cp = ZULNextCodePoint(in, i);
        if (cp >= 0xDC80 && cp <= 0xDCFF)
            out.push_back(static_cast<char>(cp - kEscapeBase));  // an escaped raw byte
        else
            ZULAppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp);  // any other lone surrogate: U+FFFD
    }
}

}  // namespace

ZULUnicodeString::ZULUnicodeString(const char* bytes) {
    if (bytes) AppendUtf8(reinterpret_cast<const unsigned char*>(bytes), std::char_traits<char>::length(bytes), text_);
}

ZULUnicodeString::ZULUnicodeString(const char* bytes, std::size_t length) {
    if (bytes) AppendUtf8(reinterpret_cast<const unsigned char*>(bytes), length, text_);
}

ZULUnicodeString::ZULUnicodeString(const char16_t* text) {
    if (text) text_ = text;
}

ZULUnicodeString::ZULUnicodeString(const char16_t* text, std::size_t length) {
    if (text) text_.assign(text, length);
}

ZULUnicodeString::ZULUnicodeString(std::u16string text) : text_(text.begin(), text.end(), Heap()) {}

ZULUnicodeString::ZULUnicodeString(const ZULUnicodeString& other) : text_(other.text_, Heap()) {}

ZULUnicodeString::ZULUnicodeString(const ZULUnicodeString& other, std::pmr::memory_resource* memory)
    : text_(other.text_, memory) {}

ZULUnicodeString::ZULUnicodeString(ZULUnicodeString&& other, std::pmr::memory_resource* memory) noexcept
    : text_(std::move(other.text_), memory) {}

ZULUnicodeString::ZULUnicodeString(std::u16string_view text, std::pmr::memory_resource* memory) : text_(text, memory) {}

ZULUnicodeString::ZULUnicodeString(ZULUnicodeString&& other) noexcept
    : text_(std::move(other.text_)), utf8_(std::move(other.utf8_)) {}

ZULUnicodeString& ZULUnicodeString::operator=(const ZULUnicodeString& other) {
    if (this != &other) {
        text_ = other.text_;
        Changed();
    }
    return *this;
}

ZULUnicodeString& ZULUnicodeString::operator=(ZULUnicodeString&& other) noexcept {
    text_ = std::move(other.text_);
    utf8_ = std::move(other.utf8_);
    return *this;
}

ZULUnicodeString::~ZULUnicodeString() = default;

bool ZULUnicodeString::operator==(const ZULUnicodeString& other) const {
    // Unit for unit, compared as bytes: memcmp is much faster than a
    // character loop on the long keys (Uuids) dictionaries compare.
    return text_.size() == other.text_.size() &&
           std::memcmp(text_.data(), other.text_.data(), text_.size() * sizeof(char16_t)) == 0;
}

ZULUnicodeString& ZULUnicodeString::Append(const ZULUnicodeString& other) {
    text_ += other.text_;
    Changed();
    return *this;
}

ZULUnicodeString& ZULUnicodeString::Append(const char* bytes) {
    if (bytes) AppendUtf8(reinterpret_cast<const unsigned char*>(bytes), std::char_traits<char>::length(bytes), text_);
    Changed();
    return *this;
}

const char* ZULUnicodeString::ConvertToChar() const {
    if (!utf8_) {
        auto utf8 = std::make_unique<std::string>();
        EncodeUtf8(text_, *utf8);
        utf8_ = std::move(utf8);
    }
    return utf8_->c_str();
}

std::size_t ZULUnicodeString::GetLengthInChar() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
        const bool pair = text_[i] >= 0xD800 && text_[i] <= 0xDBFF && i + 1 < text_.size() && text_[i + 1] >= 0xDC00 &&
                          text_[i + 1] <= 0xDFFF;
        if (pair) ++i;
        ++count;
    }
    return count;
}

ZULUnicodeString& ZULUnicodeString::ToUpper() {
    Changed();
    // ASCII letters in one pass without branches (Uuids are nearly always
    // ASCII); anything else is left for Unicode's mapping below.
    char16_t beyondAscii = 0;
    for (char16_t& c : text_) {
        c = static_cast<char16_t>(c - (static_cast<char16_t>(c - u'a') < 26 ? 32 : 0));
        beyondAscii |= static_cast<char16_t>(c & 0xFF80);
    }
    if (!beyondAscii) return *this;
    // Code point by code point with Unicode's simple upper-case mapping
    // (ICU's, the same whatever the locale). A lone surrogate, which stands
    // for an undecodable byte, maps to itself.
    std::pmr::u16string upper(text_.get_allocator());
    upper.reserve(text_.size());
    for (std::size_t i = 0; i < text_.size();) {
        const UChar32 u = u_toupper(static_cast<UChar32>(ZULNextCodePoint(text_, i)));
        if (U_IS_BMP(u)) {
            upper.push_back(static_cast<char16_t>(u));
        } else {
            upper.push_back(static_cast<char16_t>(U16_LEAD(u)));
            upper.push_back(static_cast<char16_t>(U16_TRAIL(u)));
        }
    }
    text_ = std::move(upper);
    return *this;
}

std::size_t ZULUnicodeStringHash::operator()(const ZULUnicodeString& s) const noexcept {
    return std::hash<std::u16string_view>()(s.str());
}
