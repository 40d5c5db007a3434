// The panel's edits on their way to a CLAP host: gesture begins, values and ends, kept in the
// order they happened until the next process or flush hands them over as events. The queue is a
// fixed ring, so neither side allocates; a run of values of one parameter keeps only the latest,
// which is all the host would hear of it at the next block anyway. When the ring fills, room stays
// for the end of every gesture it holds a begin of, and a gesture that finds no room for its
// begin is left out whole, so the host never sees one that is not closed.
// Threads: filled on the main thread, emptied by process (audio) or flush; the plug-in lock
// serialises both, the queue has no lock of its own.
#pragma once

#include <cstdint>

class ClapGestureQueue {
public:
    static constexpr int kCapacity = 256;
    // Parameters whose gestures are followed; edits of others are not queued.
    static constexpr int kMaxParams = 64;

    enum class Kind : std::uint8_t { kBegin, kValue, kEnd };
    struct Entry {
        Kind kind;
        int index;
        double value;  // plain, for kValue
    };

    void Begin(int index);
    void Value(int index, double plain);
    void End(int index);

    bool Empty() const { return count_ == 0; }
    int Count() const { return count_; }

    // Hands the entries over in order, push(entry) for each, until push answers false (the host's
    // list is full): that entry and those after it stay for the next time.
    template <typename Push>
    void Drain(Push push) {
        while (count_ > 0 && push(entries_[head_])) {
            head_ = (head_ + 1) % kCapacity;
            --count_;
        }
    }

private:
    static bool Followed(int index) { return index >= 0 && index < kMaxParams; }
    Entry* Last() { return count_ > 0 ? &entries_[(head_ + count_ - 1) % kCapacity] : nullptr; }
    void Append(const Entry& entry);

    Entry entries_[kCapacity] = {};
    int head_ = 0;
    int count_ = 0;
    // Gestures begun and not yet ended, whose ends the ring keeps room for.
    bool open_[kMaxParams] = {};
    int openCount_ = 0;
    // Gestures whose begin found no room: their values and end are left out too.
    bool dropped_[kMaxParams] = {};
};
