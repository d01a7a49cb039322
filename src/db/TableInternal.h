#pragma once
// What the files of the table object share inside the engine: the lookup
// fields and the two record sources (a stored record, an edit buffer).
#include "db/Table.h"

namespace velmora::db {

struct Table::Lookup {
    std::string name;
    std::string keyField;
    Table* table;
    std::string lookupKey;
    std::string resultField;
};

// Values of one stored record.
class Table::RecordAt : public RecordSource {
public:
    RecordAt(const DbfFile& f, uint32_t recno) : f_(f), recno_(recno) {}
    Value value(int field) const override { return f_.value(recno_, field); }
private:
    const DbfFile& f_;
    uint32_t recno_;
};

// Values of a record buffer that is not (yet) stored.
class Table::BufferSource : public RecordSource {
public:
    BufferSource(const DbfFile& f, const std::string& buf) : f_(f), buf_(buf) {}
    Value value(int field) const override {
        return DbfFile::decode(buf_.data(), f_.fields().at(field), f_.header().offsets.at(field), f_.codePage());
    }
private:
    const DbfFile& f_;
    const std::string& buf_;
};

} // namespace velmora::db
