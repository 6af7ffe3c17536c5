// Tests of the remote line handling: line ends across chunks, bounded lines and the commands.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "remote/remote_line.h"

namespace {

bool complete(const std::string& chunk, bool& cr_seen) {
    return line_complete(chunk.data(), static_cast<int>(chunk.size()), cr_seen);
}

bool feed(LINE_READER& r, const std::string& chunk) {
    return r.feed(chunk.data(), static_cast<int>(chunk.size()));
}

std::string text_of(const std::unique_ptr<char[]>& line) {
    return line.get();
}

TEST(LineComplete, NeedsCarriageReturnThenLineFeed) {
    bool cr = false;
    EXPECT_TRUE(complete("PORTA=16\r\n", cr));
    EXPECT_TRUE(complete("A\r\nB", cr));
    EXPECT_FALSE(complete("PORTA=16", cr));
    EXPECT_FALSE(complete("PORTA\n\r", cr));
    EXPECT_TRUE(cr); // that chunk ended with a carriage return
    cr = false;
    EXPECT_FALSE(complete("A\nB\rC", cr));
    EXPECT_FALSE(complete("", cr));
    // Only the received bytes count, not the byte past them.
    const char buffer[] = "AB\r\n";
    EXPECT_FALSE(line_complete(buffer, 3, cr));
    EXPECT_TRUE(cr);
}

TEST(LineComplete, PairSplitBetweenChunksEndsTheLine) {
    bool cr = false;
    EXPECT_FALSE(complete("PORTA=7\r", cr));
    EXPECT_TRUE(complete("\n", cr));
    EXPECT_FALSE(cr);
    // A line feed after a chunk that did not end with a carriage return is an ordinary byte.
    EXPECT_FALSE(complete("PORTA=7", cr));
    EXPECT_FALSE(complete("\nX", cr));
    EXPECT_FALSE(complete("\r", cr));
    EXPECT_FALSE(complete("X\n", cr));
}

TEST(LineComplete, EachConnectionHasItsOwnFlag) {
    bool first = false;
    bool second = false;
    EXPECT_FALSE(complete("PORTA=1\r", first));
    EXPECT_FALSE(complete("\nPORTA=2", second));
    EXPECT_TRUE(complete("\n", first));
}

TEST(LineReader, GathersChunksUntilTheLineEnd) {
    LINE_READER r;
    EXPECT_FALSE(feed(r, "PORT"));
    EXPECT_FALSE(feed(r, "A=3\r"));
    EXPECT_TRUE(feed(r, "\n"));
    EXPECT_EQ(text_of(r.take_line()), "PORTA=3\r\n");
    // The next line starts empty, and a chunk with several lines is kept whole.
    EXPECT_EQ(r.length(), 0);
    EXPECT_TRUE(feed(r, "PORTA=1\r\nPORTA=2\r\n"));
    EXPECT_EQ(text_of(r.take_line()), "PORTA=1\r\nPORTA=2\r\n");
}

TEST(LineReader, CutsALongLineButStillFindsItsEnd) {
    LINE_READER r;
    const std::string start = "PORTA=8";
    EXPECT_FALSE(feed(r, start + std::string(60000, 'x')));
    EXPECT_FALSE(r.was_cut());
    EXPECT_FALSE(feed(r, std::string(60000, 'y')));
    EXPECT_TRUE(r.was_cut());
    EXPECT_EQ(r.length(), REMOTE_LINE_MAX);
    EXPECT_FALSE(feed(r, std::string(REMOTE_CHUNK_BYTES, 'z')));
    EXPECT_TRUE(feed(r, "tail\r\n"));
    std::unique_ptr<char[]> line = r.take_line();
    const std::string kept = line.get();
    ASSERT_EQ(kept.size(), static_cast<size_t>(REMOTE_LINE_MAX));
    EXPECT_EQ(kept.substr(0, start.size()), start);
    EXPECT_EQ(kept.back(), 'y');
    EXPECT_FALSE(r.was_cut());
}

TEST(StripLineEnd, DropsTheLastTwoCharacters) {
    char line[] = "FINISH\r\n";
    EXPECT_TRUE(strip_line_end(line));
    EXPECT_STREQ(line, "FINISH");
    char pair[] = "\r\n";
    EXPECT_TRUE(strip_line_end(pair));
    EXPECT_STREQ(pair, "");
    char one[] = "\n";
    EXPECT_FALSE(strip_line_end(one));
    EXPECT_STREQ(one, "");
    char none[] = "";
    EXPECT_FALSE(strip_line_end(none));
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

TEST(Commands, PortaStoresFinishEnds) {
    std::atomic<int32_t> port{0};
    EXPECT_EQ(run_command("PORTA=16", port), 0);
    EXPECT_EQ(port, 16);
    EXPECT_EQ(run_command("PORTA=5", port), 0);
    EXPECT_EQ(run_command("PORTA=0", port), 0);
    EXPECT_EQ(port, 0); // replaced, not accumulated
    EXPECT_EQ(run_command("FINISH", port), 1);
    // Both commands of one line act.
    EXPECT_EQ(run_command("FINISH PORTA=3", port), 1);
    EXPECT_EQ(port, 3);
    EXPECT_EQ(run_command("xxPORTA=12FINISHxx", port), 1);
    EXPECT_EQ(port, 12);
}

TEST(Commands, PortaWithoutAValueAndOtherLinesChangeNothing) {
    std::atomic<int32_t> port{44};
    for (const char* line : {"PORTA", "PORTA=", "PORTA==3", "", "HELLO=3", "porta=3", "FINIS"})
        EXPECT_EQ(run_command(line, port), 0) << line;
    EXPECT_EQ(port, 44);
    // The value is the text after the line's first "=", wherever PORTA is.
    EXPECT_EQ(run_command("X=9 PORTA", port), 0);
    EXPECT_EQ(port, 9);
    EXPECT_EQ(run_command("PORTA=1\r\nPORTA=2", port), 0);
    EXPECT_EQ(port, 1);
    EXPECT_EQ(run_command("PORTA=abc", port), 0);
    EXPECT_EQ(port, 0);
}

} // namespace
