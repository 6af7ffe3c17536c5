// Atomic patch saving and the clean-up of temporaries that killed saves left behind.
#include "save_patch.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "patch_writer.h"

int (*save_sync_hook)(int fd) = fsync;

namespace {

constexpr char SAVE_TEMPORARY_PREFIX[] = ".tessaro-save.";
constexpr char RENDER_TEMPORARY_MARK[] = ".partial-";
constexpr size_t RENDER_TEMPORARY_SUFFIX = 6; // the XXXXXX of mkstemp

void report_failure(const char* path, int error) {
    std::printf("Impossible de sauver [%s] : %s\n", path != nullptr ? path : "", std::strerror(error));
    std::fflush(stdout);
}

std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The file a path names: a symbolic link is replaced by what it points to.
std::string resolved_target(const char* path) {
    struct stat st;
    if (lstat(path, &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = realpath(path, nullptr)) {
            std::string target = real;
            std::free(real);
            return target;
        }
    }
    return path;
}

// Creates a new file beside the target, named so that no other save (of this process or
// another) can pick the same one. Returns its descriptor, or -1 with errno set.
int create_temporary(const std::string& folder, std::string& name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[64];
        std::snprintf(suffix, sizeof suffix, "/%s%ld.%u", SAVE_TEMPORARY_PREFIX, static_cast<long>(getpid()),
                      counter++);
        name = folder + suffix;
        int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

// Makes the rename itself durable; a folder that cannot be synced changes nothing.
void sync_folder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

} // namespace

bool save_patch_to(const GENERATOR* g, const char* path) {
    if (g == nullptr) {
        report_failure(path, EINVAL);
        return false;
    }
    return save_file_to(path, [g](FILE* f) { return write_patch(f, *g); });
}

bool save_file_to(const char* path, const std::function<bool(FILE*)>& write) {
    if (path == nullptr || path[0] == '\0') {
        report_failure(path, EINVAL);
        return false;
    }
    const std::string target = resolved_target(path);
    struct stat st;
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        report_failure(path, EISDIR);
        return false;
    }
    const std::string folder = folder_of(target);
    remove_stale_temporaries(target.c_str());
    std::string temporary;
    int fd = create_temporary(folder, temporary);
    if (fd < 0) {
        report_failure(path, errno);
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    if (exists) fchmod(fd, st.st_mode & 07777);
    FILE* f = fdopen(fd, "w");
    if (f == nullptr) {
        int error = errno;
        close(fd);
        unlink(temporary.c_str());
        report_failure(path, error);
        return false;
    }
    errno = 0;
    bool ok = write(f) && std::fflush(f) == 0 && save_sync_hook(fd) == 0;
    int error = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temporary.c_str());
        report_failure(path, error != 0 ? error : EIO);
        return false;
    }
    sync_folder(folder);
    return true;
}

mode_t replacement_mode(const char* path) {
    struct stat st;
    if (path != nullptr && stat(path, &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    // The umask can only be read by setting it; /proc tells it without touching it, which
    // matters while other threads may create files.
    mode_t mask = 022;
    bool known = false;
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        unsigned value = 0;
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "Umask: %o", &value) == 1) {
                mask = static_cast<mode_t>(value);
                known = true;
                break;
            }
        std::fclose(f);
    }
    if (!known) {
        mask = umask(022);
        umask(mask);
    }
    return 0666 & ~mask;
}

bool is_temporary_name(const char* name) {
    if (name == nullptr) return false;
    if (std::strncmp(name, SAVE_TEMPORARY_PREFIX, sizeof SAVE_TEMPORARY_PREFIX - 1) == 0) return true;
    const char* mark = std::strstr(name, RENDER_TEMPORARY_MARK);
    if (mark == nullptr || mark == name) return false;
    // The last mark: a render of "a.partial-b.wav" leaves "a.partial-b.wav.partial-XXXXXX".
    for (const char* next; (next = std::strstr(mark + 1, RENDER_TEMPORARY_MARK)) != nullptr;)
        mark = next;
    return std::strlen(mark) == sizeof RENDER_TEMPORARY_MARK - 1 + RENDER_TEMPORARY_SUFFIX;
}

int remove_stale_temporaries(const char* path, int max_age_seconds) {
    const std::string folder = folder_of(path != nullptr ? path : "");
    DIR* d = opendir(folder.c_str());
    if (d == nullptr) return 0;
    const time_t now = std::time(nullptr);
    int removed = 0;
    while (dirent* e = readdir(d)) {
        if (!is_temporary_name(e->d_name)) continue;
        const std::string entry = folder + "/" + e->d_name;
        struct stat st;
        if (lstat(entry.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        if (now - st.st_mtime <= max_age_seconds) continue;
        if (unlink(entry.c_str()) == 0) ++removed;
    }
    closedir(d);
    return removed;
}
