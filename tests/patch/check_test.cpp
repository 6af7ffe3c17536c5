// The checker and the writer agree: what the program saves is clean, and the shipped patches
// load without a word.
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "engine/module_kinds.h"
#include "patch/patch_check.h"
#include "patch/save_patch.h"
#include "patch_files.h"

namespace {

class SavedPatches : public PatchTest {
  protected:
    // The checker's findings on a file, one per line.
    static std::string findings(const std::string& path) {
        std::string all;
        for (const CHECK_FINDING& f : check_patch_text(read_text(path), TESSARO_SOURCE_DIR, path))
            all += std::to_string(f.word) + ": " + f.text + "\n";
        return all;
    }
    // Saves g and reloads the file into a new graph; what the readers printed goes to *out.
    std::unique_ptr<GENERATOR> save_and_reload(const GENERATOR& g, const std::string& path,
                                               std::string* out) {
        EXPECT_TRUE(save_patch_to(&g, path.c_str()));
        auto b = std::make_unique<GENERATOR>();
        ::testing::internal::CaptureStdout();
        load_objects(b.get(), path.c_str());
        load_links(b.get(), path.c_str());
        *out = ::testing::internal::GetCapturedStdout();
        return b;
    }
};

std::vector<std::string> shipped_patches() {
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::directory_iterator(std::string(TESSARO_SOURCE_DIR) + "/KVX"))
        if (e.path().extension() == ".KVX") paths.push_back(e.path().string());
    return paths;
}

// Only sample loads are reported when a patch is sound.
void expect_no_warning(const std::string& out) {
    EXPECT_EQ(std::string::npos, out.find(".KVX:")) << out;
    EXPECT_EQ(std::string::npos, out.find("refuse")) << out;
}

TEST_F(SavedPatches, ShippedPatchesLoadWithoutAWordAndSaveClean) {
    const std::vector<std::string> paths = shipped_patches();
    ASSERT_GE(paths.size(), 8u);
    std::filesystem::create_directory_symlink(std::string(TESSARO_SOURCE_DIR) + "/KVX/samples",
                                              dir_.file("samples"));
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        graph_ = std::make_unique<GENERATOR>();
        // Samplers name their files beside the patch; the saved copy has them beside it too.
        ::testing::internal::CaptureStdout();
        ASSERT_EQ(1, load_objects(graph_.get(), path.c_str()));
        load_links(graph_.get(), path.c_str());
        std::string out = ::testing::internal::GetCapturedStdout();
        expect_no_warning(out);
        const std::string saved = dir_.file("saved.KVX");
        std::unique_ptr<GENERATOR> b = save_and_reload(g(), saved, &out);
        expect_no_warning(out);
        EXPECT_EQ("", findings(saved));
        EXPECT_EQ(total_modules(g()), total_modules(*b));
    }
}

// A canonical WAVE file of a few frames.
std::string wave_file() {
    return std::string("RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0", 20) +
           std::string("\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0", 16) +
           std::string("data\x08\0\0\0", 8) + std::string("\x10\x20\x30\x40\x50\x60\x70\x7f", 8);
}

template <class M> M* add(std::vector<M*>& list, const char* name) {
    M* m = new M();
    copy_name(m->name, sizeof m->name, name);
    list.push_back(m);
    return m;
}

