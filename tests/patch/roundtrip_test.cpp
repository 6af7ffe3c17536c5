// A saved patch reloads to the same graph: random graphs of every kind, an extreme sequencer,
// and files in the historic writer's format.
#include <cinttypes>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "patch/module_order.h"
#include "patch/patch_check.h"
#include "patch/patch_keys.h"
#include "patch/patch_writer.h"
#include "patch/save_patch.h"
#include "patch_files.h"

namespace {

bool same_bits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Builds a random graph: every kind, random parameters anywhere in the ranges the reader accepts, random
// connections of every form a patch, the panels or the cable editor can make.
class RANDOM_GRAPH {
  public:
    RANDOM_GRAPH(GENERATOR& g, uint32_t seed, std::string wave) : g_(g), rng_(seed), wave_(std::move(wave)) {}

    void build() {
        make(g_.keyboards, "KEY", [&](KEYBOARD& k) {
            k.power = pick(0, 1);
            k.octave = in_range_int(keyboard_keys[KK_OCTAVE]);
            k.key = in_range_int(keyboard_keys[KK_NOTE]);
        });
        make(g_.vcos, "VCO", [&](VCO& v) {
            v.power = pick(0, 1);
            v.TYPE = in_range_int(vco_keys[OK_WAVEFORM]);
            v.FREQ = in_range(vco_keys[OK_FREQ]);
            v.AMOUNT = in_range(vco_keys[OK_AMOUNT]);
            v.PHASE = in_range(vco_keys[OK_PHASE]);
            v.PWM = in_range(vco_keys[OK_PWM]);
        });
        make(g_.samplers, "SAMPLER", [&](SAMPLER& s) {
            if (pick(0, 1)) return;
            copy_name(s.sample_path, sizeof s.sample_path, wave_.c_str());
            copy_name(s.FILE, sizeof s.FILE, wave_.c_str());
            s.sample_frames = read_wave_data(s.sample_data, wave_.c_str()) / 4;
        });
        make(g_.vcas, "VCA", [&](VCA& a) {
            a.ATTACK = in_range(vca_keys[AK_ATTACK]);
            a.DECAY = in_range(vca_keys[AK_DECAY]);
            a.SUSTAIN = in_range(vca_keys[AK_SUSTAIN]);
            a.RELEASE = in_range(vca_keys[AK_RELEASE]);
            a.INVERT = pick(0, 1);
            a.BYPASS = pick(0, 1);
        });
        make(g_.sequencers, "SEQUENCER", [&](SEQUENCER& s) { sequencer(s); });
        make(g_.filters, "PCF", [&](PCF& p) {
            p.power = pick(0, 1);
            p.TYPE = in_range_int(pcf_keys[FK_TYPE]);
            p.BYPASS = pick(0, 1);
            p.HICUT = in_range_int(pcf_keys[FK_HICUT]);
            p.GAIN = in_range(pcf_keys[FK_GAIN]);
            p.AMOUNT = in_range(pcf_keys[FK_AMOUNT]);
            p.Q = in_range(pcf_keys[FK_Q]);
        });
        make(g_.mixers, "MIXER", [&](MIXER& m) {
            m.enabled = pick(0, 1);
            for (int i = 0, n = pick(0, 6); i < n; ++i)
                m.level[pick(0, MIXER_SLOTS - 1)] = in_range(mixer_keys[MK_LEVEL]);
            for (int i = 0, n = pick(0, 4); i < n; ++i)
                m.mute[pick(0, MIXER_SLOTS - 1)] = pick(0, 3) ? 1.0f : in_range(mixer_keys[MK_MUTE]);
        });
        wire();
    }

  private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    int in_range_int(const OBJECT_KEY& key) {
        const int lo = static_cast<int>(key.min), hi = static_cast<int>(key.max);
        switch (pick(0, 2)) {
        case 0:
            return lo;
        case 1:
            return hi;
        default:
            return pick(lo, hi);
        }
    }
    // Any float the key accepts: its bounds, ordinary values, then arbitrary bit patterns that
    // fall in the range (tiny, subnormal, negative zero where 0 is allowed).
    float in_range(const OBJECT_KEY& key) {
        switch (pick(0, 3)) {
        case 0:
            return std::nextafter(static_cast<float>(key.min), std::numeric_limits<float>::infinity());
        case 1:
            return static_cast<float>(key.max);
        case 2:
            return std::uniform_real_distribution<float>(static_cast<float>(key.min),
                                                         static_cast<float>(key.max))(rng_);
        default:
            for (;;) {
                uint32_t bits = rng_();
                float f;
                std::memcpy(&f, &bits, sizeof f);
                if (value_in_range(key, f)) return f;
            }
        }
    }

