// The save prompt's rules: the extension a name gets and when a save asks first.
#include "app/save_prompt.h"

#include <gtest/gtest.h>

TEST(SavePrompt, ExtensionAndOverwriteQuestion) {
    for (const auto& [typed, saved] : {std::pair<const char*, const char*>{"SONG", "SONG.KVX"},
                                       {"song.kvx", "song.kvx"},
                                       {"A.B", "A.B"},
                                       {".hidden", ".hidden.KVX"}})
        EXPECT_EQ(with_patch_extension(typed), saved) << typed;

    struct CASE {
        const char* name;
        bool exists, loaded;
        const char* confirm;
        SAVE_CHOICE choice;
    };
    for (const CASE& c : {CASE{"NEW", false, false, "", SAVE_CHOICE::SAVE},
                          CASE{"OTHER", true, false, "", SAVE_CHOICE::ASK},
                          CASE{"OTHER", true, false, "KVX/OTHER.KVX", SAVE_CHOICE::SAVE},
                          CASE{"OTHER", true, false, "KVX/ELSE.KVX", SAVE_CHOICE::ASK},
                          CASE{"LOADED", true, true, "", SAVE_CHOICE::SAVE},
                          CASE{"../x", false, false, "", SAVE_CHOICE::REFUSE}}) {
        const std::string path = std::string("KVX/") + c.name + ".KVX";
        EXPECT_EQ(save_choice(c.name, path, c.exists, c.loaded, c.confirm), c.choice) << c.name << " " << c.confirm;
    }
}
