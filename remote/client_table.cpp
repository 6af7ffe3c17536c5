// The live remote clients: the bits each one holds, when each was last heard, which must leave.
#include "remote/client_table.h"

CLIENT_TABLE::CLIENT_TABLE(std::atomic<int32_t>& published, int limit)
    : published(published), limit(limit < 1         ? 1
                                  : limit > RECORDS ? RECORDS
                                                    : limit) {}

int CLIENT_TABLE::join(int64_t now_ms) {
    std::lock_guard<std::mutex> guard(lock);
    int free_record = -1, live = 0;
    for (int i = 0; i < RECORDS; ++i) {
        const RECORD& r = records[i];
        if (!r.used && free_record < 0) free_record = i;
        live += r.used && !r.evicted.load();
    }
    // Nobody is evicted for a newcomer that cannot be taken in anyway.
    if (free_record < 0) return -1;
    if (live >= limit) evict_locked(longest_silent_locked());
    RECORD& r = records[free_record];
    r.used = true;
    r.word = 0;
    r.order = joined++;
    r.evicted.store(false);
    r.heard.store(now_ms);
    return free_record;
}

void CLIENT_TABLE::heard(int client, int64_t now_ms) {
    if (valid(client)) records[client].heard.store(now_ms, std::memory_order_relaxed);
}

void CLIENT_TABLE::hold(int client, int32_t word) {
    if (!valid(client)) return;
    std::lock_guard<std::mutex> guard(lock);
    RECORD& r = records[client];
    if (!r.used || r.evicted.load()) return;
    r.word = word;
    publish_locked();
}

void CLIENT_TABLE::leave(int client) {
    if (!valid(client)) return;
    std::lock_guard<std::mutex> guard(lock);
    RECORD& r = records[client];
    r.used = false;
    r.word = 0;
    r.evicted.store(false);
    publish_locked();
}

void CLIENT_TABLE::evict(int client) {
    std::lock_guard<std::mutex> guard(lock);
    evict_locked(client);
}

bool CLIENT_TABLE::told_to_leave(int client) const {
    return valid(client) && records[client].evicted.load();
}

int32_t CLIENT_TABLE::word(int client) const {
    if (!valid(client)) return 0;
    std::lock_guard<std::mutex> guard(lock);
    return records[client].word;
}

int64_t CLIENT_TABLE::last_heard(int client) const {
    return valid(client) ? records[client].heard.load(std::memory_order_relaxed) : 0;
}

int CLIENT_TABLE::live() const {
    std::lock_guard<std::mutex> guard(lock);
    int n = 0;
    for (const RECORD& r : records)
        n += r.used && !r.evicted.load();
    return n;
}

int CLIENT_TABLE::longest_silent() const {
    std::lock_guard<std::mutex> guard(lock);
    return longest_silent_locked();
}

int CLIENT_TABLE::longest_silent_locked() const {
    int best = -1;
    for (int i = 0; i < RECORDS; ++i) {
        const RECORD& r = records[i];
        if (!r.used || r.evicted.load()) continue;
        if (best < 0) {
            best = i;
            continue;
        }
        const RECORD& b = records[best];
        const int64_t heard = r.heard.load(), best_heard = b.heard.load();
        if (heard < best_heard || (heard == best_heard && r.order < b.order)) best = i;
    }
    return best;
}

void CLIENT_TABLE::evict_locked(int client) {
    if (!valid(client) || !records[client].used) return;
    records[client].evicted.store(true);
    records[client].word = 0;
    publish_locked();
}

void CLIENT_TABLE::publish_locked() {
    int32_t word = 0;
    for (const RECORD& r : records)
        if (r.used) word |= r.word;
    published.store(word, std::memory_order_relaxed);
}
