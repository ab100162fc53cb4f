#include "lang/script_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "lang/errors.h"

namespace talvex {
namespace {

TEST(ScriptList, SplitsAtEveryLineEnd) {
  ScriptList expected = {u"a", u"b", u"", u"c"};
  EXPECT_EQ(split_lines(u"a\r\nb\n\rc"), ScriptList({u"a", u"b", u"", u"c"}));
  EXPECT_EQ(split_lines(u"a\nb\n\nc"), expected);
  EXPECT_EQ(split_lines(u"a\rb\r\rc\r"), expected);
  EXPECT_EQ(split_lines(u"a\r\nb\r\n\r\nc\r\n"), expected);
  EXPECT_EQ(split_lines(u""), ScriptList{});
  EXPECT_EQ(split_lines(u"\n"), ScriptList{u""});
  EXPECT_EQ(split_lines(Text(u"a\nb\0c\nd", 7)), ScriptList({u"a", u"b"}));
}

TEST(ScriptList, BlockCommentForward) {
  ScriptList lines = {u"/* start", u"x", u"y */  ", u"z", u"  /* one */", u"w"};
  EXPECT_EQ(skip_block_comment_forward(lines, 0), 3u);
  EXPECT_EQ(skip_block_comment_forward(lines, 4), 5u);  // one-line comment
  EXPECT_EQ(skip_block_comment_forward(lines, 3), 4u);
  ScriptList open = {u"/*", u"a", u"b"};
  EXPECT_EQ(skip_block_comment_forward(open, 0), 3u);  // never closed
  ScriptList mid = {u"x /* y", u"z */"};
  EXPECT_EQ(skip_block_comment_forward(mid, 0), 1u);  // "/*" mid-line means nothing
}

TEST(ScriptList, BlockCommentBackward) {
  ScriptList lines = {u"a", u" /* c", u"b", u"c */", u"d", u"/* x */"};
  EXPECT_EQ(skip_block_comment_backward(lines, 3), 1u);
  EXPECT_EQ(skip_block_comment_backward(lines, 4), 4u);
  EXPECT_EQ(skip_block_comment_backward(lines, 5), 5u);
  ScriptList unopened = {u"a", u"b */"};
  EXPECT_EQ(skip_block_comment_backward(unopened, 1), 0u);
}

TEST(ScriptList, DataBlocks) {
  ScriptList lines = {u"Exit>0", u"img:", u"4865",   u"6C6C6F", u"",      u"two:", u"4865 6C",
                      u"IMG:",   u"00",   u"empty:", u"",       u"img: ", u"41"};
  EXPECT_EQ(find_data_block(lines, u"img"), std::optional<std::string>("Hello"));
  EXPECT_EQ(find_data_block(lines, u"two"), std::optional<std::string>("He"));
  EXPECT_EQ(find_data_block(lines, u"IMG"), std::optional<std::string>(std::string(1, '\0')));
  EXPECT_EQ(find_data_block(lines, u"empty"), std::nullopt);
  EXPECT_EQ(find_data_block(lines, u"none"), std::nullopt);
  // The last line is never a name line.
  EXPECT_EQ(find_data_block(ScriptList{u"x:"}, u"x"), std::nullopt);
}

TEST(ScriptList, DecodeHex) {
  EXPECT_EQ(decode_hex(u"48656c6C6f"), "Hello");
  EXPECT_EQ(decode_hex(u"4865 6C"), "He");
  EXPECT_EQ(decode_hex(u"486"), "H");
  EXPECT_EQ(decode_hex(u"zz"), "");
}

class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() /
          ("talvex-list-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  Text write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return from_utf8((dir / name).string());
  }
  std::filesystem::path dir;
};

TEST_F(FileTest, LoadsWithByteOrderMarks) {
  EXPECT_EQ(load_script_file(write("a.scp", "\xEF\xBB\xBFx\r\ny")), ScriptList({u"x", u"y"}));
  EXPECT_EQ(load_script_file(write("b.scp", std::string("\xFF\xFEx\0\n\0y\0", 8))),
            ScriptList({u"x", u"y"}));
  EXPECT_EQ(load_script_file(write("c.scp", "caf\xC3\xA9")), ScriptList({u"caf\u00E9"}));
}

TEST_F(FileTest, IncludeReplacesTheLine) {
  Text part = write("part.scp", "p1\np2\n");
  Text empty = write("empty.scp", "");
  ScriptList lines = {u"a", u"Include>x", u"b"};
  EXPECT_TRUE(include_file(lines, 1, part));
  EXPECT_EQ(lines, ScriptList({u"a", u"p1", u"p2", u"b"}));
  EXPECT_TRUE(include_file(lines, 0, empty));
  EXPECT_EQ(lines, ScriptList({u"p1", u"p2", u"b"}));
  EXPECT_FALSE(include_file(lines, 0, from_utf8((dir / "missing.scp").string())));
  EXPECT_FALSE(include_file(lines, 0, from_utf8(dir.string())));  // a directory is no file
  EXPECT_EQ(lines.size(), 3u);
}

TEST_F(FileTest, AFileThatCannotBeReadIsAFailure) {
  EXPECT_THROW(load_script_file(from_utf8((dir / "missing.scp").string())), RuntimeFailure);
  EXPECT_THROW(load_script_file(from_utf8(dir.string())), RuntimeFailure);
}

}  // namespace
}  // namespace talvex
