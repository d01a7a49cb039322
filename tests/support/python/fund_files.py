#!/usr/bin/python3
"""Writes the fund's incoming files for the import tests with Debian's
python3-dbf (dBASE III, code page 852 unless told), independently of the
engine.

  fund_files.py FILE STRUCTURE ROWS [CODEPAGE]

STRUCTURE is python3-dbf's field list ("KABKOD C(4); SORSZAM N(5,0); ...");
ROWS a JSON list of rows, each a list of values in field order: a date is
written "YYYY-MM-DD", a blank field null. CODEPAGE is python3-dbf's name of
the file's code page ("cp1250"), which it marks in the header's byte 29.
"""
import datetime
import json
import sys

import dbf


def value(kind, v):
    if v is None:
        return None
    if kind == "D":
        return datetime.date.fromisoformat(v)
    return v


def write(path, structure, rows, codepage="cp852"):
    table = dbf.Table(path, structure, codepage=codepage, dbf_type="db3")
    kinds = [field.strip().split(" ")[1][0] for field in structure.split(";")]
    table.open(dbf.READ_WRITE)
    for row in rows:
        table.append(tuple(value(k, v) for k, v in zip(kinds, row)))
    table.close()


if __name__ == "__main__":
    write(sys.argv[1], sys.argv[2], json.loads(sys.argv[3]), *sys.argv[4:5])
