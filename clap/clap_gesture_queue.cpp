#include "clap/clap_gesture_queue.h"

void ClapGestureQueue::Append(const Entry& entry) {
    entries_[(head_ + count_) % kCapacity] = entry;
    ++count_;
}

void ClapGestureQueue::Begin(int index) {
    if (!Followed(index) || open_[index] || dropped_[index]) return;
    // Room for this begin, its end and the ends of the gestures already open.
    if (count_ + 2 + openCount_ > kCapacity) {
        dropped_[index] = true;
        return;
    }
    Append({Kind::kBegin, index, 0});
    open_[index] = true;
    ++openCount_;
}

void ClapGestureQueue::Value(int index, double plain) {
    if (!Followed(index) || dropped_[index]) return;
    Entry* last = Last();
    if (last != nullptr && last->kind == Kind::kValue && last->index == index) {
        last->value = plain;
        return;
    }
    if (count_ + 1 + openCount_ > kCapacity) {
        // No room: the latest value of this parameter still queued takes the new one, if it is
        // not behind a begin or end of the same parameter.
        for (int i = count_ - 1; i >= 0; --i) {
            Entry& entry = entries_[(head_ + i) % kCapacity];
            if (entry.index != index) continue;
            if (entry.kind == Kind::kValue) entry.value = plain;
            return;
        }
        return;
    }
    Append({Kind::kValue, index, plain});
}

void ClapGestureQueue::End(int index) {
    if (!Followed(index)) return;
    if (dropped_[index]) {
        dropped_[index] = false;
        return;
    }
    if (!open_[index]) return;
    Append({Kind::kEnd, index, 0});
    open_[index] = false;
    --openCount_;
}
