// The patches the chooser offers and the folder saves go to.
#include "app/patch_folders.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "platform/console.h"
#include "platform/data_dir.h"

bool is_patch_name(const std::string& name) {
    static const char extension[] = ".kvx";
    const size_t n = sizeof extension - 1;
    if (name.size() <= n || name.front() == '[') return false;
    for (size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != extension[i]) return false;
    return true;
}

std::vector<std::string> patch_names(const char* folder) {
    std::vector<std::string> names;
    for (const std::string& e : folder_entries(folder))
        if (is_patch_name(e)) names.push_back(e);
    std::reverse(names.begin(), names.end());
    return names;
}

std::vector<PATCH_CHOICE> patch_choices(const std::string& user_folder, const std::string& example_folder) {
    std::vector<PATCH_CHOICE> out;
    if (!user_folder.empty())
        for (const std::string& n : patch_names(user_folder.c_str())) out.push_back({n, user_folder + "/" + n});
    const size_t own = out.size();
    // The recovery copies kept while patches were edited come next, named with their folder.
    if (!user_folder.empty()) {
        const std::string kept = user_folder + "/recovery";
        for (const std::string& n : patch_names(kept.c_str())) out.push_back({"recovery/" + n, kept + "/" + n});
    }
    if (!example_folder.empty() && example_folder != user_folder) {
        for (const std::string& n : patch_names(example_folder.c_str())) {
            const auto taken = std::find_if(out.begin(), out.begin() + static_cast<long>(own),
                                            [&](const PATCH_CHOICE& c) { return c.name == n; });
            if (taken == out.begin() + static_cast<long>(own)) out.push_back({n, example_folder + "/" + n});
        }
    }
    return out;
}

std::vector<PATCH_CHOICE> patch_choices() {
    return patch_choices(user_patch_dir(), example_patch_dir());
}

std::string located_patch(const std::string& name, const std::string& user_folder,
                          const std::string& example_folder) {
    if (name.empty() || name.find('/') != std::string::npos || access(name.c_str(), F_OK) == 0) return name;
    for (const std::string& folder : {user_folder, example_folder}) {
        if (folder.empty()) continue;
        const std::string path = folder + "/" + name;
        if (access(path.c_str(), F_OK) == 0) return path;
    }
    return name;
}

std::string located_patch(const std::string& name) {
    return located_patch(name, user_patch_dir(), example_patch_dir());
}

std::string user_save_prefix() {
    const std::string folder = user_patch_dir();
    if (!make_folders(folder))
        std::printf("Impossible de creer le dossier [%s] : %s\n", folder.c_str(), std::strerror(errno));
    return folder + "/";
}

std::string user_file_for_writing(const std::string& relative) {
    const std::string path = user_file_path(relative);
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0) make_folders(path.substr(0, slash));
    return path;
}
