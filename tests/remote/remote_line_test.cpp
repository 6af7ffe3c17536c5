// Tests of the remote line handling: lines split from received bytes, bounded lines, the echo, the commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "remote/remote_line.h"

namespace {

// Every line the reader splits from a sequence of receives, with "|cut" for a cut line; the
// lines' full lengths go to totals when given.
std::vector<std::string> lines_of(const std::vector<std::string>& receives, LINE_READER& r,
                                  std::vector<int64_t>* totals = nullptr) {
    std::vector<std::string> lines;
    for (const std::string& bytes : receives) {
        // One receive fills at most the chunk area.
        EXPECT_LE(bytes.size(), static_cast<size_t>(REMOTE_CHUNK_BYTES));
        const size_t size = std::min(bytes.size(), static_cast<size_t>(REMOTE_CHUNK_BYTES));
        std::memcpy(r.chunk_area(), bytes.data(), size);
        r.received(static_cast<int>(size));
        while (r.next_line()) {
            lines.push_back(std::string(r.line(), static_cast<size_t>(r.length())) +
                            (r.was_cut() ? "|cut" : ""));
            EXPECT_EQ(static_cast<int>(std::strlen(r.line())), r.length());
            if (totals) totals->push_back(r.total());
        }
        EXPECT_FALSE(r.pending());
    }
    return lines;
}

std::vector<std::string> lines_of(const std::vector<std::string>& receives) {
    LINE_READER r;
    return lines_of(receives, r);
}

using LINES = std::vector<std::string>;

TEST(LineReader, EveryLineEndEndsOneLine) {
    EXPECT_EQ(lines_of({"PORTA=1\r\nPORTA=0\r\n"}), (LINES{"PORTA=1", "PORTA=0"}));
    // A line feed alone ends a line too, and both kinds mix.
    EXPECT_EQ(lines_of({"PORTA=1\nFINISH\r\n\n\r\n"}), (LINES{"PORTA=1", "FINISH", "", ""}));
    EXPECT_EQ(lines_of({"\n"}), (LINES{""}));
}

TEST(LineReader, APartialLineWaitsForTheRest) {
    LINE_READER r;
    EXPECT_EQ(lines_of({"PORTA=1\r\nPOR"}, r), (LINES{"PORTA=1"}));
    EXPECT_EQ(r.length(), 3);
    EXPECT_STREQ(r.line(), "POR");
    EXPECT_EQ(lines_of({"TA=2", "\r", "\nFIN", "ISH\n"}, r), (LINES{"PORTA=2", "FINISH"}));
    EXPECT_EQ(lines_of({"X"}, r), LINES{});
    EXPECT_EQ(lines_of({""}, r), LINES{});
    EXPECT_EQ(lines_of({"\n"}, r), (LINES{"X"}));
}

TEST(LineReader, CarriageReturnsOutsideALineEndAreText) {
    EXPECT_EQ(lines_of({"A\rB\r\n"}), (LINES{"A\rB"}));
    EXPECT_EQ(lines_of({"A\r\r\n"}), (LINES{"A\r"}));
    EXPECT_EQ(lines_of({"A\r", "\r", "\n"}), (LINES{"A\r"}));
    EXPECT_EQ(lines_of({"\r", "B\n"}), (LINES{"\rB"}));
    EXPECT_EQ(lines_of({"\n\r"}), (LINES{""})); // the last carriage return waits
}

TEST(LineReader, FeedStopsAfterTheFirstLineEnd) {
    LINE_READER r;
    const std::string bytes = "AB\nCD\r\nE";
    EXPECT_EQ(r.feed(bytes.data(), 8), 3);
    EXPECT_TRUE(r.line_ready());
    EXPECT_STREQ(r.line(), "AB");
    EXPECT_EQ(r.feed(bytes.data() + 3, 5), 4);
    EXPECT_STREQ(r.line(), "CD");
    EXPECT_EQ(r.feed(bytes.data() + 7, 1), 1);
    EXPECT_FALSE(r.line_ready());
    EXPECT_STREQ(r.line(), "E");
    EXPECT_EQ(r.feed(bytes.data(), 0), 0);
}

// The kept part ends exactly at REMOTE_LINE_MAX bytes: one byte more is a cut line, whether
// the line arrives whole or in pieces, and its line end never counts as text.
TEST(LineReader, CutFlagAtTheExactBoundary) {
    ASSERT_EQ(REMOTE_LINE_MAX, 100000);
    for (int size : {99999, 100000, 100001}) {
        for (const char* end : {"\r\n", "\n"}) {
            const std::string text = "PORTA=8" + std::string(static_cast<size_t>(size) - 7, 'x');
            for (int pieces : {2, 3}) {
                LINE_READER r;
                std::vector<std::string> receives;
                const size_t piece = text.size() / static_cast<size_t>(pieces) + 1;
                for (size_t at = 0; at < text.size(); at += piece)
                    receives.push_back(text.substr(at, piece));
                // With two pieces the line end comes with the text, with three byte by byte.
                if (pieces == 2) {
                    receives.back() += end;
                } else {
                    receives.push_back(std::string(end, 1));
                    if (end[1]) receives.push_back(std::string(end + 1, 1));
                }
                std::vector<int64_t> totals;
                const LINES lines = lines_of(receives, r, &totals);
                ASSERT_EQ(lines.size(), 1u) << size;
                const bool cut = lines[0].size() > 4 && lines[0].compare(lines[0].size() - 4, 4, "|cut") == 0;
                EXPECT_EQ(cut, size > 100000) << size << " " << pieces;
                EXPECT_EQ(lines[0].size() - (cut ? 4 : 0), static_cast<size_t>(size > 100000 ? 100000 : size))
                    << size;
                EXPECT_EQ(totals[0], size) << size;
                EXPECT_EQ(lines[0].substr(0, 100000), text.substr(0, 100000));
            }
        }
    }
}

TEST(LineReader, ALongLineIsCutAndTheNextOneIsWhole) {
    LINE_READER r;
    std::vector<int64_t> totals;
    const LINES lines = lines_of(
        {std::string(REMOTE_CHUNK_BYTES, 'y'), std::string(REMOTE_CHUNK_BYTES, 'z'), "tail\r\nPORTA=4\r\n"},
        r, &totals);
    EXPECT_EQ(totals, (std::vector<int64_t>{2 * REMOTE_CHUNK_BYTES + 4, 7}));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(REMOTE_LINE_MAX, 'y') + "|cut");
    EXPECT_EQ(lines[1], "PORTA=4");
}

