#include "formprint/layout_list.h"

#include <fstream>
#include <gtest/gtest.h>

#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace vendaro::formprint {
namespace {

std::string cp(const char* utf8) { return sjis::lit(utf8); }

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::string& content) { std::ofstream(path, std::ios::binary) << content; }

/// The file's lines as one text with "|" between them, in UTF-8, for readable comparisons.
std::string lines(const std::string& path) {
  std::string text = sjis::toUtf8(slurp(path)), out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\r\n") == 0) {
      out += '|';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

TEST(LayoutList, ReadingTakesNameAndNumberLines) {
  test::TempDir dir;
  LayoutList list;
  list.setEntries({{"x", "1"}, {cp("新規追加"), "2"}});
  EXPECT_FALSE(list.read(dir.path()));  // no file: the copy stays as it was
  EXPECT_EQ(list.count(), 2);

  spit(dir.file("EsPrintName.INI"), cp("見積書") + "\r\n2\r\n" + cp("注文書") + "\r\n1\r\n" + cp("新規追加") + "\r\n3\r\n");
  EXPECT_TRUE(list.read(dir.path()));
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.entries()[0], (LayoutListEntry{cp("見積書"), "2"}));
  EXPECT_EQ(list.entries()[2], (LayoutListEntry{cp("新規追加"), "3"}));
  ASSERT_EQ(list.layouts().size(), 2u);
  EXPECT_EQ(list.layouts()[1].name, cp("注文書"));

  spit(dir.file("EsPrintName.INI"), cp("新規追加") + "\r\n1\r\n");
  list.read(dir.path());
  EXPECT_EQ(list.count(), 1);
  EXPECT_TRUE(list.layouts().empty());  // no form-print command

  spit(dir.file("EsPrintName.INI"), "A\r\n1\r\nB\r\n");  // a missing number line reads as empty
  list.read(dir.path());
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.entries()[1], (LayoutListEntry{"B", ""}));
}

TEST(LayoutList, ThePrintOrderDialogWritesItsOrderAndTheNewLayoutEntry) {
  test::TempDir dir;
  writeLayoutOrder(dir.path(), {{"B", "2"}, {"C", "3"}, {"A", "1"}});
  EXPECT_EQ(lines(dir.file("EsPrintName.INI")), "B|2|C|3|A|1|新規追加|4|");
  writeLayoutOrder(dir.path(), {});
  EXPECT_EQ(lines(dir.file("EsPrintName.INI")), "新規追加|1|");
}

TEST(LayoutList, TheEditorKeepsItsCopyCurrentAndWritesItOnClosing) {
  test::TempDir dir;
  struct Case {
    const char* name;
    std::vector<LayoutListEntry> copy;
    std::vector<std::pair<int, const char*>> saved;  // record number, 印刷名
    std::vector<const char*> records;                // 印刷名 of the records
    const char* file;
  } const cases[] = {
      {"closing without a change", {{"B", "2"}, {"A", "1"}, {"新規追加", "3"}}, {}, {"A", "B"}, "B|2|A|1|新規追加|3|"},
      {"a renamed layout", {{"B", "2"}, {"A", "1"}, {"新規追加", "3"}}, {{1, "AA"}}, {"AA", "B"},
       "B|2|AA|1|新規追加|3|"},
      {"a layout made from the new-layout entry",
       {{"A", "1"}, {"新規追加", "2"}}, {{2, "B"}}, {"A", "B"}, "A|1|B|2|新規追加|3|"},
      {"made but never saved is listed by its own name, not as a second new-layout entry",
       {{"A", "1"}, {"新規追加", "2"}}, {}, {"A", ""}, "A|1||2|新規追加|3|"},
      {"a record no entry names takes the new-layout place",
       {{"A", "1"}, {"新規追加", "3"}}, {{2, "B"}}, {"A", "B"}, "A|1|B|2|新規追加|3|"},
      {"a second such record does not replace the first",
       {{"A", "1"}, {"新規追加", "2"}}, {{2, "B"}, {3, "C"}}, {"A", "B", "C"}, "A|1|B|2|C|3|新規追加|4|"},
      {"an empty copy gets every record", {}, {}, {"A", "B"}, "A|1|B|2|新規追加|3|"},
      {"entries naming no record are left out",
       {{"Z", "9"}, {"A", "1"}, {"X", "x"}, {"A2", "1"}, {"新規追加", "2"}}, {}, {"A"}, "A|1|新規追加|2|"},
      {"no records", {{"新規追加", "1"}}, {}, {}, "新規追加|1|"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    LayoutList list;
    std::vector<LayoutListEntry> copy;
    for (const auto& e : c.copy) copy.push_back({cp(e.name.c_str()), e.number});
    list.setEntries(copy);
    for (const auto& [n, name] : c.saved) list.recordSaved(n, cp(name));
    std::vector<std::string> records;
    for (const char* r : c.records) records.push_back(cp(r));
    list.writeByEditor(dir.path(), records);
    EXPECT_EQ(lines(dir.file("EsPrintName.INI")), c.file);
    LayoutList reread;
    reread.read(dir.path());
    EXPECT_EQ(reread.entries(), list.entries());
  }
}

TEST(LayoutList, FontFaceDefaultsToTheGothicFace) {
  test::TempDir dir;
  EXPECT_EQ(readFontFace(dir.path()), cp("ＪＳゴシック"));
  spit(dir.file("EsCarFont.INI"), "");
  EXPECT_EQ(readFontFace(dir.path()), cp("ＪＳゴシック"));
  writeFontFace(dir.path(), cp("ＭＳ 明朝"));
  EXPECT_EQ(slurp(dir.file("EsCarFont.INI")), cp("ＭＳ 明朝") + "\r\n");
  EXPECT_EQ(readFontFace(dir.path()), cp("ＭＳ 明朝"));
}

}  // namespace
}  // namespace vendaro::formprint