    void sequencer(SEQUENCER& s) {
        s.power = pick(0, 1);
        s.DIVIDER = in_range(sequencer_keys[SK_DIVIDER]);
        s.next_divider = chance(50) ? s.DIVIDER : in_range(sequencer_keys[SK_WISHED_TEMPO]);
        s.NBR_STEP = in_range_int(sequencer_keys[SK_NBR_STEP]);
        s.pattern = in_range_int(sequencer_keys[SK_PLAYING]);
        s.next_pattern = chance(50) ? s.pattern : in_range_int(sequencer_keys[SK_WISHED_PATTERN]);
        for (int i = 0, n = pick(0, 40); i < n; ++i) {
            int r = pick(0, SEQ_ROWS - 1), c = pick(0, SEQ_COLS - 1);
            switch (pick(0, 4)) {
            case 0:
                // The panel and the controller reach notes and octaves a note number alone
                // cannot give back (note 12, note -1 of octave 3...).
                s.step_octave[r][c] = pick(0, 12);
                s.step_note[r][c] = pick(0, 12);
                break;
            case 1:
                // Any octave with a note that keeps the note number inside the table.
                s.step_octave[r][c] = in_range_int(sequencer_keys[SK_OCTAVE]);
                s.step_note[r][c] = in_range_int(sequencer_keys[SK_NOTE]) - 12 * s.step_octave[r][c];
                break;
            case 2:
                s.step_volume[r][c] = in_range(sequencer_keys[SK_VOLUME]);
                break;
            case 3:
                s.step_length[r][c] = in_range(sequencer_keys[SK_LENGHT]);
                break;
            default:
                s.step_bypass[r][c] = pick(0, 1);
                break;
            }
        }
    }

    template <class M, class SET> void make(std::vector<M*>& list, const char* kind, SET set) {
        for (int i = 0, n = pick(0, 3); i < n; ++i) {
            M* m = new M();
            std::snprintf(m->name, sizeof m->name, "%s_%d", kind, i + 1);
            set(*m);
            list.push_back(m);
        }
    }

    float* any_value() {
        std::vector<MODULE_REF> all = module_order(g_);
        return all.empty() ? nullptr : module_value(all[pick(0, static_cast<int>(all.size()) - 1)]);
    }
    // A note source's gate or sync pulse.
    int32_t* any_note_output(bool gate) {
        int n = static_cast<int>(g_.keyboards.size() + g_.sequencers.size());
        if (n == 0) return nullptr;
        int i = pick(0, n - 1);
        if (i < static_cast<int>(g_.keyboards.size()))
            return gate ? &g_.keyboards[i]->gate : &g_.keyboards[i]->sync_pulse;
        SEQUENCER* s = g_.sequencers[i - g_.keyboards.size()];
        return gate ? &s->gate : &s->sync_pulse;
    }
    MOD_SLOT any_mod() {
        float* v = chance(40) ? any_value() : nullptr;
        return v != nullptr ? g_.new_mod_cell(v) : nullptr;
    }
    template <class M> void modulated(M& m) {
        m.input = chance(50) ? any_value() : nullptr;
        m.gate_in = chance(50) ? any_note_output(true) : nullptr;
        m.sync_in = chance(50) ? any_note_output(false) : nullptr;
        m.mod_freq = any_mod();
        m.mod_phase = any_mod();
        m.mod_amp = any_mod();
    }

    void wire() {
        for (VCO* v : g_.vcos) {
            modulated(*v);
            v->mod_pwm = any_mod();
        }
        for (SAMPLER* s : g_.samplers)
            modulated(*s);
        for (PCF* p : g_.filters)
            modulated(*p);
        for (VCA* a : g_.vcas) {
            a->input = chance(60) ? any_value() : nullptr;
            a->gate_in = chance(60) ? any_note_output(true) : nullptr;
        }
        for (SEQUENCER* s : g_.sequencers)
            if (!g_.keyboards.empty() && chance(50))
                s->sync_in = &g_.keyboards[pick(0, static_cast<int>(g_.keyboards.size()) - 1)]->sync_pulse;
        for (MIXER* m : g_.mixers)
            for (int i = 0, n = pick(0, MIXER_SLOTS); i < n; ++i)
                m->add_channel(chance(20) ? nullptr : any_value());
    }

