// Patch cables without a window: the cables built from the example patches with their jack
// centres, and every drop rule on a small graph, checked on the modules' ports.
#include "app/cables.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/patch_load.h"
#include "engine/generator.h"
#include "engine/verbose.h"
#include "panels/build_panels.h"
#include "panels/module_panel.h"
#include "toolkit/sprite_registry.h"

namespace {

SPRITE_REGISTRY* shared_registry = nullptr;

// The panels of a graph, back side shown, freed with the fixture.
struct PANELS {
    std::vector<OBJET*> list, sequencers;
    explicit PANELS(GENERATOR& g) {
        build_panels(g, list, sequencers);
        for (OBJET* p : list)
            p->set_mode(MODE_BACK);
    }
    ~PANELS() {
        for (OBJET* p : list)
            delete p;
    }
    OBJET* of(const char* module) const {
        for (OBJET* p : list)
            if (!std::strcmp(static_cast<MODULE_PANEL*>(p)->module_name(), module)) return p;
        return nullptr;
    }
};

class Cables : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (!shared_registry) {
            shared_registry = new SPRITE_REGISTRY();
            shared_registry->create_registry("grfx/opengl.zim");
        }
    }
    // The cable list says what it builds only with --verbose, and the tests read that.
    void SetUp() override {
        previous = sprite_registry;
        sprite_registry = shared_registry;
        set_verbose(true);
    }
    void TearDown() override {
        set_verbose(false);
        sprite_registry = previous;
    }

    SPRITE_REGISTRY* previous = nullptr;
};

// Layout position of every item of a layout file, by name.
std::map<std::string, std::pair<int, int>> layout_positions(const char* path) {
    std::map<std::string, std::pair<int, int>> out;
    std::ifstream f(path);
    std::string line;
    while (std::getline(f, line)) {
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, '\t'))
            fields.push_back(field);
        if (fields.size() > 5) out[fields[1]] = {std::stoi(fields[4]), std::stoi(fields[5])};
    }
    return out;
}

// What a cable joins, with both ends, as one comparable line.
std::string describe(const std::string& consumer, const std::string& in_jack, const std::string& producer,
                     const std::string& out_jack, int x1, int y1, int x2, int y2) {
    std::ostringstream s;
    s << consumer << "." << in_jack << " (" << x1 << "," << y1 << ") <- " << producer << "." << out_jack
      << " (" << x2 << "," << y2 << ")";
    return s.str();
}

// A module found by the address of one of its outputs, with its kind and name.
struct SOURCE {
    MODULE_KIND kind = KIND_COUNT;
    std::string name;
};

template <class M>
void source_scan(const std::vector<M*>& list, MODULE_KIND kind, const void* address, int signal,
                 SOURCE& out) {
    for (M* m : list) {
        const void* a = signal == 0 ? static_cast<const void*>(&m->value) : nullptr;
        if constexpr (std::is_base_of<OUTPUT_GATE, M>::value) {
            if (signal == 1) a = &m->gate;
            if (signal == 2) a = &m->sync_pulse;
        }
        if (a == address && out.kind == KIND_COUNT) out = {kind, m->name};
    }
}

SOURCE source_of(const GENERATOR& g, const void* address, int signal) {
    SOURCE s;
    source_scan(g.keyboards, KIND_KEYBOARD, address, signal, s);
    source_scan(g.sequencers, KIND_SEQUENCER, address, signal, s);
    source_scan(g.vcos, KIND_VCO, address, signal, s);
    source_scan(g.samplers, KIND_SAMPLER, address, signal, s);
    source_scan(g.vcas, KIND_VCA, address, signal, s);
    source_scan(g.filters, KIND_PCF, address, signal, s);
    source_scan(g.mixers, KIND_MIXER, address, signal, s);
    return s;
}

