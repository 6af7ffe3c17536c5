// Atomic patch saving and the save prompt.
#include "save_patch.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "patch_writer.h"
#include "platform/console.h"

namespace {

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
        std::snprintf(suffix, sizeof suffix, "/.tessaro-save.%ld.%u", static_cast<long>(getpid()), counter++);
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
    if (g == nullptr || path == nullptr || path[0] == '\0') {
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
    bool ok = write_patch(f, *g) && std::fflush(f) == 0 && fsync(fd) == 0;
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

std::string save_path_for(const char* prefix, const char* typed) {
    std::string name = typed != nullptr ? typed : "";
    if (name.size() > static_cast<size_t>(SAVE_NAME_MAX)) name.resize(SAVE_NAME_MAX);
    return std::string(prefix != nullptr ? prefix : "") + name;
}

int save_patch(const char* prefix, const GENERATOR* g) {
    console_clear();
    const std::string folder = prefix != nullptr && prefix[0] != '\0' ? prefix : ".";
    console_list_folder(folder.c_str());
    std::printf("Save - Entrez le nom du fichier :");
    std::fflush(stdout);
    char name[SAVE_NAME_MAX + 1];
    if (console_read_word(name, sizeof name) == 0 || name[0] == '\0') {
        std::printf("\nPas de nom : rien n'est sauve\n");
        return 1;
    }
    save_patch_to(g, save_path_for(prefix, name).c_str());
    return 1;
}

int save_patch(const char* prefix) {
    return save_patch(prefix, generator);
}
