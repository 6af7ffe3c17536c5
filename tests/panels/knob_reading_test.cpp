// Knob readings with their units, read from the module each control turns.
#include "engine/modules.h"
#include "panels/knob_reading.h"

#include <gtest/gtest.h>

#include <string>

TEST(KnobReading, ValuesWithTheirUnits) {
    VCO vco;
    vco.FREQ = 440;
    VCA vca;
    vca.ATTACK = 12.5f;
    PCF pcf;
    pcf.HICUT = 1250;
    pcf.GAIN = -3;
    SEQUENCER seq;
    seq.DIVIDER = 8;
    seq.pattern = 2;
    seq.step_length[2][3] = 0.5f;
    MIXER mix;
    mix.level[20] = 0.25f;
    struct CASE {
        MODULE_KIND kind;
        const void* module;
        const char* control;
        const char* reading; // null: no reading
    };
    for (const CASE& c : {CASE{KIND_VCO, &vco, "SLD_FREQUENCE", "FREQ 440.000 Hz"},
                          CASE{KIND_VCA, &vca, "SLD_ATTACK", "ATTACK 12.5 ms"},
                          CASE{KIND_PCF, &pcf, "SLD_HICUTOFF", "CUTOFF 1250 Hz"},
                          CASE{KIND_PCF, &pcf, "SLD_GAIN", "GAIN -3.0 dB"},
                          CASE{KIND_SEQUENCER, &seq, "BUTTON_DIVIDER_UP", "TEMPO 8.000 steps per second"},
                          CASE{KIND_SEQUENCER, &seq, "SLD_LENGHT_4", "LENGTH 0.500 steps"},
                          CASE{KIND_SEQUENCER, &seq, "SLD_LENGHT_65", nullptr},
                          CASE{KIND_MIXER, &mix, "SLD_CANAL_21", "LEVEL 0.25"},
                          CASE{KIND_PCF, &pcf, "POWER", nullptr},
                          CASE{KIND_VCO, nullptr, "SLD_FREQUENCE", nullptr}}) {
        char text[64] = "untouched";
        EXPECT_EQ(knob_reading(c.kind, c.module, c.control, text, sizeof text), c.reading != nullptr) << c.control;
        EXPECT_EQ(std::string(text), c.reading ? c.reading : "untouched") << c.control;
    }
}
