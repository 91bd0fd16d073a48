// Spreadsheet files: quoting out, reading back, separators and the two encodings.
#include "console/csv.h"
#include "console/latin1_text.h"

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

TEST(Latin1Text, CellsBecomeUtf8AndOnlyLatin1ComesBack) {
    EXPECT_EQ(Latin1ToUtf8("caf\xE9 \xFF\x7F"), "caf\xC3\xA9 \xC3\xBF\x7F");
    EXPECT_EQ(Utf8ToLatin1("caf\xC3\xA9 \xC3\xBF\xC2\x80"), "caf\xE9 \xFF\x80");
    for (const char* refused : {"\xE2\x82\xAC", "\xC4\x80", "\xC3", "\xC3\x41", "\xC1\xBF", "\xA9"})
        EXPECT_FALSE(Utf8ToLatin1(refused)) << refused;
}

} // namespace
} // namespace tarnwick
