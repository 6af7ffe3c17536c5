// The save prompt: the folder listing, the typed name and its check, then the atomic save.
#include "app/save_dialog.h"

#include <cstdio>
#include <cstring>

#include "app/patch_folders.h"
#include "app/undo.h"
#include "patch/save_patch.h"
#include "platform/console.h"

bool save_name_allowed(const char* typed) {
    if (typed == nullptr || typed[0] == '\0') return false;
    if (std::strcmp(typed, ".") == 0 || std::strcmp(typed, "..") == 0) return false;
    // The backslash too: a name typed with it means a folder to whoever typed it.
    return std::strpbrk(typed, "/\\") == nullptr;
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
    if (!save_name_allowed(name)) {
        std::printf("\nNom refuse [%s] : un nom de fichier seul, sans dossier ni separateur\n", name);
        return 1;
    }
    // The marker of changes clears only when the running patch reached the disk.
    if (save_patch_to(g, save_path_for(prefix, name).c_str()) && g == generator) undo_patch_saved();
    return 1;
}

int save_patch(const char* prefix) {
    return save_patch(prefix, generator);
}

int save_user_patch() {
    return save_patch(user_save_prefix().c_str());
}
