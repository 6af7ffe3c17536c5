// Recovery copies of a modified patch: where they go, their writing beside the frame loop, and
// the word at start-up about a copy newer than its patch.
#pragma once
#include <atomic>
#include <ctime>
#include <string>
#include <thread>

#include "engine/generator.h"

// The copy of a patch in a recovery folder: the folder, then the patch's file name.
std::string recovery_path_in(const std::string& folder, const std::string& patch_path);
// The same in "recovery/" of the user's patch folder (KVX/recovery/ in a source tree).
std::string recovery_path_for(const std::string& patch_path);

// Seconds between two copies of a modified patch: 30, or TESSARO_RECOVERY_SECONDS when set to
// a positive number (tests do not wait half a minute).
double recovery_period_seconds();

// The copy's time when it exists and changed after the patch file (or the patch is gone);
// 0 otherwise.
time_t newer_recovery_time(const std::string& copy_path, const std::string& patch_path);
// The console line about a newer copy ("" when there is none).
std::string recovery_notice(const std::string& copy_path, const std::string& patch_path);

// The patch text of a graph, as a save writes it; false when it cannot be had.
bool patch_text(const GENERATOR& g, std::string& out);

// Writes copies one at a time on a thread of its own, each like a save (temporary file, sync,
// rename), so a slow disk never holds a frame.
class RECOVERY_WRITER {
  public:
    RECOVERY_WRITER() = default;
    ~RECOVERY_WRITER();
    RECOVERY_WRITER(const RECOVERY_WRITER&) = delete;
    RECOVERY_WRITER& operator=(const RECOVERY_WRITER&) = delete;

    // Starts writing text to path, its folder created first; false while a copy is still
    // being written.
    bool start(std::string text, std::string path);
    // Writes text to path on this thread, after any copy being written. True when written.
    bool write_now(const std::string& text, const std::string& path);
    bool busy() const { return busy_.load(); }
    // Waits for the copy being written.
    void wait();

  private:
    std::thread thread_;
    std::atomic<bool> busy_{false};
};
