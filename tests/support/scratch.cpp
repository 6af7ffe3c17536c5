// Scratch folders and whole-file reads and writes for the tests.
#include "tests/support/scratch.h"

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

SCRATCH_DIR::SCRATCH_DIR(const std::string& tag) {
    std::string safe;
    for (char c : tag)
        safe += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    std::string pattern = (fs::temp_directory_path() / ("tessaro_" + safe + "_XXXXXX")).string();
    if (mkdtemp(&pattern[0])) path_ = pattern;
}

SCRATCH_DIR::~SCRATCH_DIR() {
    if (!path_.empty()) remove_tree(path_);
}

std::string SCRATCH_DIR::write(const std::string& name, const std::string& text) const {
    const std::string p = file(name);
    write_text(p, text);
    return p;
}

std::string SCRATCH_DIR::read(const std::string& name) const {
    return read_text(file(name));
}

void remove_tree(const std::string& dir) {
    // Tests take permissions away to provoke failures; give them back so the walk can enter.
    struct stat st;
    if (lstat(dir.c_str(), &st) != 0) return;
    if (S_ISDIR(st.st_mode)) {
        chmod(dir.c_str(), 0700);
        for (const std::string& name : folder_names(dir))
            remove_tree(dir + "/" + name);
        rmdir(dir.c_str());
    } else {
        unlink(dir.c_str());
    }
}

void write_text(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> folder_names(const std::string& dir) {
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (struct dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n != "." && n != "..") names.push_back(n);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int count_of(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

bool link_folders(const SCRATCH_DIR& stage, const std::string& from,
                  std::initializer_list<const char*> names) {
    for (const char* d : names)
        if (symlink((from + "/" + d).c_str(), stage.file(d).c_str()) != 0) return false;
    return true;
}

bool stage_folder(const SCRATCH_DIR& stage, const std::string& from, const std::string& name,
                  bool copy_patches) {
    if (mkdir(stage.file(name).c_str(), 0755) != 0) return false;
    for (const std::string& entry : folder_names(from + "/" + name)) {
        const std::string source = from + "/" + name + "/" + entry;
        const std::string target = stage.file(name + "/" + entry);
        const bool patch = entry.size() > 4 && entry.compare(entry.size() - 4, 4, ".KVX") == 0;
        if (copy_patches && patch)
            write_text(target, read_text(source));
        else if (symlink(source.c_str(), target.c_str()) != 0)
            return false;
    }
    return true;
}
