// An owning list of object pointers on a HeapBuffer. Appending never shrinks the storage; the
// list deletes its entries from the last to the first when it is destroyed. Growing reports
// failure instead of throwing, and leaves the list as it was.
#pragma once

#include <cstdint>
#include <cstring>
#include <new>

#include "plugin/heap_buffer.h"

template <typename T>
class PointerList {
public:
    PointerList() : buffer_(4096) {}
    ~PointerList() { DeleteAll(); }
    PointerList(const PointerList&) = delete;
    PointerList& operator=(const PointerList&) = delete;

    int Count() const { return buffer_.Size() / static_cast<int>(sizeof(T*)); }

    // Entry i, or null outside the list.
    T* Get(int i) const {
        if (i < 0 || i >= Count()) return nullptr;
        T* entry;
        std::memcpy(&entry, buffer_.Data() + i * sizeof(T*), sizeof(T*));
        return entry;
    }

    // Takes ownership of entry; false (entry not taken) when the list cannot grow.
    bool Append(T* entry) { return Insert(Count(), entry); }

    // Takes ownership of entry at position index (0..Count()), moving the later entries up;
    // false (entry not taken) when the list cannot grow.
    bool Insert(int index, T* entry) {
        const int count = Count();
        if (index < 0 || index > count) return false;
        if (!buffer_.Resize((count + 1) * static_cast<int>(sizeof(T*)), false)) return false;
        std::uint8_t* at = buffer_.Data() + index * sizeof(T*);
        std::memmove(at + sizeof(T*), at, (count - index) * sizeof(T*));
        std::memcpy(at, &entry, sizeof(T*));
        return true;
    }

    // A new default entry, appended; null, with nothing left behind, when memory is short.
    T* AppendNew() {
        T* entry = new (std::nothrow) T();
        if (entry != nullptr && !Append(entry)) {
            delete entry;
            return nullptr;
        }
        return entry;
    }

    void DeleteAll() {
        // Each entry leaves the list before it is deleted, so a destructor that walks the list
        // meets only live entries. Shrinking without releasing the storage cannot fail.
        for (int i = Count() - 1; i >= 0; --i) {
            T* entry = Get(i);
            buffer_.Resize(i * static_cast<int>(sizeof(T*)), false);
            delete entry;
        }
        buffer_.Resize(0);
    }

private:
    HeapBuffer buffer_;
};
