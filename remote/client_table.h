// The live remote clients: the bits each one holds, when each was last heard, which must leave.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>

// At most this many clients are served at once, far below the process's file limit; a
// newcomer beyond it takes the place of the client silent longest.
constexpr int REMOTE_CLIENTS_MAX = 64;

// The connections' shared record. Each client holds one control word (its last PORTA value);
// the published word is the OR of them all, so a client that leaves releases exactly the
// bits no other live client holds. Connection threads and the accepting thread share the
// table under its lock; the published word is a single atomic store that its reader (the
// controller, once per frame) loads without any lock.
class CLIENT_TABLE {
  public:
    explicit CLIENT_TABLE(std::atomic<int32_t>& published, int limit = REMOTE_CLIENTS_MAX);
    CLIENT_TABLE(const CLIENT_TABLE&) = delete;
    CLIENT_TABLE& operator=(const CLIENT_TABLE&) = delete;

    // A record for a client accepted at now_ms, holding nothing; -1 when none is free. When
    // limit clients are live already, the one silent longest is first told to leave (its
    // bits are released at once), so a newcomer always finds room.
    int join(int64_t now_ms);
    // The client sent bytes at now_ms.
    void heard(int client, int64_t now_ms);
    // Replaces the word the client holds; ignored once it has been told to leave.
    void hold(int client, int32_t word);
    // The client's connection has ended: its bits are released and its record freed.
    void leave(int client);
    // Tells a live client to leave and releases its bits; its thread ends the connection.
    void evict(int client);

    bool told_to_leave(int client) const;
    int32_t word(int client) const;
    int64_t last_heard(int client) const;
    // Clients joined and not told to leave.
    int live() const;
    // The live client heard least recently (the earlier joined on a tie); -1 when none.
    int longest_silent() const;

    // Records, room for the limit and the evicted clients whose threads have not ended yet.
    static constexpr int RECORDS = 2 * REMOTE_CLIENTS_MAX;

  private:
    struct RECORD {
        bool used = false;
        int32_t word = 0;
        int64_t order = 0; // joining order, for ties
        std::atomic<bool> evicted{false};
        std::atomic<int64_t> heard{0};
    };

    bool valid(int client) const { return client >= 0 && client < RECORDS; }
    int longest_silent_locked() const;
    void evict_locked(int client);
    void publish_locked();

    std::atomic<int32_t>& published;
    const int limit;
    mutable std::mutex lock;
    RECORD records[RECORDS];
    int64_t joined = 0;
};
