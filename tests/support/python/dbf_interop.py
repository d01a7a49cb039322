#!/usr/bin/python3
"""Independent dBASE reader/writer for the engine's tests (Debian's python3-dbf).

  dbf_interop.py dump FILE... prints, for each file, the structure, the record
                              count with and without deleted records, then one line
                              per live record, fields separated by TAB (dates
                              YYYY-MM-DD, numbers as read, blank as empty)
  dbf_interop.py write FILE   writes a small dBASE III table with Hungarian
                              text in code page 852

"dump:cp1250" and "write:cp1250" read and write the text in that code page
instead (python3-dbf's name), which write marks in the header.
"""
import datetime
import sys

import dbf


def dump(path, codepage="cp852"):
    table = dbf.Table(path, codepage=codepage)
    table.open(dbf.READ_ONLY)
    print("|".join(table.structure()))
    live = [record for record in table if not dbf.is_deleted(record)]
    print(len(table), len(live))
    for record in live:
        cells = []
        for value in record:
            if value is None:
                cells.append("")
            elif isinstance(value, str):
                cells.append(value.rstrip())
            else:
                cells.append(str(value))
        print("\t".join(cells))
    table.close()


def write(path, codepage="cp852"):
    table = dbf.Table(path, "NEV C(25); SZULI D; ALAPDIJ N(10,5); DB N(5,0)",
                      codepage=codepage, dbf_type="db3")
    table.open(dbf.READ_WRITE)
    table.append(("Árvíztűrő tükörfúrógép", datetime.date(2024, 2, 29), 1234.56789, 42))
    table.append(("ŐŰ őű", datetime.date(1895, 1, 1), -0.5, 0))
    table.close()


if __name__ == "__main__":
    mode, *codepage = sys.argv[1].split(":")
    for path in sys.argv[2:]:
        {"dump": dump, "write": write}[mode](path, *codepage)