TEST_F(SavedPatches, EveryFieldSetSavesCleanAndReloadsSilently) {
    GENERATOR& g = this->g();
    KEYBOARD* key = add(g.keyboards, "KEY_1");
    key->octave = 5;
    key->key = 3;

    SEQUENCER* seq = add(g.sequencers, "SEQUENCER_1");
    seq->DIVIDER = 4.5f;
    seq->next_divider = 9.0f;
    seq->NBR_STEP = 16;
    seq->pattern = 2;
    seq->next_pattern = 3;
    seq->step_note[2][5] = 12; // a pair a note number alone does not give back
    seq->step_octave[2][5] = 3;
    seq->step_volume[63][63] = 0.5f;
    seq->step_length[0][1] = 4.0f;
    seq->step_bypass[1][7] = 1;
    seq->sync_in = &key->sync_pulse;

    VCO* lfo = add(g.vcos, "VCO_LFO");
    lfo->TYPE = 0; // silence, set by the controller
    VCO* osc = add(g.vcos, "VCO_1");
    osc->TYPE = 6;
    osc->FREQ = 220.25f;
    osc->AMOUNT = 0.75f;
    osc->PHASE = -12.5f;
    osc->PWM = 0.3f;
    osc->power = 0;
    osc->input = &seq->value;
    osc->gate_in = &seq->gate;
    osc->sync_in = &key->sync_pulse;

    SAMPLER* smp = add(g.samplers, "SAMPLER_1");
    const std::string wave = dir_.write("loop.wav", wave_file());
    copy_name(smp->sample_path, sizeof smp->sample_path, wave.c_str());
    copy_name(smp->FILE, sizeof smp->FILE, wave.c_str());
    smp->input = &key->value;
    smp->gate_in = &key->gate;
    smp->sync_in = &seq->sync_pulse;

    PCF* filter = add(g.filters, "PCF_1");
    filter->HICUT = 1200;
    filter->Q = 2.5f;
    filter->GAIN = 6.5f;
    filter->TYPE = 7;
    filter->AMOUNT = 0.25f;
    filter->BYPASS = 0;
    filter->power = 1;
    filter->input = &osc->value;
    filter->gate_in = &seq->gate;
    filter->sync_in = &seq->sync_pulse;

    VCA* amp = add(g.vcas, "VCA_1");
    amp->ATTACK = 12.5f;
    amp->DECAY = 300;
    amp->SUSTAIN = 0.5f;
    amp->RELEASE = 800;
    amp->INVERT = 1;
    amp->input = &filter->value;
    amp->gate_in = &key->gate;
    VCA* beep = add(g.vcas, "VCA_2");
    beep->input = &seq->value; // a sequencer heard directly
    beep->gate_in = &seq->gate;

    // Every modulation slot, from sources the historic ports take and from those they refuse.
    osc->mod_freq = g.new_mod_cell(&lfo->value);
    osc->mod_phase = g.new_mod_cell(&amp->value);
    osc->mod_amp = g.new_mod_cell(&filter->value);
    osc->mod_pwm = g.new_mod_cell(&smp->value);
    filter->mod_freq = g.new_mod_cell(&lfo->value);
    filter->mod_phase = g.new_mod_cell(&smp->value);
    filter->mod_amp = g.new_mod_cell(&beep->value);
    smp->mod_freq = g.new_mod_cell(&lfo->value);
    smp->mod_amp = g.new_mod_cell(&amp->value);

    MIXER* sub = add(g.mixers, "MIXER_SUB");
    sub->enabled = 0;
    sub->level[1] = 0.5f;
    sub->mute[2] = 1.0f;
    sub->add_channel(&amp->value);
    sub->add_channel(nullptr);
    sub->add_channel(&key->value);
    MIXER* master = add(g.mixers, "MIXER_4");
    master->add_channel(&sub->value);
    master->add_channel(&beep->value);
    master->add_channel(&smp->value);

    const std::string saved = dir_.file("every.KVX");
    std::string out;
    std::unique_ptr<GENERATOR> b = save_and_reload(g, saved, &out);
    expect_no_warning(out);
    EXPECT_EQ("", findings(saved)) << read_text(saved);
    EXPECT_EQ(0, b->vcos[0]->TYPE);
    EXPECT_EQ(3, b->mixers[0]->input_count);
}

TEST_F(SavedPatches, ValuesTheReaderRefusesAreLeftOutAndComeBackAsDefaults) {
    GENERATOR& g = this->g();
    VCO* osc = add(g.vcos, "VCO_1");
    osc->FREQ = -5.0f;
    osc->AMOUNT = std::numeric_limits<float>::quiet_NaN();
    osc->TYPE = 9;
    PCF* filter = add(g.filters, "PCF_1");
    filter->Q = 0.0f;
    filter->BYPASS = 0;
    SEQUENCER* seq = add(g.sequencers, "SEQUENCER_1");
    seq->DIVIDER = 0.0f;
    seq->next_divider = 0.0f;
    seq->step_length[0][3] = std::numeric_limits<float>::infinity();
    seq->step_octave[0][4] = -2;
    add(g.mixers, "MIXER_4");

    const std::string saved = dir_.file("odd.KVX");
    std::string out;
    std::unique_ptr<GENERATOR> b = save_and_reload(g, saved, &out);
    expect_no_warning(out);
    const VCO fresh;
    EXPECT_EQ(fresh.FREQ, b->vcos[0]->FREQ);
    EXPECT_EQ(fresh.AMOUNT, b->vcos[0]->AMOUNT);
    EXPECT_EQ(fresh.TYPE, b->vcos[0]->TYPE);
    EXPECT_EQ(1.0f, b->filters[0]->Q);
    EXPECT_EQ(2.0f, b->sequencers[0]->DIVIDER);
    EXPECT_EQ(2.0f, b->sequencers[0]->next_divider);
    EXPECT_EQ(1.0f, b->sequencers[0]->step_length[0][3]);
    EXPECT_EQ(3, b->sequencers[0]->step_octave[0][4]);
    EXPECT_EQ(10, b->sequencers[0]->step_note[0][4]);
}

} // namespace
