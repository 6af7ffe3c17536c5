// Controllers bound to knobs travel with the patch: written on the module's line, read back,
// known to the checker; a field that binds nothing is refused with a word.
#include <string>

#include "engine/midi_bindings.h"
#include "patch/patch_check.h"
#include "patch/save_patch.h"
#include "patch_files.h"

namespace {

class MidiBindings : public PatchTest {
  protected:
    std::string findings(const std::string& text) {
        std::string all;
        for (const CHECK_FINDING& f : check_patch_text(text, "", "p.KVX")) all += f.text + "\n";
        return all;
    }
};

const char* const HEAD = "BEGIN_OBJECTS_DECLARE\nMIXER_4;;\n";
const char* const TAIL = "END_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\nEND_LINKS_DECLARE\n";

} // namespace

// Each kind of field on one filter line: what the reader binds, what it says, what the checker says.
TEST_F(MidiBindings, FieldsBindOrAreRefusedAndTheCheckerAgrees) {
    struct CASE {
        const char* field;
        int controller; // bound to HICUT, -1 for none
        const char* reader_says;
        const char* checker_says;
    } cases[] = {
        {"midi_cc_hicut=74", 74, "", ""},
        {"midi_cc_hicut=0", 0, "", ""},
        {"midi_cc_hicut=128", -1, "refuse, hors de 0 a 127", "a controller 0 to 127"},
        {"midi_cc_hicut=x", -1, "refuse, hors de 0 a 127", "a controller 0 to 127"},
        {"midi_cc_freq=7", -1, "cle inconnue", "binds no parameter"},
        {"midi_cc_q=9", -1, "", ""}, // binds Q, and the filter's key "Q" does not match inside it
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.field);
        graph_ = std::make_unique<GENERATOR>();
        const std::string text = std::string(HEAD) + "PCF_1;HICUT=500;BYPASS=0;" + c.field + ";\n" + TAIL;
        const std::string out = load_printing(text);
        ASSERT_EQ(1u, g().filters.size());
        EXPECT_EQ(500, g().filters[0]->HICUT); // no upper-case key matched inside the field
        EXPECT_EQ(PCF().Q, g().filters[0]->Q);
        EXPECT_EQ(c.controller, bound_controller(g(), module_ref(g().filters[0]), PARAM_KEY{P_PCF_HICUT}));
        if (*c.reader_says)
            EXPECT_NE(std::string::npos, out.find(c.reader_says)) << out;
        else
            EXPECT_EQ("", out);
        const std::string found = findings(text);
        if (*c.checker_says)
            EXPECT_NE(std::string::npos, found.find(c.checker_says)) << found;
        else
            EXPECT_EQ("", found);
    }
}

// Bindings of several kinds, a mixer slot and a sequencer cell among them, save clean and
// reload bound to the same parameters; a controller moves its parameters within their ranges.
TEST_F(MidiBindings, SavedWithThePatchAndReloaded) {
    load_printing("BEGIN_OBJECTS_DECLARE\nVCO_1;TYPE=1;midi_cc_freq=74;midi_cc_amount=7;midi_cc_amount=8;\n"
                  "MIXER_4;midi_cc_level_02=7;\nSEQUENCER_1;midi_cc_volume_003_004=1;\n" + std::string(TAIL));
    const std::string path = dir_.file("bound.KVX");
    ASSERT_TRUE(save_patch_to(&g(), path.c_str()));
    const std::string text = read_text(path);
    for (const char* line : {"midi_cc_freq=74;midi_cc_amount=8;", "MIXER_4;midi_cc_level_02=7;", "midi_cc_volume_003_004=1;"})
        EXPECT_NE(std::string::npos, text.find(line)) << text;
    EXPECT_EQ("", findings(text)) << text;

    graph_ = std::make_unique<GENERATOR>();
    EXPECT_EQ("", load_printing(text));
    ASSERT_EQ(4u, g().midi_bindings.size()); // a knob follows one controller: 8 replaced 7
    EXPECT_EQ(74, bound_controller(g(), module_ref(g().vcos[0]), PARAM_KEY{P_VCO_FREQ}));
    EXPECT_EQ(1, bound_controller(g(), module_ref(g().sequencers[0]), PARAM_KEY{P_SEQ_VOLUME, 3, 4}));
    EXPECT_EQ(1, move_controller(g(), 7, 127, [](const MODULE_REF&, const PARAM_KEY&) {}));
    EXPECT_FLOAT_EQ(10.0f, g().mixers[0]->level[2]);
    EXPECT_TRUE(unbind_controller(g(), module_ref(g().mixers[0]), PARAM_KEY{P_MIX_LEVEL, 0, 2}));
    EXPECT_EQ(0, move_controller(g(), 7, 0, [](const MODULE_REF&, const PARAM_KEY&) {}));
}
