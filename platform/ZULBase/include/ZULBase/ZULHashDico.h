// SPDX-License-Identifier: Apache-2.0
// ZULHashDico: dictionary from ZULUnicodeString to untyped pointer.
//
// Iteration follows insertion order, so whatever is built from a dictionary
// follows the order of the document it was read from and is the same on
// every run. Small dictionaries (most field lists) are searched linearly;
// past a few entries an open-addressing index of positions is kept.
// The dictionary never owns the values. Its storage comes from the memory
// resource it is built with: the heap by default.
#pragma once

#include <cstdint>
#include <memory_resource>
#include <vector>

#include "ZULBase/ZULUnicodeString.h"

class ZULHashCodeIter;

class ZULHashDico {
public:
    enum InsertResult { kInserted = 0, kAlreadyPresent = 1 };

    // sizeHint: expected number of entries, room for which (up to a few)
    // is made at the first insertion unless Reserve came first.
    explicit ZULHashDico(int sizeHint = 10, std::pmr::memory_resource* memory = std::pmr::new_delete_resource());

    // A key already present keeps its first value; the result says so. The
    // dictionary keeps a copy of the key in its own memory.
    InsertResult Insert(const ZULUnicodeString& key, void* value);
    // The same, taking the key's characters over when they are in the
    // dictionary's memory already (see Memory); a refused key is left as it was.
    InsertResult Insert(ZULUnicodeString&& key, void* value);
    // Makes room for count entries in all, when the count is known ahead.
    void Reserve(int count);
    // The value stored under key, or null when absent.
    void* Locate(const ZULUnicodeString& key) const;
    void RemoveAll();
    int Size() const { return static_cast<int>(entries_.size()); }
    // Where the dictionary keeps its entries and keys.
    std::pmr::memory_resource* Memory() const { return entries_.get_allocator().resource(); }

    // The value of the entry the iterator stands on.
    void* operator[](const ZULHashCodeIter& iter) const;

private:
    friend class ZULHashCodeIter;
    struct Entry {
        Entry(const ZULUnicodeString& k, std::pmr::memory_resource* memory, void* v) : key(k, memory), value(v) {}
        Entry(ZULUnicodeString&& k, std::pmr::memory_resource* memory, void* v) : key(std::move(k), memory), value(v) {}
        ZULUnicodeString key;  // its characters in the dictionary's memory
        void* value;
    };
    static constexpr std::size_t kLinearLimit = 8;

    std::int64_t Find(const ZULUnicodeString& key) const;  // position or -1
    void Rebuild(std::size_t slots);
    void MakeRoom();                            // before appending an entry
    void Indexed(const ZULUnicodeString& key);  // indexes the entry just appended

    std::pmr::vector<Entry> entries_;        // insertion order
    std::pmr::vector<std::uint32_t> index_;  // slot -> position + 1, 0 = free; empty while small
    std::size_t sizeHint_;                   // room made at the first insertion
};

// Walks a dictionary in insertion order:
//   ZULHashCodeIter it(dico);
//   while (it++) { use(it.ItemName(), dico[it]); }
class ZULHashCodeIter {
public:
    explicit ZULHashCodeIter(const ZULHashDico& dico) : dico_(&dico) {}

    // Moves to the next entry; non-null while one remains.
    const void* operator++(int);
    const ZULUnicodeString& ItemName() const;

private:
    friend class ZULHashDico;
    const ZULHashDico* dico_;
    std::size_t next_ = 0;  // position after the current entry
};
