// Reading a patch changes the graph only through the door: every value and link it sets is told.
#include <string>
#include <vector>

#include "engine/door.h"
#include "patch_files.h"

namespace {

class ReadThroughDoor : public PatchTest {
  protected:
    void SetUp() override {
        PatchTest::SetUp();
        handle_ = door_observers().add([this](const DOOR_CHANGE& c) { told.push_back(describe_change(c)); });
    }
    void TearDown() override {
        door_observers().remove(handle_);
        PatchTest::TearDown();
    }
    std::vector<std::string> told;

  private:
    int handle_ = 0;
};

TEST_F(ReadThroughDoor, EveryValueAndLinkOfAPatchIsTold) {
    load("BEGIN_OBJECTS_DECLARE\n"
         "SEQUENCER_1;*DIVIDER=4.0;NOTE_000_001=49; PCF_1;HICUT=1200;GAIN=25; VCO_1;NOTE=49; VCA_1;ATTACK=5; "
         "MIXER_4;LEVEL_01=0.5;\n"
         "END_OBJECTS_DECLARE\nBEGIN_LINKS_DECLARE\n"
         "VCO_1;IN=SEQUENCER_1;MOD_FREQ=VCA_1; VCA_1;IN=VCO_1;GATE=SEQUENCER_1; PCF_1;IN=VCA_1; "
         "MIXER_4;ADD_CHANELL=PCF_1;SLOT=NOBODY;\n"
         "END_LINKS_DECLARE\n");
    const std::vector<std::string> expected = {
        "SEQUENCER_1 DIVIDER 2 -> 4",
        "SEQUENCER_1 WISHED_TEMPO 2 -> 4",
        "SEQUENCER_1 OCTAVE_000_001 3 -> 4",
        "SEQUENCER_1 NOTE_000_001 10 -> 1",
        "PCF_1 HICUT 300 -> 1200",
        "PCF_1 GAIN 1 -> 25",
        "PCF_1 AMOUNT 1 -> 2",
        "VCO_1 FREQ 110 -> 261.626",
        "VCA_1 ATTACK 1000 -> 5",
        "MIXER_4 LEVEL_01 1 -> 0.5",
        "VCO_1 IN - -> SEQUENCER_1",
        "VCO_1 MOD_FREQ - -> VCA_1",
        "VCA_1 IN - -> VCO_1",
        "VCA_1 GATE - -> SEQUENCER_1",
        "PCF_1 IN - -> VCA_1",
        "MIXER_4 CHANNEL_00 - -> PCF_1",
        "MIXER_4 CHANNEL_01 - -> -",
    };
    EXPECT_EQ(told, expected);
}

} // namespace
