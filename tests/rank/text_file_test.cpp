#include "rank/text_file.h"

#include "scratch_dir.h"

#include <sys/stat.h>

namespace {

class TextFileTest : public ScratchDirTest {
protected:
    TextFileReader load(const std::string& bytes)
    {
        writeBytes("t.txt", bytes);
        TextFileReader reader;
        EXPECT_TRUE(reader.open("t.txt"));
        return reader;
    }

    static std::string tenLines()
    {
        return "abc\r\n5000\r\nbob\r\n4000\r\ncat\r\n3000\r\ndog\r\n2000\r\neel\r\n1000";
    }
};

TEST_F(TextFileTest, ShortFileHasItsLinesPlusAnEmptyLastOne)
{
    const TextFileReader r = load("abc\r\n1200\r\n");
    EXPECT_EQ(r.lineCount(), 3);
    std::string s = "untouched";
    EXPECT_EQ(r.line(s, 0), 3);
    EXPECT_EQ(s, "abc");
    EXPECT_EQ(r.line(s, 1), 4);
    EXPECT_EQ(s, "1200");
    EXPECT_EQ(r.line(s, 2), 0);
    EXPECT_EQ(s, "");
    s = "kept";
    EXPECT_EQ(r.line(s, 3), -1);
    EXPECT_EQ(s, "kept");
    EXPECT_EQ(r.line(s, -1), -1);
    EXPECT_EQ(s, "kept");
}

TEST_F(TextFileTest, OnlyCrLfSeparatesLines)
{
    const TextFileReader r = load("ab\ncd\ref\n\rgh");
    EXPECT_EQ(r.lineCount(), 1);
    std::string s;
    EXPECT_EQ(r.line(s, 0), 12);
    EXPECT_EQ(s, "ab\ncd\ref\n\rgh");

    // A CR before the pair stays in the line.
    const TextFileReader cr = load("a\r\r\nb");
    EXPECT_EQ(cr.lineCount(), 2);
    EXPECT_EQ(cr.line(s, 0), 2);
    EXPECT_EQ(s, "a\r");
    EXPECT_EQ(cr.line(s, 1), 1);
    EXPECT_EQ(s, "b");
}

TEST_F(TextFileTest, TenLinesReadTheSameWithOrWithoutTheFinalCrLf)
{
    const TextFileReader bare = load(tenLines());
    const TextFileReader ended = load(tenLines() + "\r\n");
    EXPECT_EQ(bare.lineCount(), 10);
    EXPECT_EQ(ended.lineCount(), 11);
    for (int n = 0; n < 10; ++n) {
        std::string a, b;
        EXPECT_EQ(bare.line(a, n), ended.line(b, n)) << "line " << n;
        EXPECT_EQ(a, b) << "line " << n;
    }
    std::string last;
    EXPECT_EQ(ended.line(last, 9), 4);
    EXPECT_EQ(last, "1000");
}

TEST_F(TextFileTest, LineLengthIsMinusOneFromLineCountOn)
{
    const TextFileReader r = load(tenLines() + "\r\n");
    EXPECT_EQ(r.lineLength(0), 3);
    EXPECT_EQ(r.lineLength(9), 4);
    EXPECT_EQ(r.lineLength(10), 0);
    EXPECT_EQ(r.lineLength(11), -1);
    EXPECT_EQ(r.lineLength(-1), -1);
    EXPECT_EQ(r.lineStart(0), 0);
    EXPECT_EQ(r.lineStart(1), 5);
    EXPECT_EQ(r.lineStart(10), static_cast<int>(r.text().size()));
    EXPECT_EQ(r.lineStart(11), -1);
    EXPECT_EQ(r.lineStart(-1), -1);
}

TEST_F(TextFileTest, ZeroByteEndsTheText)
{
    const TextFileReader r = load(std::string("abc\r\n12\0"
                                              "00\r\ndef\r\n",
                                              16));
    EXPECT_EQ(r.text(), "abc\r\n12");
    EXPECT_EQ(r.lineCount(), 2);
    std::string s = "kept";
    EXPECT_EQ(r.line(s, 1), 2);
    EXPECT_EQ(s, "12");
    s = "kept";
    EXPECT_EQ(r.line(s, 2), -1);
    EXPECT_EQ(s, "kept");

    const TextFileReader first = load(std::string("\0abc\r\n", 6));
    EXPECT_EQ(first.text(), "");
    EXPECT_EQ(first.lineCount(), 1);
}

TEST_F(TextFileTest, FailedOpenKeepsThePreviousText)
{
    TextFileReader fresh;
    EXPECT_FALSE(fresh.open("missing.txt"));
    EXPECT_EQ(fresh.text(), "");
    EXPECT_EQ(fresh.lineCount(), 1);
    std::string s = "kept";
    EXPECT_EQ(fresh.line(s, 0), 0);
    EXPECT_EQ(s, "");

    writeBytes("t.txt", "x\r\ny");
    TextFileReader used;
    ASSERT_TRUE(used.open("t.txt"));
    EXPECT_FALSE(used.open("missing.txt"));
    EXPECT_EQ(used.text(), "x\r\ny");
    EXPECT_EQ(used.lineCount(), 2);

    // A directory opens but cannot be read.
    std::filesystem::create_directory("folder");
    EXPECT_FALSE(used.open("folder"));
    EXPECT_EQ(used.text(), "x\r\ny");
}

TEST_F(TextFileTest, ReopeningReplacesTextAndLines)
{
    writeBytes("a.txt", "1\r\n2\r\n3\r\n");
    writeBytes("b.txt", "only");
    TextFileReader r;
    ASSERT_TRUE(r.open("a.txt"));
    EXPECT_EQ(r.lineCount(), 4);
    ASSERT_TRUE(r.open("b.txt"));
    EXPECT_EQ(r.lineCount(), 1);
    std::string s;
    EXPECT_EQ(r.line(s, 0), 4);
    EXPECT_EQ(s, "only");
}

TEST_F(TextFileTest, HugeFileIsReadOnlyUpToTheCap)
{
    std::string big(TextFileReader::MaxBytes + 100, 'a');
    big.replace(TextFileReader::MaxBytes - 2, 2, "\r\n");
    big.replace(TextFileReader::MaxBytes + 10, 2, "\r\n");
    const TextFileReader r = load(big);
    EXPECT_EQ(r.text().size(), TextFileReader::MaxBytes);
    EXPECT_EQ(r.lineCount(), 2);  // the pair past the cap is not seen
    EXPECT_EQ(r.lineLength(1), 0);
}

TEST_F(TextFileTest, WriteCreatesTheDirectoryAndReadsBack)
{
    ASSERT_TRUE(writeTextFile("one\r\ntwo\r\n", "Sub/f.txt"));
    EXPECT_EQ(readBytes("Sub/f.txt"), "one\r\ntwo\r\n");
    EXPECT_EQ(listDir("Sub"), std::vector<std::string>{"f.txt"});

    struct stat st;
    ASSERT_EQ(::stat("Sub/f.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);

    ASSERT_TRUE(writeTextFile("", "Sub/f.txt"));
    EXPECT_EQ(readBytes("Sub/f.txt"), "");
}

TEST_F(TextFileTest, ReplacingKeepsThePlayersFileMode)
{
    writeBytes("f.txt", "old");
    ASSERT_EQ(::chmod("f.txt", 0600), 0);
    ASSERT_TRUE(writeTextFile("new", "f.txt"));
    EXPECT_EQ(readBytes("f.txt"), "new");
    struct stat st;
    ASSERT_EQ(::stat("f.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

TEST_F(TextFileTest, FailedWriteChangesNothing)
{
    writeBytes("f.txt", "old");
    std::filesystem::create_directory("target");  // cannot rename a file over it
    const auto before = listDir(".");
    EXPECT_FALSE(writeTextFile("new", "target"));
    EXPECT_EQ(listDir("."), before);
    EXPECT_TRUE(std::filesystem::is_directory("target"));

    EXPECT_FALSE(writeTextFile("new", "f.txt/inner"));  // parent is a plain file
    EXPECT_EQ(readBytes("f.txt"), "old");
    EXPECT_EQ(listDir("."), before);

    EXPECT_FALSE(writeTextFile("new", "Sub/"));  // no file name
}

TEST_F(TextFileTest, NextWriteSweepsLeftoverTemporaries)
{
    writeBytes("f.txt", "old");
    writeBytes(".f.txt.tmp-AbC123", "half a table");
    writeBytes(".f.txt.tmp-zzzzzz", "");
    writeBytes(".f.txt.tmp-longer-name", "not ours");
    writeBytes(".g.txt.tmp-AbC123", "another file's");
    ASSERT_TRUE(writeTextFile("new", "f.txt"));
    EXPECT_EQ(listDir("."),
              (std::vector<std::string>{".f.txt.tmp-longer-name", ".g.txt.tmp-AbC123", "f.txt"}));
    EXPECT_EQ(readBytes("f.txt"), "new");
}

}  // namespace
