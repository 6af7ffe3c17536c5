// What a user reads when a patch goes wrong: the loader's warning and --check's finding both
// name the file and the real line, and the rest of the patch still loads.
#include <algorithm>
#include <string>
#include <vector>

#include "patch/patch_check.h"
#include "patch_files.h"

namespace {

class Messages : public PatchTest {};

struct MESSAGE_CASE {
    std::string declaration; // line 4 of the patch, after a comment of several words and a blank line
    std::string warning;     // what the loader says after "PATH:4: "
    std::string finding;     // what --check says of line 4
};

TEST_F(Messages, EachProblemIsToldWithItsFileAndLine) {
    const std::string long_name = "MIXER_" + std::string(800, 'M');
    const std::vector<MESSAGE_CASE> cases = {
        {"VCO_1;FREQ=abc;", "VCO_1 : FREQ=abc refuse, pas un nombre", "'FREQ=abc' in VCO_1: bad value"},
        {"VCO_1;FREQ=2x2;", "VCO_1 : FREQ=2x2 refuse, pas un nombre", "'FREQ=2x2' in VCO_1: bad value"},
        {"PCF_1;TYPE=nan;", "PCF_1 : TYPE=nan refuse, pas un nombre", "'TYPE=nan' in PCF_1: bad value"},
        {"PCF_1;BYPASS=;", "PCF_1 : BYPASS= sans valeur, ignore", "'BYPASS=' in PCF_1 has no value"},
        {"VCO_1;FRQE=88;", "VCO_1 : FRQE=88 cle inconnue, ignoree",
         "'FRQE=88' in VCO_1: unknown or misspelt key"},
        {long_name + ";;",
         "nom de module de 806 caracteres refuse, 799 au plus : " + long_name.substr(0, 40) + "...",
         "a name of 806 characters"},
        {"SAMPLER_1;FILE=gone.wav;",
         "Error load the file : SAMPLER_1 : FILE=gone.wav introuvable (" + dir_.file("gone.wav") +
             ", gone.wav), le sampler reste muet",
         "'FILE=gone.wav' in SAMPLER_1: the sample file cannot be opened"},
    };
    for (const MESSAGE_CASE& c : cases) {
        SCOPED_TRACE(c.declaration.substr(0, 40));
        graph_ = std::make_unique<GENERATOR>();
        const std::string text = "BEGIN_OBJECTS_DECLARE\n# four words of comment\n\n" + c.declaration +
                                 "\nMIXER_4;;\nEND_OBJECTS_DECLARE\n";
        const std::string out = load_printing(text);
        EXPECT_NE(std::string::npos, out.find(at(4) + c.warning + "\n")) << out;
        ASSERT_FALSE(g().mixers.empty());
        EXPECT_STREQ("MIXER_4", g().mixers[0]->name) << "the rest of the patch loads";
        const std::vector<CHECK_FINDING> found = check_patch_text(text, dir_.path(), dir_.file("patch.KVX"));
        EXPECT_TRUE(std::any_of(found.begin(), found.end(), [&](const CHECK_FINDING& f) {
            return f.line == 4 && f.text.find(c.finding) != std::string::npos;
        }));
    }
}

} // namespace
