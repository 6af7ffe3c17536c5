// Looking a sampler's file up beside its patch, then in the current folder.
#include "sample_path.h"

#include <unistd.h>

std::vector<std::string> sample_candidates(const std::string& patch_path, const std::string& file) {
    const size_t slash = patch_path.rfind('/');
    if (file.empty() || file[0] == '/' || slash == std::string::npos) return {file};
    return {patch_path.substr(0, slash + 1) + file, file};
}

std::string sample_path_for(const std::string& patch_path, const std::string& file) {
    for (const std::string& path : sample_candidates(patch_path, file))
        if (access(path.c_str(), F_OK) == 0) return path;
    return file;
}
