// The objects section: markers, comments, kind groups, keys and what bad declarations do.
#include <cmath>
#include <cstdint>
#include <string>

#include "patch_files.h"

namespace {

class Objects : public PatchTest {};

// A canonical 44-byte-header WAVE file holding data_bytes bytes of samples.
std::string wave_bytes(uint32_t data_bytes) {
    std::string w(44, '\0');
    auto put32 = [&w](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            w[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
    };
    w.replace(0, 4, "RIFF");
    put32(4, 36 + data_bytes);
    w.replace(8, 8, "WAVEfmt ");
    put32(16, 16);
    put32(20, 1 | 2 << 16); // PCM, stereo
    put32(24, 44100);
    put32(28, 44100 * 4);
    put32(32, 4 | 16 << 16); // 4-byte frames of 16-bit values
    w.replace(36, 4, "data");
    put32(40, data_bytes);
    w.append(data_bytes, '\x01');
    return w;
}

TEST_F(Objects, MarkersOnlyGiveAnEmptyGraph) {
    load("BEGIN_OBJECTS_DECLARE\nEND_OBJECTS_DECLARE\n");
    EXPECT_TRUE(g().vcos.empty() && g().mixers.empty() && g().sequencers.empty() && g().keyboards.empty());
    EXPECT_STREQ(dir_.file("patch.KVX").c_str(), g().patch_path);
}

TEST_F(Objects, MissingFileIsReportedAndReturnsZero) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(0, load_objects(graph_.get(), dir_.file("absent.KVX").c_str()));
    EXPECT_EQ("Must Specify a true filename\nCannot open [" + dir_.file("absent.KVX") + "] : No such file or directory\n",
              ::testing::internal::GetCapturedStdout());
}

TEST_F(Objects, VcoKeys) {
    load("VCO_1;TYPE=3;FREQ=220.5; VCO_2;TYPE=3;FREQ=220.5 VCO_3;TYPE=9;AMOUNT=0.25; "
         "VCO_4;TYPE=42;PHASE=12.5;");
    ASSERT_EQ(4u, g().vcos.size());
    VCO* v4 = g().vcos[0];
    VCO* v3 = g().vcos[1];
    VCO* v2 = g().vcos[2];
    VCO* v1 = g().vcos[3];
    EXPECT_EQ(3, v1->TYPE);
    EXPECT_FLOAT_EQ(220.5f, v1->FREQ);
    // Text after the last ";" is ignored.
    EXPECT_EQ(3, v2->TYPE);
    EXPECT_FLOAT_EQ(110.0f, v2->FREQ);
    EXPECT_EQ(1, v3->TYPE);
    EXPECT_FLOAT_EQ(0.25f, v3->AMOUNT);
    EXPECT_EQ(4, v4->TYPE);
    EXPECT_FLOAT_EQ(12.5f, v4->PHASE);
    EXPECT_STREQ("VCO_4", v4->name);
}

TEST_F(Objects, VcoNoteIndexesTheNoteTableAndOthersAreRefused) {
    std::string out = load_printing("VCO_1;NOTE=49; VCO_2;NOTE=5000; VCO_3;NOTE=-3; VCO_4;NOTE=1999;");
    // note 49 is 49 + 11 semitones above 8.1757989 Hz: middle C.
    EXPECT_NEAR(8.1757989 * std::pow(2.0, 60 / 12.0), g().vcos[3]->FREQ, 0.01);
    EXPECT_NEAR(261.6, g().vcos[3]->FREQ, 0.1);
    EXPECT_FLOAT_EQ(static_cast<float>(note_table[1999]), g().vcos[0]->FREQ);
    // Outside the table: one warning each, FREQ keeps its default.
    EXPECT_FLOAT_EQ(110.0f, g().vcos[1]->FREQ);
    EXPECT_FLOAT_EQ(110.0f, g().vcos[2]->FREQ);
    EXPECT_EQ(at(1) + "VCO_2 : NOTE=5000 refuse, hors de 0 a 1999\n" + at(1) +
                  "VCO_3 : NOTE=-3 refuse, hors de 0 a 1999\n",
              out);
}

TEST_F(Objects, FilterKeysGainSetsAmountAndOrderMatters) {
    load("PCF_1;GAIN=25; PCF_2;GAIN=25;AMOUNT=0.5; PCF_3;AMOUNT=0.5;GAIN=25; "
         "PCF_4;GAIN=25.7;HICUT=1200;TYPE=1;");
    PCF* f4 = g().filters[0];
    PCF* f3 = g().filters[1];
    PCF* f2 = g().filters[2];
    PCF* f1 = g().filters[3];
    EXPECT_FLOAT_EQ(25.0f, f1->GAIN);
    EXPECT_FLOAT_EQ(2.0f, f1->AMOUNT);
    EXPECT_FLOAT_EQ(0.5f, f2->AMOUNT);
    EXPECT_FLOAT_EQ(2.0f, f3->AMOUNT);
    // GAIN keeps its fraction; AMOUNT takes the whole part divided by 10 in integers.
    EXPECT_FLOAT_EQ(25.7f, f4->GAIN);
    EXPECT_FLOAT_EQ(2.0f, f4->AMOUNT);
    EXPECT_EQ(1200, f4->HICUT);
    EXPECT_EQ(1, f4->TYPE);
    EXPECT_EQ(1, f4->BYPASS); // a filter stays bypassed unless told otherwise
}

TEST_F(Objects, FilterBypassKeyAndSubstringMatches) {
    load("PCF_1;BYPASS=0;Q=2.5; PCF_2;FREQ=5; PCF_3;;HICUT=500;");
    PCF* f3 = g().filters[0];
    PCF* f2 = g().filters[1];
    PCF* f1 = g().filters[2];
    EXPECT_EQ(0, f1->BYPASS);
    EXPECT_FLOAT_EQ(2.5f, f1->Q);
    EXPECT_FLOAT_EQ(1.0f, f1->GAIN);
    // "FREQ=5" contains "Q": the key applies wherever its text appears.
    EXPECT_FLOAT_EQ(5.0f, f2->Q);
    // An empty field in a filter line is skipped, not fatal.
    EXPECT_EQ(500, f3->HICUT);
}

TEST_F(Objects, VcaTimesKeepTheirFractions) {
    load("VCA_1;ATTACK=12.75;DECAY=3;SUSTAIN=0.5;RELEASE=250.5;INVERT=1;BYPASS=1;");
    VCA* a = g().vcas[0];
    EXPECT_FLOAT_EQ(12.75f, a->ATTACK);
    EXPECT_FLOAT_EQ(3.0f, a->DECAY);
    EXPECT_FLOAT_EQ(0.5f, a->SUSTAIN);
    EXPECT_FLOAT_EQ(250.5f, a->RELEASE);
    EXPECT_EQ(1, a->INVERT);
    EXPECT_EQ(1, a->BYPASS);
}

TEST_F(Objects, SequencerKeysLongAndShortForms) {
    load("SEQUENCER_1;*DIVIDER=4.5;NBR_STEP=16;NOTE_001_002=26;BYPASS_5=1;NOTE_000_003=-1;"
         "VOLUME_002_007=0.5;LENGHT_12=3;NOTE_000_004=15;");
    SEQUENCER* s = g().sequencers[0];
    EXPECT_FLOAT_EQ(4.5f, s->DIVIDER);
    EXPECT_FLOAT_EQ(4.5f, s->next_divider);
    EXPECT_EQ(16, s->NBR_STEP);
    EXPECT_EQ(2, s->step_octave[1][2]);
    EXPECT_EQ(2, s->step_note[1][2]);
    EXPECT_EQ(1, s->step_bypass[0][5]);
    // A negative note number is refused: the cell keeps its default.
    EXPECT_EQ(3, s->step_octave[0][3]);
    EXPECT_EQ(10, s->step_note[0][3]);
    EXPECT_EQ(1, s->step_octave[0][4]);
    EXPECT_EQ(3, s->step_note[0][4]);
    EXPECT_FLOAT_EQ(0.5f, s->step_volume[2][7]);
    EXPECT_FLOAT_EQ(3.0f, s->step_length[0][12]);
    // Untouched cells keep the defaults.
    EXPECT_EQ(3, s->step_octave[0][0]);
    EXPECT_EQ(10, s->step_note[0][0]);
    EXPECT_FLOAT_EQ(1.0f, s->step_volume[0][12]);
}

TEST_F(Objects, StepKeysOutsideTheArraysChangeNothing) {
    load("SEQUENCER_1;NOTE_064_000=1;NOTE_000_064=1;NOTE_-01_000=1;BYPASS_-1=1;NOTE_1_2=1;"
         "VOLUME_999=0;LENGHT_063_099=0;BYPASS_=1;");
    SEQUENCER* s = g().sequencers[0];
    SEQUENCER fresh;
    for (int r = 0; r < SEQ_ROWS; ++r)
        for (int c = 0; c < SEQ_COLS; ++c) {
            ASSERT_EQ(fresh.step_note[r][c], s->step_note[r][c]);
            ASSERT_EQ(fresh.step_octave[r][c], s->step_octave[r][c]);
            ASSERT_EQ(fresh.step_bypass[r][c], s->step_bypass[r][c]);
            ASSERT_EQ(fresh.step_volume[r][c], s->step_volume[r][c]);
            ASSERT_EQ(fresh.step_length[r][c], s->step_length[r][c]);
        }
}

TEST_F(Objects, KindGroupsAndFrontInsertion) {
    load(
        "VCO_A;TYPE=1; VCO_B;TYPE=2; VCO_MIXER;TYPE=1; KEY_VCO;; SEQUENCER_VCA;NBR_STEP=8; MIXER_1;; KEY_1;; "
        "NOTHING_HERE;X=1;");
    ASSERT_EQ(3u, g().vcos.size());
    EXPECT_STREQ("VCO_MIXER", g().vcos[0]->name);
    EXPECT_STREQ("VCO_B", g().vcos[1]->name);
    EXPECT_STREQ("VCO_A", g().vcos[2]->name);
    ASSERT_EQ(2u, g().mixers.size());
    EXPECT_STREQ("MIXER_1", g().mixers[0]->name);
    EXPECT_STREQ("VCO_MIXER", g().mixers[1]->name);
    // Group 2 stops at its first keyword: KEY_VCO is a keyboard only.
    ASSERT_EQ(2u, g().keyboards.size());
    EXPECT_STREQ("KEY_1", g().keyboards[0]->name);
    EXPECT_STREQ("KEY_VCO", g().keyboards[1]->name);
    ASSERT_EQ(1u, g().sequencers.size());
    ASSERT_EQ(1u, g().vcas.size());
    EXPECT_EQ(8, g().sequencers[0]->NBR_STEP);
    EXPECT_STREQ("SEQUENCER_VCA", g().vcas[0]->name);
}

TEST_F(Objects, ShortWordsAndCommentsAreReportedWithTheirWordNumber) {
    std::string out = load_printing("BEGIN_OBJECTS_DECLARE\n# old comment\nMIXER_1;\nMIXER_2;;\n"
                                    "END_OBJECTS_DECLARE\nVCO_9;TYPE=2;\n");
    // "#" is skipped; "old" and "comment" are words of their own.
    EXPECT_EQ(at(2) + "Ligne 3 semble avoir moins de 2 parametres\n" + at(2) +
                  "Ligne 4 semble avoir moins de 2 parametres\n" + at(3) +
                  "Ligne 5 semble avoir moins de 2 parametres\n",
              out);
    ASSERT_EQ(1u, g().mixers.size());
    EXPECT_STREQ("MIXER_2", g().mixers[0]->name);
    EXPECT_TRUE(g().vcos.empty()); // after END_OBJECTS_DECLARE nothing is declared
}

TEST_F(Objects, WithoutTheEndMarkerLinksAreReadAsObjects) {
    load("VCA_1;ATTACK=5;\nBEGIN_LINKS_DECLARE\nVCA_1;IN=VCO_1;\nEND_LINKS_DECLARE\n");
    ASSERT_EQ(2u, g().vcas.size());
    EXPECT_STREQ("VCA_1", g().vcas[0]->name);
    EXPECT_FLOAT_EQ(1000.0f, g().vcas[0]->ATTACK);
}

TEST_F(Objects, EmptyParameterFieldIsFatalForKindsThatReadKeys) {
    for (const char* line : {"VCO_1;;TYPE=2;", "VCA_1;ATTACK=1;;", "SEQUENCER_1;;", "SAMPLER_1;;"}) {
        graph_ = std::make_unique<GENERATOR>();
        std::string out;
        ::testing::internal::CaptureStdout();
        try {
            load(std::string("X;Y;\n") + line);
            ADD_FAILURE() << line << " was accepted";
        } catch (const PATCH_FATAL& e) {
            EXPECT_EQ(-1, e.status);
        }
        out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(at(2) + "Erreur, au niveau des parametre ligne [2]\n", out) << line;
    }
    // Mixers and keyboards read no keys: ";;" is their normal form.
    graph_ = std::make_unique<GENERATOR>();
    load("MIXER_1;; KEY_1;;");
    EXPECT_EQ(1u, g().mixers.size());
    EXPECT_EQ(1u, g().keyboards.size());
}

TEST_F(Objects, BadFieldsAndNamesAreSkipped) {
    std::string long_name(300, 'N');
    load(";TYPE=2; VCO_1;FREQ;AMOUNT=;TYPE=2;=5;PHASE==3; VCO_" + long_name + ";TYPE=4;");
    // A name too long for its array is refused, never cut.
    ASSERT_EQ(1u, g().vcos.size());
    VCO* v1 = g().vcos[0];
    EXPECT_EQ(2, v1->TYPE);
    EXPECT_FLOAT_EQ(110.0f, v1->FREQ);
    EXPECT_FLOAT_EQ(1.0f, v1->AMOUNT);
}

TEST_F(Objects, OverlongWordIsRefusedAndCounted) {
    std::string huge = "VCO_1;FREQ=" + std::string(PATCH_WORD_MAX, '1') + ";";
    std::string out = load_printing(huge + " VCO_2;TYPE=5; MIXER_1;");
    ASSERT_EQ(1u, g().vcos.size());
    EXPECT_STREQ("VCO_2", g().vcos[0]->name);
    EXPECT_NE(std::string::npos, out.find(at(1) + "mot de plus de"));
    EXPECT_NE(std::string::npos, out.find(at(1) + "Ligne 3 semble avoir moins de 2 parametres\n"));
}

TEST_F(Objects, SamplerLoadsItsWave) {
    std::string wav = dir_.write("kick.wav", wave_bytes(1000));
    std::string out = load_printing("SAMPLER_1;FILE=" + wav + ";");
    ASSERT_EQ(1u, g().samplers.size());
    SAMPLER* s = g().samplers[0];
    EXPECT_EQ(250, s->sample_frames);
    EXPECT_STREQ(wav.c_str(), s->sample_path);
    EXPECT_STREQ("SAMPLER_1", s->name);
    EXPECT_EQ(nullptr, s->sample_handle);
    char expected[1200];
    std::snprintf(expected, sizeof expected, "Loaded WAVE file [%-32s][%d ]\n", wav.c_str(), 250);
    EXPECT_EQ(expected, out);
}

TEST_F(Objects, SamplerRefusesFilesThatAreNotSoundAndStaysSilent) {
    for (const char* content : {"just some text\n", ""}) {
        graph_ = std::make_unique<GENERATOR>();
        std::string txt = dir_.write("notes.wav", content);
        std::string out = load_printing("SAMPLER_1;FILE=" + txt + ";");
        ASSERT_EQ(1u, g().samplers.size());
        SAMPLER* s = g().samplers[0];
        EXPECT_EQ(0, s->sample_frames);
        EXPECT_TRUE(s->sample_data.empty());
        EXPECT_STREQ(txt.c_str(), s->sample_path); // kept, so a save writes it back
        EXPECT_EQ(std::string::npos, out.find("Loaded WAVE file")) << out;
        EXPECT_EQ(0u, out.find("Sample refused [" + txt + "]")) << out;
    }
}

TEST_F(Objects, SamplerWithoutItsFileStaysSilentAndThePatchLoads) {
    std::string missing = dir_.file("missing.wav");
    std::string out = load_printing("SAMPLER_1;FILE=" + missing + "; MIXER_4;;");
    ASSERT_EQ(1u, g().samplers.size());
    EXPECT_EQ(0, g().samplers[0]->sample_frames);
    EXPECT_STREQ(missing.c_str(), g().samplers[0]->sample_path);
    EXPECT_EQ(1u, g().mixers.size());
    EXPECT_EQ(0u, out.find("Error load [" + missing + "]\n" + at(1) + "Error load the file : SAMPLER_1"))
        << out;
}

} // namespace
