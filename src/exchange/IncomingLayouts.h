#pragma once
// The files the fund sends back, as data: each file's name and the fields
// the program reads from it, with how each is read. The rest of their
// layout is the fund's; the program carries it along unread.
#include "db/FieldDef.h"
#include "db/Table.h"
#include "db/Value.h"

#include <optional>
#include <string>
#include <vector>

namespace velmora::exchange {

enum class Incoming {
    HEa, HEb, HEc, HRuv,     // billed sheets of a period
    HAs, HAr, HAd, HAt, HPa, // contract data
    HAa, HAb, HAc            // the full data set (inside Telj<INTKOD>.arj)
};

enum class Reading {
    Text,     // a character field as it stands
    Integer,  // a whole number, from a numeric field or a character field of digits
    Number,   // a numeric field, decimals allowed
    Period,   // "YYYYMM" text
    Date,     // a date field
};

struct IncomingField {
    std::string name;
    Reading reading;
};

struct IncomingLayout {
    Incoming id;
    std::string prefix;  // "HEb": the file is prefix + INTKOD + ".dbf"
    bool required = true;
    std::vector<IncomingField> fields;  // empty: the file is taken whole, nothing is read
};

const IncomingLayout& incomingLayout(Incoming id);
std::string incomingFileName(const IncomingLayout& layout, const std::string& intkod);
// "Telj" + INTKOD + ".arj": the archive that holds HAa, HAb and HAc.
std::string fullDataSetArchiveName(const std::string& intkod);

// What an opened incoming file lacks of the fields the program reads: a
// missing field, or one whose type cannot be read the required way. Empty
// when every field is there; otherwise one Hungarian text naming the file
// and the fields.
std::optional<std::string> checkIncomingFields(const IncomingLayout& layout, const db::FieldList& fields,
                                               const std::string& fileName);
std::optional<std::string> checkIncomingFields(const IncomingLayout& layout, const db::Table& opened);

// "202405" -> "2024.05"; nullopt for anything but six digits of a month.
std::optional<std::string> periodFromDigits(const std::string& yyyymm);

} // namespace velmora::exchange