    GENERATOR& g_;
    std::mt19937 rng_;
    std::string wave_;
};

// Names an address by the module that owns it ("VCO#1"), or "none".
std::string owner(const GENERATOR& g, const void* address) {
    if (address == nullptr) return "none";
    std::vector<MODULE_REF> all = module_order(g);
    for (size_t i = 0; i < all.size(); ++i) {
        const MODULE_REF& m = all[i];
        if (module_value(m) == address) return std::string(module_name(m)) + ".value";
        if (m.kind == KIND_KEYBOARD) {
            if (&m.as<KEYBOARD>()->gate == address) return std::string(module_name(m)) + ".gate";
            if (&m.as<KEYBOARD>()->sync_pulse == address) return std::string(module_name(m)) + ".sync";
        }
        if (m.kind == KIND_SEQUENCER) {
            if (&m.as<SEQUENCER>()->gate == address) return std::string(module_name(m)) + ".gate";
            if (&m.as<SEQUENCER>()->sync_pulse == address) return std::string(module_name(m)) + ".sync";
        }
    }
    return "unknown";
}

std::string through(const GENERATOR& g, MOD_SLOT slot) {
    return slot != nullptr ? owner(g, *slot) : "none";
}

#define EXPECT_SAME_FLOAT(a, b) EXPECT_TRUE(same_bits((a), (b))) << #a << ": " << (a) << " vs " << (b)

template <class M> void expect_modulated(const GENERATOR& a, const M& x, const GENERATOR& b, const M& y) {
    EXPECT_EQ(owner(a, x.input), owner(b, y.input)) << x.name;
    EXPECT_EQ(owner(a, x.gate_in), owner(b, y.gate_in)) << x.name;
    EXPECT_EQ(owner(a, x.sync_in), owner(b, y.sync_in)) << x.name;
    EXPECT_EQ(through(a, x.mod_freq), through(b, y.mod_freq)) << x.name;
    EXPECT_EQ(through(a, x.mod_phase), through(b, y.mod_phase)) << x.name;
    EXPECT_EQ(through(a, x.mod_amp), through(b, y.mod_amp)) << x.name;
}

template <class M> void expect_same_names(const std::vector<M*>& a, const std::vector<M*>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_STREQ(a[i]->name, b[i]->name);
}

void expect_same_graph(const GENERATOR& a, const GENERATOR& b) {
    expect_same_names(a.keyboards, b.keyboards);
    expect_same_names(a.vcos, b.vcos);
    expect_same_names(a.samplers, b.samplers);
    expect_same_names(a.vcas, b.vcas);
    expect_same_names(a.sequencers, b.sequencers);
    expect_same_names(a.filters, b.filters);
    expect_same_names(a.mixers, b.mixers);
    if (::testing::Test::HasFailure()) return;

    for (size_t i = 0; i < a.keyboards.size(); ++i) {
        const KEYBOARD &x = *a.keyboards[i], &y = *b.keyboards[i];
        EXPECT_EQ(x.power, y.power);
        EXPECT_EQ(x.octave, y.octave);
        EXPECT_EQ(x.key, y.key);
    }
    for (size_t i = 0; i < a.vcos.size(); ++i) {
        const VCO &x = *a.vcos[i], &y = *b.vcos[i];
        EXPECT_EQ(x.power, y.power);
        EXPECT_EQ(x.TYPE, y.TYPE);
        EXPECT_SAME_FLOAT(x.FREQ, y.FREQ);
        EXPECT_SAME_FLOAT(x.AMOUNT, y.AMOUNT);
        EXPECT_SAME_FLOAT(x.PHASE, y.PHASE);
        EXPECT_SAME_FLOAT(x.PWM, y.PWM);
        expect_modulated(a, x, b, y);
        EXPECT_EQ(through(a, x.mod_pwm), through(b, y.mod_pwm)) << x.name;
    }
    for (size_t i = 0; i < a.samplers.size(); ++i) {
        const SAMPLER &x = *a.samplers[i], &y = *b.samplers[i];
        EXPECT_STREQ(x.sample_path, y.sample_path);
        EXPECT_STREQ(x.FILE, y.FILE);
        EXPECT_EQ(x.sample_frames, y.sample_frames);
        EXPECT_TRUE(x.sample_data == y.sample_data);
        expect_modulated(a, x, b, y);
    }
    for (size_t i = 0; i < a.vcas.size(); ++i) {
        const VCA &x = *a.vcas[i], &y = *b.vcas[i];
        EXPECT_SAME_FLOAT(x.ATTACK, y.ATTACK);
        EXPECT_SAME_FLOAT(x.DECAY, y.DECAY);
        EXPECT_SAME_FLOAT(x.SUSTAIN, y.SUSTAIN);
        EXPECT_SAME_FLOAT(x.RELEASE, y.RELEASE);
        EXPECT_EQ(x.INVERT, y.INVERT);
        EXPECT_EQ(x.BYPASS, y.BYPASS);
        EXPECT_EQ(owner(a, x.input), owner(b, y.input)) << x.name;
        EXPECT_EQ(owner(a, x.gate_in), owner(b, y.gate_in)) << x.name;
    }
    for (size_t i = 0; i < a.sequencers.size(); ++i) {
        const SEQUENCER &x = *a.sequencers[i], &y = *b.sequencers[i];
        EXPECT_EQ(x.power, y.power);
        EXPECT_SAME_FLOAT(x.DIVIDER, y.DIVIDER);
        EXPECT_SAME_FLOAT(x.next_divider, y.next_divider);
        EXPECT_EQ(x.NBR_STEP, y.NBR_STEP);
        EXPECT_EQ(x.pattern, y.pattern);
        EXPECT_EQ(x.next_pattern, y.next_pattern);
        EXPECT_EQ(owner(a, x.sync_in), owner(b, y.sync_in)) << x.name;
        EXPECT_EQ(0, std::memcmp(x.step_note, y.step_note, sizeof x.step_note));
        EXPECT_EQ(0, std::memcmp(x.step_octave, y.step_octave, sizeof x.step_octave));
        EXPECT_EQ(0, std::memcmp(x.step_bypass, y.step_bypass, sizeof x.step_bypass));
        EXPECT_EQ(0, std::memcmp(x.step_volume, y.step_volume, sizeof x.step_volume));
        EXPECT_EQ(0, std::memcmp(x.step_length, y.step_length, sizeof x.step_length));
    }
    for (size_t i = 0; i < a.filters.size(); ++i) {
        const PCF &x = *a.filters[i], &y = *b.filters[i];
        EXPECT_EQ(x.power, y.power);
        EXPECT_EQ(x.TYPE, y.TYPE);
        EXPECT_EQ(x.BYPASS, y.BYPASS);
        EXPECT_EQ(x.HICUT, y.HICUT);
        EXPECT_SAME_FLOAT(x.GAIN, y.GAIN);
        EXPECT_SAME_FLOAT(x.AMOUNT, y.AMOUNT);
        EXPECT_SAME_FLOAT(x.Q, y.Q);
        EXPECT_SAME_FLOAT(x.mix, y.mix);
        expect_modulated(a, x, b, y);
    }
    for (size_t i = 0; i < a.mixers.size(); ++i) {
        const MIXER &x = *a.mixers[i], &y = *b.mixers[i];
        EXPECT_EQ(x.enabled, y.enabled);
        EXPECT_EQ(0, std::memcmp(x.level, y.level, sizeof x.level)) << x.name;
        EXPECT_EQ(0, std::memcmp(x.mute, y.mute, sizeof x.mute)) << x.name;
        ASSERT_EQ(x.input_count, y.input_count) << x.name;
        for (int c = 0; c < x.input_count; ++c)
            EXPECT_EQ(owner(a, x.inputs[c].input), owner(b, y.inputs[c].input)) << x.name << " channel " << c;
    }
}

bool wiring_remark(const std::string& text) {
    for (const char* remark :
         {"has no GATE", "has a GATE but no IN", "stays bypassed", "no mixer named MIXER_4"})
        if (text.find(remark) != std::string::npos) return true;
    return false;
}

class RoundTrip : public PatchTest {
  protected:
    // Saves graph a, loads the file into a new graph and returns it.
    std::unique_ptr<GENERATOR> save_and_reload(const GENERATOR& a) {
        std::string path = dir_.file("saved.KVX");
        EXPECT_TRUE(save_patch_to(&a, path.c_str()));
        auto b = std::make_unique<GENERATOR>();
        ::testing::internal::CaptureStdout();
        load_objects(b.get(), path.c_str());
        load_links(b.get(), path.c_str());
        std::string out = ::testing::internal::GetCapturedStdout();
        // Only sample loads are reported: no word of a saved patch is refused.
        EXPECT_EQ(std::string::npos, out.find(path + ":")) << out;
        // Nor does the checker find a word the readers would misread; a random graph may well
        // be wired so that it cannot sound, which is no fault of the file.
        for (const CHECK_FINDING& f : check_patch_text(read_text(path), ""))
            if (!wiring_remark(f.text)) ADD_FAILURE() << "word " << f.word << ": " << f.text;
        return b;
    }
};

TEST_F(RoundTrip, RandomGraphsReloadFieldForField) {
    const std::string wave =
        dir_.write("loop.wav", std::string("RIFF\x2c\0\0\0WAVEfmt \x10\0\0\0", 20) +
                                   std::string("\x01\0\x02\0\x44\xac\0\0\x10\xb1\x02\0\x04\0\x10\0", 16) +
                                   std::string("data\x08\0\0\0", 8) +
                                   std::string("\x10\x20\x30\x40\x50\x60\x70\x7f", 8));
    for (uint32_t seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        GENERATOR a;
        RANDOM_GRAPH(a, seed, wave).build();
        std::unique_ptr<GENERATOR> b = save_and_reload(a);
        expect_same_graph(a, *b);
        if (HasFailure()) break;
    }
}

TEST_F(RoundTrip, EveryCellOfASequencerFitsInOneWord) {
    GENERATOR a;
    auto* s = new SEQUENCER;
    std::string long_name = "SEQUENCER_" + std::string(sizeof s->name - 11, 'S');
    copy_name(s->name, sizeof s->name, long_name.c_str());
    // The widest value of each cell the reader accepts: a note number of four digits with an
    // octave of its own, reals of nine digits and an exponent.
    for (int r = 0; r < SEQ_ROWS; ++r)
        for (int c = 0; c < SEQ_COLS; ++c) {
            s->step_octave[r][c] = 100;
            s->step_note[r][c] = 1999 - 1200 - r - c;
            s->step_volume[r][c] = 1.17549435e-38f;
            s->step_length[r][c] = 1.23456791e-10f;
            s->step_bypass[r][c] = 1;
        }
    a.sequencers.push_back(s);
    std::string word = sequencer_word(*s);
    EXPECT_LT(word.size(), PATCH_WORD_MAX);
    std::unique_ptr<GENERATOR> b = save_and_reload(a);
    expect_same_graph(a, *b);
}

TEST_F(RoundTrip, WordsBeyondTheLimitAreStillRefused) {
    std::string head = "SEQUENCER_1;NBR_STEP=5;X=";
    std::string fits = head + std::string(PATCH_WORD_MAX - head.size() - 1, '0') + ";";
    std::string too_long = head + std::string(PATCH_WORD_MAX - head.size(), '0') + ";";
    ASSERT_EQ(PATCH_WORD_MAX, fits.size());
    std::string out = load_printing(fits + "\n" + too_long + "\n");
    ASSERT_EQ(1u, g().sequencers.size());
    EXPECT_EQ(5, g().sequencers[0]->NBR_STEP);
    EXPECT_NE(std::string::npos, out.find(at(2))) << out;
}

// A file as the historic writer wrote it: its values, its lossy fields and its ignored links.
std::string historic_patch() {
    std::string seq = "SEQUENCER_1;*DIVIDER=4.000000;NBR_STEP=16;";
    char buf[64];
    for (int i = 0; i < 32; ++i) {
        std::snprintf(buf, sizeof buf, "NOTE_%03d_%03d=%02d;", 0, i, i == 3 ? 15 : 46);
        seq += buf;
    }
    for (int i = 0; i < 32; ++i) {
        std::snprintf(buf, sizeof buf, "VOLUME_%03d_%03d=%03.3f;", 0, i, i == 4 ? 0.5 : 1.0);
        seq += buf;
    }
    for (int i = 0; i < 32; ++i) {
        std::snprintf(buf, sizeof buf, "LENGHT_%03d_%03d=%03.3f;", 0, i, 1.0);
        seq += buf;
    }
    for (int i = 0; i < 32; ++i) {
        std::snprintf(buf, sizeof buf, "BYPASS_%03d_%03d=%01d;", 0, i, i == 5 ? 1 : 0);
        seq += buf;
    }
    return "BEGIN_OBJECTS_DECLARE\n\n"
           "VCO_2;TYPE=3;FREQ=220.500000;AMOUNT=0.50;PHASE=12;\n"
           "VCO_1;TYPE=6;FREQ=110.000000;AMOUNT=1.00;PHASE=200;\n"
           "VCA_1;BYPASS=0;ATTACK=12.000000;DECAY=300.000000;SUSTAIN=0.000000;RELEASE=1000.000000;INVERT=0;\n"
           "MIXER_4;;\n" +
           seq +
           "\n"
           "PCF_1;HICUT=800;Q=2.000000;GAIN=25.000000;TYPE=1;\n"
           "KEY_1;;\n"
           "END_OBJECTS_DECLARE\n\n"
           "BEGIN_LINKS_DECLARE\n"
           "MIXER_4;ADD_CHANELL=VCA_1;ADD_CHANELL=PCF_1;ADD_CHANELL=SEQUENCER_1;\n"
           "PCF_1;IN=VCO_2;\n"
           "VCA_1;IN=VCO_1;GATE=KEY_1;\n"
           "VCO_2;IN=VCO_1;MOD_FREQ=PCF_1;\n"
           "VCO_1;IN=KEY_1;MOD_AMP=VCO_2;GATE=KEY_1;\n"
           "\nOUTPUT_1;MIXER_4;\n"
           "END_LINKS_DECLARE\n";
}

TEST_F(RoundTrip, HistoricFilesLoadAsBefore) {
    load(historic_patch());
    ASSERT_EQ(2u, g().vcos.size());
    VCO* v1 = g().vcos[0];
    VCO* v2 = g().vcos[1];
    ASSERT_STREQ("VCO_1", v1->name);
    EXPECT_EQ(6, v1->TYPE);
    EXPECT_FLOAT_EQ(200.0f, v1->PHASE);
    EXPECT_FLOAT_EQ(0.5f, v2->AMOUNT);
    EXPECT_FLOAT_EQ(220.5f, v2->FREQ);
    PCF* f = g().filters[0];
    EXPECT_FLOAT_EQ(25.0f, f->GAIN);
    EXPECT_FLOAT_EQ(2.0f, f->AMOUNT); // GAIN / 10: AMOUNT is not in the file
    EXPECT_EQ(1, f->BYPASS);
    EXPECT_EQ(1, f->power);
    EXPECT_FLOAT_EQ(0.0f, g().vcas[0]->SUSTAIN);
    SEQUENCER* s = g().sequencers[0];
    EXPECT_FLOAT_EQ(4.0f, s->DIVIDER);
    EXPECT_EQ(1, s->step_octave[0][3]);
    EXPECT_EQ(3, s->step_note[0][3]);
    EXPECT_FLOAT_EQ(0.5f, s->step_volume[0][4]);
    EXPECT_EQ(1, s->step_bypass[0][5]);
    KEYBOARD* k = g().keyboards[0];
    EXPECT_EQ(4, k->octave);
    // The links the historic reader refused are still refused.
    MIXER* m = g().mixers[0];
    EXPECT_EQ(2, m->input_count);
    EXPECT_EQ(&g().vcas[0]->value, m->inputs[0].input);
    EXPECT_EQ(&f->value, m->inputs[1].input);
    EXPECT_EQ(nullptr, v2->input);
    EXPECT_EQ(nullptr, v2->mod_freq);
    EXPECT_EQ(&k->value, v1->input);
    EXPECT_EQ(&v2->value, *v1->mod_amp);
    EXPECT_EQ(&v2->value, f->input);

    // And such a graph saves and reloads unchanged.
    std::unique_ptr<GENERATOR> b = save_and_reload(g());
    expect_same_graph(g(), *b);
}

} // namespace
