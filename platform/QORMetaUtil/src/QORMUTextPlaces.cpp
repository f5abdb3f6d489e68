// SPDX-License-Identifier: Apache-2.0
#include "QORMUTextPlaces.h"

#include <unicode/utf8.h>

#include <cctype>
#include <cstdint>

#include <xercesc/util/TransService.hpp>

using namespace xercesc;

namespace {

// A walk over text, one character at a time, that knows the place it is at.
class PlaceWalk {
public:
    PlaceWalk(std::string_view text, bool xml11) : text_(text), xml11_(xml11) {
        if (text_.substr(0, 3) == "\xEF\xBB\xBF") at_ = lineStart_ = 3;
    }

    bool AtEnd() const { return at_ >= text_.size(); }
    std::size_t Offset() const { return at_; }
    cDDLXMLPosition Place() const { return {line_, column_, static_cast<unsigned long>(at_ - lineStart_ + 1)}; }
    bool Before(const cDDLXMLPosition& place) const {
        return line_ < place.line || (line_ == place.line && column_ < place.column);
    }

    // Moves over the character at the walk's place, a line end as a whole.
    void Step() {
        const UChar32 c = Next();
        if (c == '\r') {
            const std::size_t after = at_;
            const UChar32 following = AtEnd() ? -1 : Next();
            if (following != '\n' && !(xml11_ && following == 0x85)) at_ = after;  // a CR alone
        }
        if (c == '\n' || c == '\r' || (xml11_ && (c == 0x85 || c == 0x2028))) {
            ++line_;
            column_ = 1;
            lineStart_ = at_;
        } else {
            column_ += c > 0xFFFF ? 2 : 1;
        }
    }

private:
    // The character at the walk's place (negative: a byte that is not UTF-8), moving over it.
    UChar32 Next() {
        const auto* bytes = reinterpret_cast<const uint8_t*>(text_.data());
        auto i = static_cast<int32_t>(at_);
        UChar32 c = 0;
        U8_NEXT(bytes, i, static_cast<int32_t>(text_.size()), c);
        at_ = static_cast<std::size_t>(i);
        return c;
    }

    std::string_view text_;
    bool xml11_;
    std::size_t at_ = 0;
    std::size_t lineStart_ = 0;
    unsigned long line_ = 1;
    unsigned long column_ = 1;
};

}  // namespace

std::string QORMUTextAsUtf8(const std::string& bytes, std::u16string_view encoding) {
    std::string name(encoding.begin(), encoding.end());  // encoding names are ASCII
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (name.empty() || name == "UTF-8" || name == "UTF8" || name == "US-ASCII" || name == "ASCII") return bytes;
    try {
        const TranscodeFromStr decoded(reinterpret_cast<const XMLByte*>(bytes.data()), bytes.size(), name.c_str());
        const TranscodeToStr encoded(decoded.str(), decoded.length(), "UTF-8");
        return std::string(reinterpret_cast<const char*>(encoded.str()), encoded.length());
    } catch (...) {  // an unknown encoding, bytes it does not allow, no memory for the text
        return bytes;
    }
}

cDDLXMLPosition QORMUPlaceOfByte(std::string_view text, std::size_t offset, bool xml11) {
    PlaceWalk walk(text, xml11);
    while (!walk.AtEnd() && walk.Offset() < offset) walk.Step();
    return walk.Place();
}

void QORMUCountByteColumns(std::string_view text, bool xml11, const std::vector<cDDLXMLPosition*>& places) {
    PlaceWalk walk(text, xml11);
    for (cDDLXMLPosition* place : places) {
        while (!walk.AtEnd() && walk.Before(*place)) walk.Step();
        place->byteColumn = walk.Place().byteColumn;
    }
}
