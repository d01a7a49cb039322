#!/usr/bin/python3
"""Reads a saved list back the way a spreadsheet would, independently of
the program: an .xlsx with Debian's python3-openpyxl, a .csv with Python's
csv module. Prints one line per fact, for the tests to compare:

  read_table.py xlsx FILE
    sheet<TAB>NAME
    freeze<TAB>CELL            (the first cell below the frozen panes)
    width<TAB>COLUMN<TAB>W     (W as Excel stores it)
    then per row a line of cells separated by TAB, each as
      h:TEXT:bold|plain        a heading (row 1)
      s:TEXT                   text
      n:VALUE:FORMAT           a number, VALUE printed with the decimals its
                               format shows
      d:YYYY.MM.DD:FORMAT      a date (a datetime in the cell)
      e                        empty
  read_table.py csv FILE
    bom<TAB>yes|no, crlf<TAB>yes|no (every line end is CRLF)
    then per row its cells separated by TAB

Tabs, line breaks and backslashes inside a text are written \\t, \\n, \\r,
\\\\.
"""
import csv
import datetime
import io
import sys

import openpyxl
from openpyxl.utils import get_column_letter


def escaped(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t")
            .replace("\n", "\\n").replace("\r", "\\r"))


def decimals_of(number_format):
    if "." not in number_format:
        return 0
    return len(number_format.split(".", 1)[1].rstrip(";@"))


def cell_text(cell, heading):
    v = cell.value
    if heading:
        return "h:%s:%s" % (escaped(str(v)), "bold" if cell.font.b else "plain")
    if v is None:
        return "e"
    if isinstance(v, datetime.datetime):
        return "d:%s:%s" % (v.strftime("%Y.%m.%d"), cell.number_format)
    if isinstance(v, (int, float)) and not isinstance(v, bool):
        return "n:%.*f:%s" % (decimals_of(cell.number_format), v, cell.number_format)
    return "s:" + escaped(str(v))


def read_xlsx(path):
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    print("sheet\t" + sheet.title)
    print("freeze\t%s" % sheet.freeze_panes)
    for i in range(1, sheet.max_column + 1):
        letter = get_column_letter(i)
        print("width\t%s\t%s" % (letter, sheet.column_dimensions[letter].width))
    for r, row in enumerate(sheet.iter_rows(), start=1):
        print("\t".join(cell_text(c, r == 1) for c in row))


def read_csv(path):
    raw = open(path, "rb").read()
    print("bom\t" + ("yes" if raw.startswith(b"\xef\xbb\xbf") else "no"))
    # Line ends outside quoted cells; a quoted cell may hold its own breaks.
    ends, quoted = [], False
    for i, b in enumerate(raw):
        if b == ord('"'):
            quoted = not quoted
        elif b == ord("\n") and not quoted:
            ends.append(raw[i - 1:i] == b"\r")
    print("crlf\t" + ("yes" if ends and all(ends) else "no"))
    text = raw.decode("utf-8-sig")
    for row in csv.reader(io.StringIO(text, newline=""), delimiter=";"):
        print("\t".join(escaped(c) for c in row))


if __name__ == "__main__":
    {"xlsx": read_xlsx, "csv": read_csv}[sys.argv[1]](sys.argv[2])
