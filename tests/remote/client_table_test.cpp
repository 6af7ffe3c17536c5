// Tests of the live-client table: the published OR of the clients' words and the eviction choice.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "remote/client_table.h"

namespace {

TEST(ClientTable, PublishedWordIsTheOrOfTheLiveClientsWords) {
    std::atomic<int32_t> word{0};
    CLIENT_TABLE t(word);
    const int a = t.join(0);
    const int b = t.join(0);
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    ASSERT_NE(a, b);
    t.hold(a, 5);
    EXPECT_EQ(word, 5);
    t.hold(b, 6);
    EXPECT_EQ(word, 7);
    // A client's word is replaced, not accumulated.
    t.hold(a, 0);
    EXPECT_EQ(word, 6);
    t.hold(a, 1 | 16);
    // Leaving releases only the bits no other client holds.
    t.leave(b);
    EXPECT_EQ(word, 17);
    EXPECT_EQ(t.word(b), 0);
    t.hold(b, 2); // a record that left holds nothing
    EXPECT_EQ(word, 17);
    t.leave(a);
    EXPECT_EQ(word, 0);
    EXPECT_EQ(t.live(), 0);
}

TEST(ClientTable, SharedBitStaysWhileAnyHolderLives) {
    std::atomic<int32_t> word{0};
    CLIENT_TABLE t(word);
    const int a = t.join(0), b = t.join(0);
    t.hold(a, 4);
    t.hold(b, 4 | 8);
    t.leave(b);
    EXPECT_EQ(word, 4);
    t.leave(a);
    EXPECT_EQ(word, 0);
}

TEST(ClientTable, FullTableEvictsTheClientSilentLongest) {
    std::atomic<int32_t> word{0};
    CLIENT_TABLE t(word, 3);
    const int a = t.join(100), b = t.join(50), c = t.join(100);
    t.hold(a, 1);
    t.hold(b, 2);
    t.hold(c, 4);
    t.heard(a, 300);
    EXPECT_EQ(t.longest_silent(), b);
    // A fourth client: b, heard last at 50, is told to leave and its bits go at once.
    const int d = t.join(400);
    ASSERT_GE(d, 0);
    EXPECT_TRUE(t.told_to_leave(b));
    EXPECT_FALSE(t.told_to_leave(a) || t.told_to_leave(c) || t.told_to_leave(d));
    EXPECT_EQ(word, 5);
    EXPECT_EQ(t.live(), 3);
    t.hold(b, 64); // too late for b
    EXPECT_EQ(word, 5);
    EXPECT_EQ(t.longest_silent(), c);
    const int e = t.join(400);
    EXPECT_TRUE(t.told_to_leave(c));
    EXPECT_EQ(word, 1);
    // b's thread ends later; its record is freed for reuse without touching the others.
    t.leave(b);
    t.leave(c);
    EXPECT_EQ(t.live(), 3);
    EXPECT_EQ(t.longest_silent(), a);
    // d and e were both heard at 400: the earlier joined goes first.
    t.heard(a, 500);
    EXPECT_EQ(t.longest_silent(), d);
    (void)e;
}

TEST(ClientTable, NewcomersAlwaysFindRoomUnderAFlood) {
    std::atomic<int32_t> word{0};
    CLIENT_TABLE t(word);
    std::vector<int> evicted_pending;
    // Many more newcomers than the limit, each evicting one; the evicted ones' threads end a
    // few joins later.
    std::vector<int> order;
    for (int i = 0; i < 1000; ++i) {
        const int id = t.join(i);
        ASSERT_GE(id, 0) << i;
        order.push_back(id);
        EXPECT_LE(t.live(), REMOTE_CLIENTS_MAX);
        for (int other : order)
            if (other != id && t.told_to_leave(other)) {
                bool known = false;
                for (int p : evicted_pending)
                    known = known || p == other;
                if (!known) evicted_pending.push_back(other);
            }
        if (evicted_pending.size() > 4) {
            t.leave(evicted_pending.front());
            evicted_pending.erase(evicted_pending.begin());
        }
    }
    EXPECT_EQ(t.live(), REMOTE_CLIENTS_MAX);
}

TEST(ClientTable, RecordsRunOutOnlyWhenEvictedThreadsNeverEnd) {
    std::atomic<int32_t> word{0};
    CLIENT_TABLE t(word, 2);
    int joined = 0;
    while (t.join(joined) >= 0 && joined < 1000)
        ++joined;
    EXPECT_EQ(joined, CLIENT_TABLE::RECORDS);
    EXPECT_EQ(t.live(), 2);
}

TEST(ClientTable, ConcurrentHoldersPublishTheOrOfTheirLastWords) {
    std::atomic<int32_t> word{0};
    CLIENT_TABLE t(word);
    std::vector<std::thread> threads;
    for (int k = 0; k < 8; ++k)
        threads.emplace_back([&t, k] {
            const int id = t.join(0);
            for (int i = 0; i < 2000; ++i)
                t.hold(id, i & 1 ? 1 << k : 0);
            t.hold(id, 1 << k);
            if (k % 2) t.leave(id);
        });
    for (std::thread& th : threads)
        th.join();
    EXPECT_EQ(word, 0x55);
}

} // namespace
