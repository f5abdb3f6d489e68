// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUTextLayout.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

}  // namespace

std::u16string_view QORMUWithoutLayout(std::u16string_view text, bool besideElements) {
    std::size_t head = 0, tail = text.size();
    while (head < tail && IsBlank(text[head])) ++head;
    while (tail > head && IsBlank(text[tail - 1])) --tail;
    const auto layout = [&](std::size_t begin, std::size_t end) {
        return besideElements || text.substr(begin, end - begin).find_first_of(u"\n\r") != std::u16string_view::npos;
    };
    if (!layout(0, head)) head = 0;
    if (!layout(tail, text.size())) tail = text.size();
    return text.substr(head, tail - head);
}
