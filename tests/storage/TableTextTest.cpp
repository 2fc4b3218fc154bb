#include "storage/TableText.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "model/FieldTable.h"

using namespace kestrel;

namespace {

// Texts a spreadsheet quotes, and quotes where a plain cell has them.
Equipment awkward(std::mt19937& random) {
    static const char* names[] = {"Tiger",       "\"Tiger\"",  "Ti\tger", "Ti\r\nger", "",
                                  "a \"b\" c\"", "\xC4gypten", "\"",      "x\ny",      "\r"};
    Equipment e;
    for (int f = 0; f < kFieldCount; ++f) {
        if (fieldKind(f) == FieldKind::Byte)
            e.setNumber(f, static_cast<std::int64_t>(random() % 256));
        if (fieldKind(f) == FieldKind::Long)
            e.setNumber(f, static_cast<std::int64_t>(random() % 200001) - 100000);
    }
    e.setEqName(names[random() % 10]);
    e.setIconName(names[random() % 10]);
    std::string last(random() % 4, '\0');
    for (char& c : last)
        c = static_cast<char>(random());
    e.setLastPart(last);
    return e;
}

}  // namespace

// The rows are read one at a time; every record must come back as written.
TEST(TableText, SeededRandomRecordsComeBackAsTheyWereWritten) {
    std::mt19937 random(28);
    std::vector<EquipmentRef> refs;
    for (int i = 0; i < 400; ++i)
        refs.push_back(std::make_shared<Equipment>(awkward(random)));
    const TableDecodeResult decoded = DecodeTabTable(EncodeTabTable(refs), 1000);
    ASSERT_TRUE(decoded.ok()) << decoded.error << " row " << decoded.row;
    ASSERT_EQ(decoded.records.size(), refs.size());
    for (std::size_t i = 0; i < refs.size(); ++i)
        EXPECT_TRUE(decoded.records[i] == *refs[i]) << "record " << i + 1;
}

TEST(TableText, RowsLineEndsQuotesAndTheFirstFault) {
    struct Case {
        std::string text;
        std::vector<std::string> names;  // of the records read, when accepted
        std::string error;
        int row = 0, column = 0;
        std::size_t room = 100;
    } cases[] = {
        {"Name\tSA\r7\r", {}, "the row has 1 cells, the heading 2", 2, 0},
        {"Name\tSA\rTiger\t7\rPanther\t8", {"Tiger", "Panther"}, "", 0, 0},
        {"Name\n\"Ti\r\nger\"\n\n\nab\"c\n\"\"\"q\"\"\"\n",
         {"Ti\r\nger", "ab\"c", "\"q\""},
         "",
         0,
         0},
        {"Name\tSA\r\n\r\nTiger\t300\r\n", {}, "SoftAttack: 300 is not between 0 and 255", 3, 2},
        // A quote left open anywhere is the first fault, whatever rows before it hold.
        {"Name\tSA\r\nTiger\t300\r\n\"Panther\t8\r\n", {}, "a quoted cell is not closed", 0, 0},
        {"Name\tWingspan\r\n\"Tiger\t1\r\n", {}, "a quoted cell is not closed", 0, 0},
        {"Name\tWingspan\r\nTiger\t1\r\n", {}, "the heading \"Wingspan\" names no field", 1, 2},
        {"\xEF\xBB\xBF", {}, "there is no heading row", 1, 0},
        {"Name\r\nA\r\nB\r\nC\r\n",
         {},
         "the table holds more records than the list has room for",
         4,
         0,
         2},
    };
    for (const Case& c : cases) {
        const TableDecodeResult decoded = DecodeTabTable(c.text, c.room);
        EXPECT_EQ(decoded.error, c.error) << c.text;
        EXPECT_EQ(decoded.row, c.row) << c.text;
        EXPECT_EQ(decoded.column, c.column) << c.text;
        std::vector<std::string> names;
        for (const Equipment& e : decoded.records)
            names.push_back(e.EqName());
        EXPECT_EQ(names, c.names) << c.text;
    }
}