// The cables a graph should show: one per connected input of an oscillator, envelope, filter or
// mixer whose source has a back side, ends at the jack centres of the placed panels.
std::vector<std::string> expected_cables(const GENERATOR& g, const PANELS& panels) {
    const int jack_w = sprite_registry->get_image("JACK")->w, jack_h = sprite_registry->get_image("JACK")->h;
    std::vector<std::string> out;
    auto add = [&](MODULE_KIND kind, const char* name, const char* jack, const void* address, int signal) {
        if (!address) return;
        const SOURCE s = source_of(g, address, signal);
        if (s.kind == KIND_COUNT || !kind_info(s.kind).back_layout) return;
        const char* out_jack = signal == 1 ? "OUTPUT_GATE" : signal == 2 ? "OUTPUT_SYNC" : "OUTPUT";
        const auto in_pos = layout_positions(kind_info(kind).back_layout)[jack];
        const auto out_pos = layout_positions(kind_info(s.kind).back_layout)[out_jack];
        const OBJET* c = panels.of(name);
        const OBJET* p = panels.of(s.name.c_str());
        out.push_back(describe(name, jack, s.name, out_jack,
                               static_cast<int>(c->x) + in_pos.first + jack_w / 2,
                               static_cast<int>(c->y) + in_pos.second + jack_h / 2,
                               static_cast<int>(p->x) + out_pos.first + jack_w / 2,
                               static_cast<int>(p->y) + out_pos.second + jack_h / 2));
    };
    auto cell = [](MOD_SLOT slot) -> const void* { return slot ? *slot : nullptr; };
    for (const VCO* m : g.vcos) {
        add(KIND_VCO, m->name, "INPUT", m->input, 0);
        add(KIND_VCO, m->name, "INPUT_MOD_AMP", cell(m->mod_amp), 0);
        add(KIND_VCO, m->name, "INPUT_MOD_FREQ", cell(m->mod_freq), 0);
        add(KIND_VCO, m->name, "INPUT_MOD_PHASE", cell(m->mod_phase), 0);
        add(KIND_VCO, m->name, "INPUT_MOD_PWM", cell(m->mod_pwm), 0);
        add(KIND_VCO, m->name, "INPUT_SYNC", m->sync_in, 2);
        add(KIND_VCO, m->name, "INPUT_GATE", m->gate_in, 1);
    }
    for (const VCA* m : g.vcas) {
        add(KIND_VCA, m->name, "INPUT", m->input, 0);
        add(KIND_VCA, m->name, "INPUT_GATE", m->gate_in, 1);
    }
    for (const PCF* m : g.filters) {
        add(KIND_PCF, m->name, "INPUT", m->input, 0);
        add(KIND_PCF, m->name, "INPUT_MOD_AMP", cell(m->mod_amp), 0);
        add(KIND_PCF, m->name, "INPUT_MOD_FREQ", cell(m->mod_freq), 0);
        add(KIND_PCF, m->name, "INPUT_MOD_PHASE", cell(m->mod_phase), 0);
        add(KIND_PCF, m->name, "INPUT_SYNC", m->sync_in, 2);
        add(KIND_PCF, m->name, "INPUT_GATE", m->gate_in, 1);
    }
    for (const MIXER* m : g.mixers)
        for (int i = 0; i < m->input_count; ++i)
            add(KIND_MIXER, m->name, ("INPUT_" + std::to_string(i + 1)).c_str(), m->inputs[i].input, 0);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::string> built_cables(const CABLE_LIST& list) {
    std::vector<std::string> out;
    for (const auto& c : list) {
        out.push_back(describe(static_cast<MODULE_PANEL*>(c->consumer_panel)->module_name(),
                               skip_prefix(c->consumer_jack->name),
                               static_cast<MODULE_PANEL*>(c->producer_panel)->module_name(),
                               skip_prefix(c->producer_jack->name), c->x1, c->y1, c->x2, c->y2));
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST_F(Cables, ExamplePatchesGiveOneCablePerConnectionBetweenJackCentres) {
    for (const char* patch :
         {"KVX/BASSLINE.KVX", "KVX/DRUMS.KVX", "KVX/LEAD.KVX", "KVX/MODULATION.KVX", "KVX/PAD.KVX"}) {
        SCOPED_TRACE(patch);
        testing::internal::CaptureStdout();
        LOADED_PATCH loaded = load_patch_file(patch);
        ASSERT_TRUE(loaded.graph);
        {
            PANELS panels(*loaded.graph);
            CABLE_LIST list;
            build_cables(panels.list, list);
            const std::string out = testing::internal::GetCapturedStdout();
            const auto want = expected_cables(*loaded.graph, panels);
            EXPECT_EQ(built_cables(list), want);
            EXPECT_FALSE(want.empty());
            EXPECT_NE(out.find("Begin Link Creation\n"), std::string::npos);
            EXPECT_EQ(out.rfind("End Link Creation\n"), out.size() - std::strlen("End Link Creation\n"));
            // Each record is the cable's own: plugs on both ends, the kind colour by its jack.
            for (const auto& c : list) {
                EXPECT_STREQ(c->plug_in.image, "FICHE_PLUG");
                EXPECT_STREQ(c->plug_out.mask, "FICHE_PLUG_MASK");
                const char* jack = skip_prefix(c->producer_jack->name);
                EXPECT_EQ(c->colour, !std::strcmp(jack, "OUTPUT_GATE")   ? CABLE_GATE
                                     : !std::strcmp(jack, "OUTPUT_SYNC") ? CABLE_SYNC
                                                                         : CABLE_AUDIO);
            }
            // Rebuilding replaces the records rather than adding to them.
            testing::internal::CaptureStdout();
            build_cables(panels.list, list);
            testing::internal::GetCapturedStdout();
            EXPECT_EQ(built_cables(list), want);
        }
        delete loaded.graph;
    }
}

TEST_F(Cables, MovedPanelMovesItsCableEnds) {
    testing::internal::CaptureStdout();
    LOADED_PATCH loaded = load_patch_file("KVX/LEAD.KVX");
    ASSERT_TRUE(loaded.graph);
    {
        PANELS panels(*loaded.graph);
        CABLE_LIST before, after;
        build_cables(panels.list, before);
        ASSERT_FALSE(before.empty());
        OBJET* moved = before[0]->consumer_panel;
        moved->x += 300;
        moved->y += 120;
        build_cables(panels.list, after);
        testing::internal::GetCapturedStdout();
        ASSERT_EQ(before.size(), after.size());
        for (size_t i = 0; i < before.size(); ++i) {
            const int dx = after[i]->consumer_panel == moved ? 300 : 0, dy = dx ? 120 : 0;
            EXPECT_EQ(after[i]->x1, before[i]->x1 + dx);
            EXPECT_EQ(after[i]->y1, before[i]->y1 + dy);
            const int px = after[i]->producer_panel == moved ? 300 : 0, py = px ? 120 : 0;
            EXPECT_EQ(after[i]->x2, before[i]->x2 + px);
            EXPECT_EQ(after[i]->y2, before[i]->y2 + py);
        }
    }
    delete loaded.graph;
}

// A keyboard, a sequencer, a sampler, two oscillators, an envelope, a filter and a mixer:
//   A.input <- K, A.sync <- K, A.gate <- K, B.mod_freq <- K, E.input <- A, E.gate <- K,
//   F.input <- E, M ch1 <- F, M ch2 <- B, B.input <- S.
class Drops : public Cables {
  protected:
    GENERATOR g;
    KEYBOARD* k = add(g.keyboards, new KEYBOARD(), "KEY_1");
    SEQUENCER* s = add(g.sequencers, new SEQUENCER(), "SEQUENCER_1");
    SAMPLER* p = add(g.samplers, new SAMPLER(), "SAMPLER_1");
    VCO* a = add(g.vcos, new VCO(), "VCO_A");
    VCO* b = add(g.vcos, new VCO(), "VCO_B");
    VCA* e = add(g.vcas, new VCA(), "VCA_1");
    PCF* f = add(g.filters, new PCF(), "PCF_1");
    MIXER* m = add(g.mixers, new MIXER(), "MIXER_4");
    std::unique_ptr<PANELS> panels;
    CABLE_LIST list;
    std::string out;

    template <class M> static M* add(std::vector<M*>& l, M* mod, const char* name) {
        std::strcpy(mod->name, name);
        GENERATOR::push_front(l, mod);
        return mod;
    }

    void SetUp() override {
        Cables::SetUp();
        a->input = &k->value;
        a->sync_in = &k->sync_pulse;
        a->gate_in = &k->gate;
        b->mod_freq = g.new_mod_cell(&k->value);
        b->input = &s->value;
        e->input = &a->value;
        e->gate_in = &k->gate;
        f->input = &e->value;
        m->add_channel(&f->value);
        m->add_channel(&b->value);
        testing::internal::CaptureStdout();
        panels = std::make_unique<PANELS>(g);
        testing::internal::GetCapturedStdout();
        rebuild();
    }
    void TearDown() override {
        list.clear();
        panels.reset();
        Cables::TearDown();
    }

    void rebuild() {
        testing::internal::CaptureStdout();
        build_cables(panels->list, list);
        testing::internal::GetCapturedStdout();
    }
    SPRITE* jack(const char* module, const char* name) {
        SPRITE* j = find(*panels->of(module), name);
        EXPECT_TRUE(j) << module << "." << name;
        return j;
    }
    // The cable plugged into a consumer's jack.
    CABLE& cable(const char* module, const char* name) {
        SPRITE* j = jack(module, name);
        for (auto& c : list)
            if (c->consumer_jack == j) return *c;
        ADD_FAILURE() << "no cable into " << module << "." << name;
        return *list.front();
    }
    DROP_RESULT drop(CABLE& c, int end, const char* module, const char* name, bool keep = false) {
        OBJET* panel = module ? panels->of(module) : nullptr;
        SPRITE* target = module ? jack(module, name) : nullptr;
        testing::internal::CaptureStdout();
        const DROP_RESULT r = drop_plug(g, c, end, panel, target, keep);
        out = testing::internal::GetCapturedStdout();
        return r;
    }
    bool said(const char* text) const { return out.find(text) != std::string::npos; }
};

TEST_F(Drops, ProducerLookUpsFollowThePanelsRealClass) {
    const auto& l = panels->list;
    EXPECT_EQ(producer_of_value(l, &s->value), panels->of("SEQUENCER_1"));
    EXPECT_EQ(producer_of_value(l, &p->value), panels->of("SAMPLER_1"));
    EXPECT_EQ(producer_of_value(l, &m->value), panels->of("MIXER_4"));
    EXPECT_EQ(producer_of_gate(l, &s->gate), panels->of("SEQUENCER_1"));
    EXPECT_EQ(producer_of_sync(l, &k->sync_pulse), panels->of("KEY_1"));
    float stray = 0;
    int32_t stray_gate = 0;
    EXPECT_EQ(producer_of_value(l, &stray), nullptr);
    EXPECT_EQ(producer_of_gate(l, &stray_gate), nullptr);
    EXPECT_EQ(producer_of_sync(l, nullptr), nullptr);
    // A sequencer's output is drawn from its own jack.
    EXPECT_EQ(cable("VCO_B", "INPUT").producer_jack, jack("SEQUENCER_1", "OUTPUT"));
}

TEST_F(Drops, ConsumerEndToAModulationJackMovesTheLink) {
    CABLE& c = cable("VCO_A", "INPUT");
    EXPECT_EQ(drop(c, 0, "VCO_B", "INPUT_MOD_AMP"), DROP_CONNECTED);
    EXPECT_TRUE(said("Branchement OUTPUT vers INPUT\n"));
    EXPECT_EQ(a->input, nullptr);
    ASSERT_NE(b->mod_amp, nullptr);
    EXPECT_EQ(*b->mod_amp, &k->value);
    // After the rebuild the cable runs from the keyboard to B's jack, at that jack's centre.
    rebuild();
    CABLE& moved = cable("VCO_B", "INPUT_MOD_AMP");
    EXPECT_EQ(moved.producer_panel, panels->of("KEY_1"));
    SPRITE* j = jack("VCO_B", "INPUT_MOD_AMP");
    EXPECT_EQ(moved.x1, static_cast<int>(panels->of("VCO_B")->x + j->x + j->w / 2));
    EXPECT_EQ(moved.y1, static_cast<int>(panels->of("VCO_B")->y + j->y + j->h / 2));
}

TEST_F(Drops, KeepLinksLeavesTheOldConsumerConnectedForEveryKind) {
    EXPECT_EQ(drop(cable("VCO_A", "INPUT"), 0, "VCO_B", "INPUT_MOD_PHASE", true), DROP_CONNECTED);
    EXPECT_EQ(a->input, &k->value);
    EXPECT_EQ(*b->mod_phase, &k->value);
    EXPECT_EQ(drop(cable("MIXER_4", "INPUT_1"), 0, "VCA_1", "INPUT", true), DROP_CONNECTED);
    EXPECT_EQ(m->inputs[0].input, &f->value);
    EXPECT_EQ(e->input, &f->value);
    EXPECT_EQ(drop(cable("VCO_A", "INPUT_GATE"), 0, "PCF_1", "INPUT_GATE", true), DROP_CONNECTED);
    EXPECT_EQ(a->gate_in, &k->gate);
    EXPECT_EQ(f->gate_in, &k->gate);
    rebuild();
    int from_keyboard = 0;
    for (const auto& c : list)
        from_keyboard += c->producer_panel == panels->of("KEY_1");
    EXPECT_EQ(from_keyboard, 7); // 5 before, one more value and one more gate
    // Without the key, the mixer channel the cable came from is emptied.
    EXPECT_EQ(drop(cable("MIXER_4", "INPUT_2"), 0, "PCF_1", "INPUT_MOD_FREQ"), DROP_CONNECTED);
    EXPECT_EQ(m->inputs[1].input, nullptr);
    EXPECT_EQ(m->input_count, 2);
    EXPECT_EQ(*f->mod_freq, &b->value);
}

TEST_F(Drops, FilterAndEnvelopeTakeTheirInputsAndFilterSlotsByJack) {
    EXPECT_EQ(drop(cable("VCA_1", "INPUT"), 0, "PCF_1", "INPUT_MOD_AMP"), DROP_CONNECTED);
    EXPECT_EQ(e->input, nullptr);
    EXPECT_EQ(*f->mod_amp, &a->value);
    EXPECT_EQ(f->input, &e->value);
    EXPECT_EQ(drop(cable("PCF_1", "INPUT"), 0, "VCA_1", "INPUT"), DROP_CONNECTED);
    EXPECT_EQ(e->input, &e->value); // a loop through one sample of delay is allowed
    EXPECT_EQ(f->input, nullptr);
    // An audio plug on a gate jack is taken by the substring rule: the module's input.
    rebuild();
    EXPECT_EQ(drop(cable("VCO_A", "INPUT"), 0, "VCO_B", "INPUT_GATE"), DROP_CONNECTED);
    EXPECT_EQ(b->input, &k->value);
    EXPECT_EQ(b->gate_in, nullptr);
}

TEST_F(Drops, DropsThatWouldChangeNothingSayNoLinkWasMade) {
    // From the oscillator's input to its own gate jack: an audio plug there names the same input.
    EXPECT_EQ(drop(cable("VCO_A", "INPUT"), 0, "VCO_A", "INPUT_GATE"), DROP_SAME_JACK);
    EXPECT_EQ(out, "Atterri sur qlq chose [" + std::string(jack("VCO_A", "INPUT_GATE")->name) +
                       "]\nC le meme amateur !\n");
    EXPECT_EQ(a->input, &k->value);
    EXPECT_EQ(a->gate_in, &k->gate);
    // The output end put on another output of the module it comes from.
    EXPECT_EQ(drop(cable("VCO_A", "INPUT"), 1, "KEY_1", "OUTPUT_GATE"), DROP_SAME_JACK);
    EXPECT_FALSE(said("Branchement"));
    EXPECT_EQ(a->input, &k->value);
}

TEST_F(Drops, GateAndSyncConsumerEndsMoveToTheirKind) {
    EXPECT_EQ(drop(cable("VCA_1", "INPUT_GATE"), 0, "VCO_B", "INPUT_GATE"), DROP_CONNECTED);
    EXPECT_TRUE(said("Branchement OUTPUT_GATE vers INPUT_GATE\n"));
    EXPECT_EQ(b->gate_in, &k->gate);
    EXPECT_EQ(e->gate_in, nullptr);
    EXPECT_EQ(drop(cable("VCO_A", "INPUT_SYNC"), 0, "PCF_1", "INPUT_SYNC"), DROP_CONNECTED);
    EXPECT_TRUE(said("_INPUT_SYNC]\n"));
    EXPECT_EQ(f->sync_in, &k->sync_pulse);
    EXPECT_EQ(a->sync_in, nullptr);
    // A gate plug is refused anywhere but a gate jack, and the graph stays.
    rebuild();
    EXPECT_EQ(drop(cable("VCO_A", "INPUT_GATE"), 0, "VCO_B", "INPUT_SYNC"), DROP_REFUSED);
    EXPECT_TRUE(
        said("Mauvais branchment : Vous essayer de mettre une connexion INPUT_GATE dans une j'sais pas "
             "on s'en fout\n"));
    EXPECT_FALSE(said("Branchement"));
    EXPECT_EQ(a->gate_in, &k->gate);
    EXPECT_EQ(b->sync_in, nullptr);
}

TEST_F(Drops, ProducerEndRewiresThePortOfItsOwnJack) {
    // The cable into B's frequency slot: only that slot gets the new source.
    EXPECT_EQ(drop(cable("VCO_B", "INPUT_MOD_FREQ"), 1, "VCA_1", "OUTPUT"), DROP_CONNECTED);
    EXPECT_TRUE(said("Branchement INPUT vers OUTPUT\n"));
    EXPECT_EQ(*b->mod_freq, &e->value);
    EXPECT_EQ(b->input, &s->value);
    // The cable into the mixer's second channel: the second channel, not the first.
    EXPECT_EQ(drop(cable("MIXER_4", "INPUT_2"), 1, "KEY_1", "OUTPUT"), DROP_CONNECTED);
    EXPECT_EQ(m->inputs[1].input, &k->value);
    EXPECT_EQ(m->inputs[0].input, &f->value);
    EXPECT_EQ(m->input_count, 2);
    // Gate and sync producers really change, to a sequencer's own fields.
    EXPECT_EQ(drop(cable("VCA_1", "INPUT_GATE"), 1, "SEQUENCER_1", "OUTPUT_GATE"), DROP_CONNECTED);
    EXPECT_EQ(e->gate_in, &s->gate);
    EXPECT_EQ(drop(cable("VCO_A", "INPUT_SYNC"), 1, "SEQUENCER_1", "OUTPUT_SYNC"), DROP_CONNECTED);
    EXPECT_EQ(a->sync_in, &s->sync_pulse);
    // An output plug on an input is refused without a word of success.
    EXPECT_EQ(drop(cable("VCO_A", "INPUT"), 1, "VCO_B", "INPUT"), DROP_REFUSED);
    EXPECT_TRUE(said("Mauvais branchment : Vous essayer de mettre une connexion OUTPUT dans une INPUT\n"));
    EXPECT_FALSE(said("Branchement"));
    EXPECT_EQ(a->input, &k->value);
    EXPECT_EQ(drop(cable("VCO_A", "INPUT_GATE"), 1, "VCO_B", "OUTPUT"), DROP_REFUSED);
    EXPECT_FALSE(said("Branchement"));
    EXPECT_EQ(a->gate_in, &k->gate);
}

TEST_F(Drops, SequencerAndSamplerSourcesConnectWhatTheyProduce) {
    // The cable from the sequencer into B's input, moved to the envelope.
    EXPECT_EQ(drop(cable("VCO_B", "INPUT"), 0, "VCA_1", "INPUT"), DROP_CONNECTED);
    EXPECT_EQ(e->input, &s->value);
    // A cable from a sampler (its panel shows no jacks, so the record is made here).
    CABLE from_sampler(0, 0, 0, 0);
    from_sampler.consumer_panel = panels->of("VCO_A");
    from_sampler.consumer_jack = jack("VCO_A", "INPUT");
    from_sampler.producer_panel = panels->of("SAMPLER_1");
    from_sampler.producer_jack = jack("VCO_A", "OUTPUT");
    EXPECT_EQ(drop(from_sampler, 0, "PCF_1", "INPUT_MOD_PHASE"), DROP_CONNECTED);
    EXPECT_EQ(*f->mod_phase, &p->value);
    // A sequencer's gate follows a moved gate plug.
    CABLE seq_gate(0, 0, 0, 0);
    seq_gate.consumer_panel = panels->of("VCA_1");
    seq_gate.consumer_jack = jack("VCA_1", "INPUT_GATE");
    seq_gate.producer_panel = panels->of("SEQUENCER_1");
    seq_gate.producer_jack = jack("SEQUENCER_1", "OUTPUT_GATE");
    EXPECT_EQ(drop(seq_gate, 0, "VCO_B", "INPUT_GATE"), DROP_CONNECTED);
    EXPECT_EQ(b->gate_in, &s->gate);
}

TEST_F(Drops, MixerTakesAtMost24Channels) {
    while (m->input_count < MIXER_SLOTS)
        m->add_channel(&a->value);
    const std::string name = m->name;
    EXPECT_EQ(drop(cable("VCO_A", "INPUT"), 0, "MIXER_4", "INPUT_5"), DROP_REFUSED);
    EXPECT_TRUE(said("24"));
    EXPECT_FALSE(said("Branchement"));
    EXPECT_EQ(m->input_count, MIXER_SLOTS);
    EXPECT_EQ(m->name, name);
    EXPECT_EQ(a->input, &k->value); // the refused drop undid nothing
    // One channel short of full, the drop appends it.
    m->input_count = MIXER_SLOTS - 1;
    EXPECT_EQ(drop(cable("VCO_A", "INPUT"), 0, "MIXER_4", "INPUT_1"), DROP_CONNECTED);
    EXPECT_EQ(m->input_count, MIXER_SLOTS);
    EXPECT_EQ(m->inputs[MIXER_SLOTS - 1].input, &k->value);
}

TEST_F(Drops, DropsThatChangeNothing) {
    CABLE& c = cable("VCO_A", "INPUT");
    EXPECT_EQ(drop(c, 0, nullptr, nullptr), DROP_ON_NOTHING);
    EXPECT_EQ(out, "Postionn\xE9 sur rien\n");
    EXPECT_EQ(drop(c, 0, "VCO_A", "INPUT"), DROP_SAME_JACK);
    EXPECT_TRUE(said("C le meme amateur !\n"));
    EXPECT_EQ(drop(c, 1, "KEY_1", "OUTPUT"), DROP_SAME_JACK);
    SPRITE* fond = find(*panels->of("VCO_B"), "IMAGE_FOND");
    ASSERT_TRUE(fond);
    testing::internal::CaptureStdout();
    const DROP_RESULT r = drop_plug(g, c, 0, panels->of("VCO_B"), fond, false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Postionn\xE9 sur ni OUTPUT ni INPUT\n");
    EXPECT_EQ(r, DROP_NOT_A_JACK);
    EXPECT_EQ(a->input, &k->value);
    EXPECT_EQ(drag_kind_of("3_INPUT_MOD_FREQ", 0), DRAG_AUDIO_IN);
    EXPECT_EQ(drag_kind_of("3_INPUT_SYNC", 0), DRAG_SYNC_IN);
    EXPECT_EQ(drag_kind_of("12_OUTPUT_GATE", 1), DRAG_GATE_OUT);
    EXPECT_EQ(drag_kind_of("12_OUTPUT", 1), DRAG_AUDIO_OUT);
}

} // namespace
