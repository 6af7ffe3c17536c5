// Recovery copies: their paths, the newer-copy notice, and the writer thread.
#include "app/recovery.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "app/patch_folders.h"
#include "patch/patch_writer.h"
#include "patch/save_patch.h"
#include "platform/data_dir.h"

namespace {

bool write_copy(const std::string& text, const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) make_folders(path.substr(0, slash));
    return save_file_to(path.c_str(),
                        [&text](FILE* f) { return std::fwrite(text.data(), 1, text.size(), f) == text.size(); });
}

} // namespace

std::string recovery_path_in(const std::string& folder, const std::string& patch_path) {
    const size_t slash = patch_path.find_last_of('/');
    const std::string name = slash == std::string::npos ? patch_path : patch_path.substr(slash + 1);
    return folder + "/" + (name.empty() ? std::string("PATCH.KVX") : name);
}

std::string recovery_path_for(const std::string& patch_path) {
    return recovery_path_in(user_patch_dir() + "/recovery", patch_path);
}

double recovery_period_seconds() {
    if (const char* text = std::getenv("TESSARO_RECOVERY_SECONDS")) {
        const double v = std::atof(text);
        if (v > 0) return v;
    }
    return 30.0;
}

time_t newer_recovery_time(const std::string& copy_path, const std::string& patch_path) {
    struct stat copy, patch;
    if (stat(copy_path.c_str(), &copy) != 0 || !S_ISREG(copy.st_mode)) return 0;
    if (stat(patch_path.c_str(), &patch) == 0 && copy.st_mtime <= patch.st_mtime) return 0;
    return copy.st_mtime;
}

std::string recovery_notice(const std::string& copy_path, const std::string& patch_path) {
    const time_t when = newer_recovery_time(copy_path, patch_path);
    if (when == 0) return "";
    char stamp[64];
    struct tm local;
    localtime_r(&when, &local);
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
    return "A recovery copy of [" + patch_path + "] newer than it was kept: " + copy_path + " (" + stamp +
           "); --recover plays it\n";
}

bool patch_text(const GENERATOR& g, std::string& out) {
    char* buffer = nullptr;
    size_t size = 0;
    FILE* f = open_memstream(&buffer, &size);
    if (f == nullptr) return false;
    const bool ok = write_patch(f, g);
    std::fclose(f);
    if (ok) out.assign(buffer, size);
    std::free(buffer);
    return ok;
}

RECOVERY_WRITER::~RECOVERY_WRITER() {
    wait();
}

bool RECOVERY_WRITER::start(std::string text, std::string path) {
    if (busy_.load()) return false;
    wait();
    busy_ = true;
    thread_ = std::thread([this, text = std::move(text), path = std::move(path)] {
        write_copy(text, path);
        busy_ = false;
    });
    return true;
}

bool RECOVERY_WRITER::write_now(const std::string& text, const std::string& path) {
    wait();
    return write_copy(text, path);
}

void RECOVERY_WRITER::wait() {
    if (thread_.joinable()) thread_.join();
}