TEST(FormatOrder, ShowsAtMostTwoHundredBytesAndMarksTheCut) {
    char out[REMOTE_ECHO_BYTES];
    auto echo = [&](const std::string& line, int64_t total) {
        return std::string(format_order(out, sizeof out, line.c_str(), static_cast<int>(line.size()), total));
    };
    EXPECT_EQ(echo("PORTA=16", 8), "ORDER:[PORTA=16] : ");
    EXPECT_EQ(echo("", 0), "ORDER:[] : ");
    const std::string exactly(REMOTE_ECHO_MAX, 'a');
    EXPECT_EQ(echo(exactly, REMOTE_ECHO_MAX), "ORDER:[" + exactly + "] : ");
    const std::string longer(REMOTE_ECHO_MAX + 1, 'b');
    EXPECT_EQ(echo(longer, REMOTE_ECHO_MAX + 1),
              "ORDER:[" + std::string(REMOTE_ECHO_MAX, 'b') + "... [cut, 201 bytes]] : ");
    EXPECT_EQ(echo(std::string(REMOTE_LINE_MAX, 'c'), 250000),
              "ORDER:[" + std::string(REMOTE_ECHO_MAX, 'c') + "... [cut, 250000 bytes]] : ");
    // Control bytes cannot reach the terminal; other bytes pass.
    EXPECT_EQ(echo("A\x1b[2J\x7f\rB\xc3\xa9", 10), "ORDER:[A.[2J..B\xc3\xa9] : ");
    // A small area holds a zero-terminated start of the echo.
    char tiny[8];
    EXPECT_STREQ(format_order(tiny, sizeof tiny, "PORTA=16", 8, 8), "ORDER:[");
}

TEST(ReadInteger, ReadsLikeAtoiWithinThe32BitRange) {
    EXPECT_EQ(read_integer("16"), 16);
    EXPECT_EQ(read_integer(" \t-5x"), -5);
    EXPECT_EQ(read_integer("+7\r\nPORTA"), 7);
    EXPECT_EQ(read_integer("abc"), 0);
    EXPECT_EQ(read_integer(""), 0);
    EXPECT_EQ(read_integer("-"), 0);
    EXPECT_EQ(read_integer("2147483647"), 2147483647);
    EXPECT_EQ(read_integer("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(read_integer("2147483648"), 2147483647);
    EXPECT_EQ(read_integer("-99999999999999999999"), -2147483647 - 1);
}

TEST(Commands, PortaValueAndFinish) {
    COMMAND c = parse_command("PORTA=16");
    EXPECT_TRUE(c.set_port);
    EXPECT_EQ(c.port_value, 16);
    EXPECT_FALSE(c.finish);
    c = parse_command("FINISH");
    EXPECT_TRUE(c.finish);
    EXPECT_FALSE(c.set_port);
    // Both commands of one line act.
    c = parse_command("FINISH PORTA=3");
    EXPECT_TRUE(c.finish && c.set_port && c.port_value == 3);
    c = parse_command("xxPORTA=12FINISHxx");
    EXPECT_TRUE(c.finish && c.set_port && c.port_value == 12);
}

TEST(Commands, PortaWithoutAValueAndOtherLinesChangeNothing) {
    for (const char* line : {"PORTA", "PORTA=", "PORTA==3", "", "HELLO=3", "porta=3", "FINIS"}) {
        const COMMAND c = parse_command(line);
        EXPECT_FALSE(c.set_port || c.finish) << line;
    }
    // The value is the text after the line's first "=", wherever PORTA is.
    COMMAND c = parse_command("X=9 PORTA");
    EXPECT_TRUE(c.set_port && c.port_value == 9);
    c = parse_command("PORTA=abc");
    EXPECT_TRUE(c.set_port && c.port_value == 0);
}

} // namespace
