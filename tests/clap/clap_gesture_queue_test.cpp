// The panel's edits on their way to a CLAP host: in order, a drag's values folded into the latest,
// and every gesture the host receives closed, also when the ring is full.
#include "clap/clap_gesture_queue.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Kind = ClapGestureQueue::Kind;

struct Seen {
    Kind kind;
    int index;
    double value;
    bool operator==(const Seen& o) const {
        return kind == o.kind && index == o.index && value == o.value;
    }
};

std::vector<Seen> DrainAll(ClapGestureQueue& queue) {
    std::vector<Seen> seen;
    queue.Drain([&](const ClapGestureQueue::Entry& e) {
        seen.push_back({e.kind, e.index, e.kind == Kind::kValue ? e.value : 0});
        return true;
    });
    return seen;
}

}  // namespace

TEST(ClapGestureQueueTest, KeepsTheOrderAndFoldsARunOfValuesIntoTheLatest) {
    ClapGestureQueue queue;
    queue.Begin(1);
    queue.Value(1, 2.0);
    queue.Value(1, 3.0);
    queue.Value(4, 1.0);
    queue.Value(1, 4.0);
    queue.End(1);
    queue.End(2);  // never begun: nothing to close
    const std::vector<Seen> expected = {{Kind::kBegin, 1, 0},
                                        {Kind::kValue, 1, 3.0},
                                        {Kind::kValue, 4, 1.0},
                                        {Kind::kValue, 1, 4.0},
                                        {Kind::kEnd, 1, 0}};
    EXPECT_EQ(DrainAll(queue), expected);
    EXPECT_TRUE(queue.Empty());
}

TEST(ClapGestureQueueTest, AFullHostListKeepsTheRestForTheNextTime) {
    ClapGestureQueue queue;
    queue.Begin(0);
    queue.Value(0, 1.0);
    queue.End(0);
    int taken = 0;
    queue.Drain([&](const ClapGestureQueue::Entry&) { return ++taken <= 1; });
    EXPECT_EQ(queue.Count(), 2);
    const std::vector<Seen> rest = {{Kind::kValue, 0, 1.0}, {Kind::kEnd, 0, 0}};
    EXPECT_EQ(DrainAll(queue), rest);
}

// A host that never flushes fills the ring: a gesture begun before still ends, one begun after
// is left out whole, and a parameter's latest value still reaches the host.
TEST(ClapGestureQueueTest, AFullRingClosesEveryGestureItHolds) {
    ClapGestureQueue queue;
    queue.Begin(3);
    for (int i = 0; i < 2 * ClapGestureQueue::kCapacity; ++i) queue.Value(i % 2, i);
    queue.Begin(5);
    queue.Value(5, 1.0);
    queue.End(5);
    queue.End(3);
    const std::vector<Seen> seen = DrainAll(queue);
    ASSERT_EQ(static_cast<int>(seen.size()), ClapGestureQueue::kCapacity);
    EXPECT_EQ(seen.front(), (Seen{Kind::kBegin, 3, 0}));
    EXPECT_EQ(seen.back(), (Seen{Kind::kEnd, 3, 0}));
    for (const Seen& s : seen) EXPECT_NE(s.index, 5);
    double latest[2] = {-1, -1};
    for (const Seen& s : seen) {
        if (s.kind == Kind::kValue) latest[s.index] = s.value;
    }
    EXPECT_EQ(latest[0], 2 * ClapGestureQueue::kCapacity - 2);
    EXPECT_EQ(latest[1], 2 * ClapGestureQueue::kCapacity - 1);
    queue.Begin(5);  // the ring has room again
    EXPECT_EQ(queue.Count(), 1);
}
