// The fund's files: their names and the check that an opened file has the
// fields the program reads, in a type it can read them from.
#include "exchange/IncomingLayouts.h"

#include "support/TableFixture.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::exchange;
using db::FieldDef;

TEST(IncomingFiles, Names) {
    const std::pair<Incoming, const char*> names[] = {
        {Incoming::HEa, "HEa1234.dbf"}, {Incoming::HEb, "HEb1234.dbf"}, {Incoming::HEc, "HEc1234.dbf"},
        {Incoming::HRuv, "HRuv1234.dbf"}, {Incoming::HAs, "HAs1234.dbf"}, {Incoming::HAr, "HAr1234.dbf"},
        {Incoming::HAd, "HAd1234.dbf"}, {Incoming::HAt, "HAt1234.dbf"}, {Incoming::HPa, "HPa1234.dbf"},
        {Incoming::HAa, "HAa1234.dbf"}, {Incoming::HAb, "HAb1234.dbf"}, {Incoming::HAc, "HAc1234.dbf"},
    };
    for (const auto& [id, name] : names) EXPECT_EQ(incomingFileName(incomingLayout(id), "1234"), name);
    EXPECT_FALSE(incomingLayout(Incoming::HPa).required);
    EXPECT_EQ(fullDataSetArchiveName("1234"), "Telj1234.arj");
}

TEST(IncomingFiles, AnOpenedFileHasTheFieldsReadFromIt) {
    const db::FieldList billedVisits = {FieldDef::character("KABKOD", 4),  FieldDef::numeric("SORSZAM", 5),
                                        FieldDef::character("IDOSZAK", 6), FieldDef::character("RESZ", 1),
                                        FieldDef::date("APDATUM"),         FieldDef::character("ELSZIDO", 7),
                                        FieldDef::character("MEGJ", 20)};
    struct Case {
        const char* what;
        Incoming id;
        db::FieldList fields;
        std::optional<std::string> message;
    };
    db::FieldList withoutDate = billedVisits, textNumber = billedVisits, shortPeriod = billedVisits;
    withoutDate.erase(withoutDate.begin() + 4);
    textNumber[1] = FieldDef::character("SORSZAM", 5);
    shortPeriod[2] = FieldDef::numeric("IDOSZAK", 6);
    const Case cases[] = {
        {"as the fund sends it", Incoming::HEb, billedVisits, std::nullopt},
        {"sheet number of digits in a character field", Incoming::HEb, textNumber, std::nullopt},
        {"no visit date", Incoming::HEb, withoutDate,
         "A(z) HEb1234.dbf állomány nem a várt szerkezetű: hiányzó mező: APDATUM."},
        {"period as a number", Incoming::HEb, shortPeriod,
         "A(z) HEb1234.dbf állomány nem a várt szerkezetű: nem megfelelő típusú mező: IDOSZAK."},
        {"fee with decimals", Incoming::HRuv,
         {FieldDef::character("IDOSZAK", 7), FieldDef::numeric("ALAPDIJ", 10, 5), FieldDef::numeric("ELOLEG", 10, 1)},
         std::nullopt},
        {"a fee missing, a text for the advance", Incoming::HRuv,
         {FieldDef::character("IDOSZAK", 7), FieldDef::character("ELOLEG", 10)},
         "A(z) HRuv1234.dbf állomány nem a várt szerkezetű: hiányzó mező: ALAPDIJ; nem megfelelő típusú mező: "
         "ELOLEG."},
        {"read whole", Incoming::HEa, {FieldDef::character("X", 1)}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const IncomingLayout& layout = incomingLayout(c.id);
        const std::string name = incomingFileName(layout, "1234");
        test::writeTable(dir.str(), name, c.fields, {}, 3);
        db::Database db(dir.str());
        db::Table& t = db.tableAtPath(dir.file(name));
        t.open();
        EXPECT_EQ(checkIncomingFields(layout, t), c.message);
    }
}

TEST(IncomingFiles, PeriodsFromTheirDigits) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"202405", "2024.05"}, {"199912", "1999.12"}, {"202413", std::nullopt}, {"202400", std::nullopt},
        {"2024.05", std::nullopt}, {"20245", std::nullopt}, {"2024 5", std::nullopt},
    };
    for (const auto& [text, period] : cases) EXPECT_EQ(periodFromDigits(text), period) << text;
}
