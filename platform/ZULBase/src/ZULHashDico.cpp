// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULHashDico.h"

#include <algorithm>
#include <stdexcept>

ZULHashDico::ZULHashDico(int sizeHint, std::pmr::memory_resource* memory)
    : entries_(memory),
      index_(memory),
      sizeHint_(sizeHint > 0 ? std::min(static_cast<std::size_t>(sizeHint), kLinearLimit + 2) : 0) {}

void ZULHashDico::Reserve(int count) {
    if (count > 0) entries_.reserve(static_cast<std::size_t>(count));
}

std::int64_t ZULHashDico::Find(const ZULUnicodeString& key) const {
    if (index_.empty()) {
        for (std::size_t i = 0; i < entries_.size(); ++i)
            if (entries_[i].key == key) return static_cast<std::int64_t>(i);
        return -1;
    }
    const std::size_t mask = index_.size() - 1;
    for (std::size_t slot = ZULUnicodeStringHash()(key) & mask;; slot = (slot + 1) & mask) {
        const std::uint32_t position = index_[slot];
        if (position == 0) return -1;
        if (entries_[position - 1].key == key) return position - 1;
    }
}

void ZULHashDico::Rebuild(std::size_t slots) {
    index_.assign(slots, 0);
    const std::size_t mask = slots - 1;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        std::size_t slot = ZULUnicodeStringHash()(entries_[i].key) & mask;
        while (index_[slot] != 0) slot = (slot + 1) & mask;
        index_[slot] = static_cast<std::uint32_t>(i + 1);
    }
}

ZULHashDico::InsertResult ZULHashDico::Insert(const ZULUnicodeString& key, void* value) {
    if (Find(key) >= 0) return kAlreadyPresent;
    MakeRoom();
    entries_.emplace_back(key, Memory(), value);
    Indexed(entries_.back().key);
    return kInserted;
}

ZULHashDico::InsertResult ZULHashDico::Insert(ZULUnicodeString&& key, void* value) {
    if (Find(key) >= 0) return kAlreadyPresent;
    MakeRoom();
    entries_.emplace_back(std::move(key), Memory(), value);
    Indexed(entries_.back().key);
    return kInserted;
}

void ZULHashDico::MakeRoom() {
    if (entries_.size() >= UINT32_MAX - 1) throw std::length_error("ZULHashDico: too many entries");
    if (entries_.capacity() == 0) entries_.reserve(sizeHint_);
}

void ZULHashDico::Indexed(const ZULUnicodeString& key) {
    const std::size_t count = entries_.size();
    if (count <= kLinearLimit) return;
    if (count * 2 > index_.size()) {  // keep the load factor at or below one half
        std::size_t slots = 16;
        while (slots < count * 4) slots *= 2;
        Rebuild(slots);
    } else {
        const std::size_t mask = index_.size() - 1;
        std::size_t slot = ZULUnicodeStringHash()(key) & mask;
        while (index_[slot] != 0) slot = (slot + 1) & mask;
        index_[slot] = static_cast<std::uint32_t>(count);
    }
}

void* ZULHashDico::Locate(const ZULUnicodeString& key) const {
    const std::int64_t position = Find(key);
    return position < 0 ? nullptr : entries_[static_cast<std::size_t>(position)].value;
}

void ZULHashDico::RemoveAll() {
    entries_.clear();
    entries_.shrink_to_fit();
    index_.clear();
    index_.shrink_to_fit();
}

void* ZULHashDico::operator[](const ZULHashCodeIter& iter) const { return entries_.at(iter.next_ - 1).value; }

const void* ZULHashCodeIter::operator++(int) {
    if (next_ >= dico_->entries_.size()) return nullptr;
    return &dico_->entries_[next_++];
}

const ZULUnicodeString& ZULHashCodeIter::ItemName() const { return dico_->entries_.at(next_ - 1).key; }
