// Field splitting and the conversions of key values.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <string>

#include "patch/patch_keys.h"
#include "patch/splitter.h"

namespace {

std::string field(const char* text, int i, char sep = ';') {
    auto f = SPLITTER{sep, text}.field_at(i);
    return f ? std::string(f.get()) : std::string("<null>");
}

TEST(Splitter, CountsSeparators) {
    EXPECT_EQ(0, (SPLITTER{';', ""}.separator_count()));
    EXPECT_EQ(0, (SPLITTER{';', nullptr}.separator_count()));
    EXPECT_EQ(3, (SPLITTER{';', "VCO_1;;TYPE=1;"}.separator_count()));
    EXPECT_EQ(2, (SPLITTER{'=', "A=B=C"}.separator_count()));
}

TEST(Splitter, EmptyFieldsAndFieldsPastTheEndAreNull) {
    EXPECT_EQ("<null>", field(";A", 0));
    EXPECT_EQ("A", field(";A", 1));
    EXPECT_EQ("B", field("A;B", 1));
    EXPECT_EQ("<null>", field("A;B;", 2));
    EXPECT_EQ("<null>", field("A;;B", 1));
    EXPECT_EQ("B", field("A;;B", 2));
    EXPECT_EQ("<null>", field("A;B", 7));
    EXPECT_EQ("<null>", field("A;B", -1));
    EXPECT_EQ("<null>", field("", 0));
    // A key and its value: the value stops at the next "=".
    EXPECT_EQ("FREQ", field("FREQ=1=2", 0, '='));
    EXPECT_EQ("1", field("FREQ=1=2", 1, '='));
    EXPECT_EQ("<null>", field("FREQ=", 1, '='));
}

TEST(Splitter, AllFieldsAtOnceMatchFieldByField) {
    const char* text = "SEQ;A;;BB;";
    SPLITTER s{';', text};
    auto views = s.fields();
    ASSERT_EQ(static_cast<size_t>(s.separator_count() + 1), views.size());
    for (int i = 0; i < static_cast<int>(views.size()); ++i) {
        auto one = s.field_at(i);
        if (one)
            EXPECT_EQ(std::string(one.get()), std::string(views[i]));
        else
            EXPECT_TRUE(views[i].empty());
    }
}

TEST(PatchValues, IntegersConvertLikeAtoiWithoutOverflow) {
    EXPECT_EQ(12, patch_int("12.9"));
    EXPECT_EQ(-7, patch_int("  -7x"));
    EXPECT_EQ(0, patch_int("x12"));
    EXPECT_EQ(0, patch_int("-"));
    EXPECT_EQ(0, patch_int(nullptr));
    EXPECT_EQ(INT_MAX, patch_int("99999999999999999999"));
    EXPECT_EQ(INT_MIN, patch_int("-99999999999999999999"));
    EXPECT_EQ(INT_MIN, patch_int("-2147483648"));
}

TEST(PatchValues, RealsAndIntegerParts) {
    EXPECT_FLOAT_EQ(220.5f, patch_real("220.5"));
    EXPECT_FLOAT_EQ(0.001f, patch_real("1e-3;"));
    EXPECT_EQ(0.0f, patch_real("abc"));
    EXPECT_TRUE(std::isinf(patch_real("1e300")));
    // The largest float written with nine digits lies just above it and must round back down.
    EXPECT_EQ(-FLT_MAX, patch_real("-3.40282347e+38"));
    EXPECT_EQ(25, integer_part(25.7));
    EXPECT_EQ(-2, integer_part(-2.9));
    EXPECT_EQ(INT_MAX, integer_part(1e30));
    EXPECT_EQ(0, integer_part(std::nan("")));
}

TEST(PatchValues, WaveformIsTheFirstCharacter) {
    EXPECT_EQ(3, vco_type_of("3"));
    EXPECT_EQ(4, vco_type_of("42"));
    EXPECT_EQ(1, vco_type_of("9"));
    EXPECT_EQ(1, vco_type_of("0"));
    EXPECT_EQ(6, vco_type_of("6.5"));
    EXPECT_EQ(1, vco_type_of("SAW"));
}

TEST(PatchValues, StepCellsAtFixedPositions) {
    int row = -1, col = -1;
    ASSERT_TRUE(step_cell_of("NOTE_001_002", STEP_NOTE, row, col));
    EXPECT_EQ(1, row);
    EXPECT_EQ(2, col);
    ASSERT_TRUE(step_cell_of("BYPASS_063_010", STEP_BYPASS, row, col));
    EXPECT_EQ(63, row);
    EXPECT_EQ(10, col);
    // Short form: no row.
    ASSERT_TRUE(step_cell_of("BYPASS_5", STEP_BYPASS, row, col));
    EXPECT_EQ(0, row);
    EXPECT_EQ(5, col);
    ASSERT_TRUE(step_cell_of("VOLUME_12", STEP_THREE_DIGIT, row, col));
    EXPECT_EQ(0, row);
    EXPECT_EQ(12, col);
    // Only three characters of each number count for the three-digit keys: the row reads
    // "001" and the column, at position 11, starts on the "_" of "_0034".
    ASSERT_TRUE(step_cell_of("LENGHT_0012_0034", STEP_THREE_DIGIT, row, col));
    EXPECT_EQ(1, row);
    EXPECT_EQ(0, col);
    ASSERT_TRUE(step_cell_of("NOTE_0012_034", STEP_NOTE, row, col));
    EXPECT_EQ(12, row); // NOTE reads whole numbers: "0012" up to the "_"
    EXPECT_EQ(0, col);  // position 9 holds that "_"
}

TEST(PatchValues, StepCellsOutsideTheKeyOrTheArraysAreRefused) {
    int row, col;
    EXPECT_FALSE(step_cell_of("NOTE_1_2", STEP_NOTE, row, col)); // column position past the key
    EXPECT_FALSE(step_cell_of("NOTE", STEP_NOTE, row, col));
    EXPECT_FALSE(step_cell_of("BYPASS_1_2", STEP_BYPASS, row, col)); // ten characters: long form
    EXPECT_FALSE(step_cell_of("BYPASS_", STEP_BYPASS, row, col));
    EXPECT_FALSE(step_cell_of("NOTE_064_000", STEP_NOTE, row, col));
    EXPECT_FALSE(step_cell_of("NOTE_000_064", STEP_NOTE, row, col));
    EXPECT_FALSE(step_cell_of("NOTE_-01_000", STEP_NOTE, row, col));
    EXPECT_FALSE(step_cell_of("BYPASS_-1", STEP_BYPASS, row, col));
    EXPECT_FALSE(step_cell_of("VOLUME_999", STEP_THREE_DIGIT, row, col));
    EXPECT_FALSE(step_cell_of(nullptr, STEP_NOTE, row, col));
}

} // namespace
