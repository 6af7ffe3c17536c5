// Where tessaro's read-only data is found and where the files a user saves go.
#include "platform/data_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#ifndef TESSARO_INSTALLED_DATA_DIR
#define TESSARO_INSTALLED_DATA_DIR ""
#endif

namespace {

bool is_file(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool is_folder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string parent_of(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string own_executable() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return "";
    return std::string(buf, static_cast<size_t>(n));
}

struct DATA_DIR_STATE {
    std::vector<std::string> tried;
    std::string found;
    DATA_DIR_STATE() : tried(data_dir_candidates(own_executable(), TESSARO_INSTALLED_DATA_DIR)) {
        found = first_data_dir(tried);
    }
};

const DATA_DIR_STATE& state() {
    static const DATA_DIR_STATE s;
    return s;
}

} // namespace

std::vector<std::string> data_dir_candidates(const std::string& exe_path, const std::string& installed_dir) {
    std::vector<std::string> out{"."};
    // An executable in PREFIX/bin finds its data in PREFIX/share/tessaro, wherever PREFIX is.
    if (!exe_path.empty() && exe_path[0] == '/') out.push_back(parent_of(parent_of(exe_path)) + "/share/tessaro");
    if (!installed_dir.empty() && installed_dir != out.back()) out.push_back(installed_dir);
    return out;
}

std::string first_data_dir(const std::vector<std::string>& candidates) {
    for (const std::string& dir : candidates)
        if (is_file(dir + "/" + DATA_MARKER)) return dir;
    return "";
}

std::string missing_data_line(const std::vector<std::string>& tried) {
    std::string line = "tessaro: no data folder found: ";
    line += DATA_MARKER;
    line += " is in none of ";
    for (size_t i = 0; i < tried.size(); ++i) {
        if (i > 0) line += i + 1 == tried.size() ? " and " : ", ";
        line += tried[i] == "." ? std::string("the current folder") : tried[i];
    }
    line += "; install tessaro (cmake --install) or start it from its source folder\n";
    return line;
}

const std::string& data_dir() {
    return state().found;
}

const std::vector<std::string>& data_dir_tried() {
    return state().tried;
}

std::string data_path(const std::string& relative) {
    const std::string& dir = data_dir();
    if (relative.empty() || relative[0] == '/' || dir.empty() || dir == ".") return relative;
    return dir + "/" + relative;
}

std::string user_data_dir(const char* xdg_data_home, const char* home) {
    if (xdg_data_home != nullptr && xdg_data_home[0] == '/') return std::string(xdg_data_home) + "/tessaro";
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share/tessaro";
    return "";
}

std::string user_patch_dir() {
    if (is_folder("KVX")) return "KVX";
    const std::string user = user_data_dir(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    return user.empty() ? "KVX" : user + "/KVX";
}

std::string example_patch_dir() {
    const std::string& dir = data_dir();
    if (dir.empty()) return "";
    const std::string examples = dir == "." ? "KVX" : dir + "/KVX";
    return examples == user_patch_dir() ? "" : examples;
}

std::string user_file_path(const std::string& relative) {
    if (relative.empty() || relative[0] == '/' || data_dir() == ".") return relative;
    const std::string user = user_data_dir(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    return user.empty() ? relative : user + "/" + relative;
}

bool make_folders(const std::string& path) {
    if (path.empty()) return false;
    if (is_folder(path)) return true;
    const std::string parent = parent_of(path);
    if (parent != path && !make_folders(parent)) return false;
    return mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && is_folder(path));
}
