#pragma once
// The layouts of the files the program sends to the fund, as data: each
// template's field descriptors and the header bytes the fund's software has
// always received (date of last update, language driver mark, and whether
// the descriptors carry the field offsets). The template files are built
// from this data byte for byte; which layouts a shipment uses follows from
// its billing period.
#include "db/FieldDef.h"

#include <array>
#include <cstdint>
#include <string>

namespace velmora::exchange {

enum class Layout {
    Hosa, Hosauj, Hosauj2,   // sheet headers
    Hosb, Hosbuj,            // visits
    Hosc, Hoscuj,            // diagnoses
    OldVisits, OldDiagnoses  // before 2009.09: made by the engine, no template
};

struct OutgoingLayout {
    Layout id;
    std::string name;  // "HOSAUJ2"; the old layouts are named after their file kind
    db::FieldList fields;
    // A template is copied as it stands; the old layouts are created through
    // the engine as dBASE III tables.
    bool hasTemplate = true;
    std::array<uint8_t, 3> updateDate{};  // bytes 1-3 as stored (two-digit year)
    uint8_t languageDriver = 0;           // byte 29
    bool offsetsInDescriptors = true;     // bytes 12-15 of each descriptor; HOSB leaves them 0

    bool has(const std::string& field) const { return db::findField(fields, field) >= 0; }
    // 1 for the deletion flag plus the field widths.
    int recordLength() const;
    int headerLength() const { return 32 + 32 * static_cast<int>(fields.size()) + 1; }
};

const OutgoingLayout& outgoingLayout(Layout id);

// The empty file a template stands for: header, descriptors, the 0x0D
// terminator and nothing after it. Every record length is the sum of the
// fields: HOSA and HOSAUJ were once issued declaring two bytes less, which
// no dBASE reader accepts. Throws std::logic_error for a layout without a
// template.
std::string templateBytes(const OutgoingLayout& layout);

// The three layouts of a shipment for billing period "YYYY.MM".
struct ShipmentLayouts {
    Layout headers, visits, diagnoses;
    friend bool operator==(const ShipmentLayouts&, const ShipmentLayouts&) = default;
};
ShipmentLayouts layoutsForPeriod(const std::string& period);

} // namespace velmora::exchange
