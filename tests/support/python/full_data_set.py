#!/usr/bin/python3
"""The fund's complete data set for the import's tests, written independently
of the program (Debian's python3-dbf, dBASE III, code page 852).

  full_data_set.py OUTDIR VARIANT [INTKOD]

writes HAa1234.dbf, HAb1234.dbf and HAc1234.dbf into OUTDIR/src and packs
them into OUTDIR/Telj1234.arj with the archiver (or, for member names the
archiver never stores, byte by byte). VARIANT "good" is a sound set;
"cp1250" the same set in Windows 1250 (marked 0xC8 in the headers), its
frequency "heti öt alkalom"; every other variant spoils it in one way (see
VARIANTS).
"""
import datetime
import os
import struct
import subprocess
import sys
import zlib

import dbf

INTKOD = "1234"
D = datetime.date

HAA = ("KABKOD C(4); FINKOD C(9); SORSZAM N(5,0); RESZ C(1); IDOSZAK C(6); ORVKODE N(6,0); "
       "ORVKODJ N(6,0); ORVTIP C(1); TAJ C(9); KOZIGKOD C(7); TERPOT N(1,0); CIM C(25); NEME C(1); "
       "SZULIDO D; AZTIP C(1); TERKAT C(2); ALLAMP C(3); ELREND D; SZAKVET D; ELVIZDB N(3,0); "
       "GYAK C(15); ELSZVIZ N(3,0); ELSZAM N(3,0); LEZDAT D; APTAJ1 C(9); APTAJ2 C(9); APTAJ3 C(9); "
       "APTAJ4 C(9); APTAJ5 C(9); APTAJ6 C(9); APTAJ7 C(9); APTAJ8 C(9); ONAPDB N(3,0); "
       "MODIDO C(6); MODTIPUS C(1)")
HAB = ("KABKOD C(4); FINKOD C(9); SORSZAM N(5,0); RESZ C(1); IDOSZAK C(6); TEVKOD C(8); "
       "APDATUM D; APBTAJ C(9); ELSZIDO C(7)")
HAC = "KABKOD C(4); FINKOD C(9); SORSZAM N(5,0); RESZ C(1); IDOSZAK C(6); BNOTIP N(1,0); BNOKOD C(5)"


def sheet(sorsz, resz, idoszak, onapdb, **more):
    row = dict(KABKOD=INTKOD, FINKOD="987654321", SORSZAM=sorsz, RESZ=resz, IDOSZAK=idoszak,
               ORVKODE=1234, ORVKODJ=0, ORVTIP="", TAJ="12345678", KOZIGKOD="1234567", TERPOT=1,
               CIM="Fő utca 1.", NEME="2", SZULIDO=D(1940, 5, 6), AZTIP="1", TERKAT="01",
               ALLAMP="HUN", ELREND=D(2024, 1, 2), SZAKVET=D(2024, 1, 3), ELVIZDB=50,
               GYAK="heti öt", ELSZVIZ=0, ELSZAM=1, LEZDAT=None, APTAJ1="123456788",
               ONAPDB=onapdb, MODIDO=idoszak, MODTIPUS="")
    row.update(more)
    return row


def visit(sorsz, resz, idoszak, day, elszido="", **more):
    row = dict(KABKOD=INTKOD, FINKOD="987654321", SORSZAM=sorsz, RESZ=resz, IDOSZAK=idoszak,
               TEVKOD="1", APDATUM=D(int(idoszak[:4]), int(idoszak[4:]), day), APBTAJ="123456788",
               ELSZIDO=elszido)
    row.update(more)
    return row


def diagnosis(sorsz, resz, idoszak, bnotip, bnokod):
    return dict(KABKOD=INTKOD, FINKOD="987654321", SORSZAM=sorsz, RESZ=resz, IDOSZAK=idoszak,
                BNOTIP=bnotip, BNOKOD=bnokod)


def good():
    haa = [
        # A series of 2024 of 20 + 20 + 10 days: all three parts get the full-series mark.
        sheet(10, "A", "202404", 20), sheet(10, "B", "202405", 20),
        sheet(10, "C", "202406", 10, ORVTIP="2", TERPOT=2, ORVKODJ=4321),
        # 20 + 20: no mark.
        sheet(11, "A", "202405", 20), sheet(11, "B", "202406", 20),
        # A patient without a TAJ number, taken over (older than three months).
        sheet(12, "", "202402", 1, AZTIP="0", TAJ=""),
        sheet(14, "", "202403", 2),
        # 25 + 25 of an earlier year: no mark.
        sheet(13, "A", "202305", 25), sheet(13, "B", "202306", 25, ORVKODE=123456),
    ]
    hab = [visit(11, "B", "202406", 3, "2024.06"), visit(11, "B", "202406", 4, "2024.06"),
           visit(14, "", "202403", 5, "2024.03"), visit(14, "", "202403", 6, "2024.03", TEVKOD="5"),
           visit(12, "", "202402", 29),
           visit(99, "", "202406", 1)]  # no header: still a visit row
    hac = [diagnosis(14, "", "202403", t, c) for t, c in ((1, "C1510"), (2, "C1620"), (3, "I1000"), (4, "E1190"))]
    hac += [diagnosis(10, "C", "202406", 2, "C5000"), diagnosis(98, "", "202406", 2, "C1000")]
    return {"HAa": (HAA, haa), "HAb": (HAB, hab), "HAc": (HAC, hac)}


def without_field(layout, field):
    return "; ".join(p for p in layout.split("; ") if not p.startswith(field + " "))


def spoil(variant, files):
    haa, hab, hac = files["HAa"][1], files["HAb"][1], files["HAc"][1]
    if variant == "missing-field":
        files["HAa"] = (without_field(HAA, "ONAPDB"), haa)
        for r in haa:
            del r["ONAPDB"]
    elif variant == "wrong-type":
        files["HAb"] = (HAB.replace("APDATUM D", "APDATUM C(8)"), hab)
        for r in hab:
            r["APDATUM"] = r["APDATUM"].strftime("%Y%m%d")
    elif variant == "other-month":
        hab[0]["APDATUM"] = D(2024, 5, 31)
    elif variant == "bad-period":
        haa[3]["IDOSZAK"] = "202413"
    elif variant == "duplicate":
        hab.append(visit(14, "", "202403", 5))
    elif variant == "empty-taj":
        haa[0]["TAJ"] = ""
    elif variant == "too-wide":
        files["HAb"] = (HAB.replace("TEVKOD C(8)", "TEVKOD C(10)"), hab)
        hab[1]["TEVKOD"] = "1234567890"
    elif variant == "foreign":
        for r in haa:
            r["KABKOD"] = "9999"
    elif variant == "cp1250":
        for r in haa:
            r["GYAK"] = "heti öt alkalom"


VARIANTS = ["good", "cp1250", "missing-field", "wrong-type", "other-month", "bad-period", "duplicate",
            "empty-taj", "too-wide", "foreign", "truncated", "cyrillic", "wrong-members", "extra-member", "dotdot"]


def write_table(path, layout, rows, codepage="cp852"):
    table = dbf.Table(path, layout, codepage=codepage, dbf_type="db3")
    table.open(dbf.READ_WRITE)
    names = table.field_names
    for row in rows:
        table.append(tuple(row.get(n.upper()) for n in names))
    table.close()


def crc_header(basic):
    return struct.pack("<HH", 0xEA60, len(basic)) + basic + struct.pack("<IH", zlib.crc32(basic), 0)


def fixed_part(kind, size, crc):
    stamp = ((40 << 9) | (1 << 5) | 1) << 16
    return bytes([30, 11, 1, 2, 0, 0, kind, 0]) + struct.pack("<IIIIHHH", stamp, size, size, crc, 0,
                                                            0 if kind == 2 else 0o644, 0)


def craft_archive(path, members):
    """Stored members under the names given, as they are."""
    out = crc_header(fixed_part(2, 0, 0) + b"crafted.arj\0\0")
    for name, data in members:
        out += crc_header(fixed_part(0, len(data), zlib.crc32(data)) + name.encode() + b"\0\0") + data
    out += struct.pack("<HH", 0xEA60, 0)
    with open(path, "wb") as f:
        f.write(out)


def main(outdir, variant):
    src = os.path.join(outdir, "src")
    os.makedirs(src, exist_ok=True)
    files = good()
    spoil(variant, files)
    names = []
    for prefix, (layout, rows) in files.items():
        name = prefix + INTKOD + ".dbf"
        write_table(os.path.join(src, name), layout, rows, "cp1250" if variant == "cp1250" else "cp852")
        names.append(name)
    if variant == "truncated":
        path = os.path.join(src, names[1])
        os.truncate(path, os.path.getsize(path) - 30)
    if variant == "cyrillic":
        # The diagnoses marked as Windows 1251, a code page the program does not read.
        with open(os.path.join(src, names[2]), "r+b") as f:
            f.seek(29)
            f.write(bytes([0xC9]))
    archive = os.path.join(outdir, "Telj" + INTKOD + ".arj")
    if variant == "wrong-members":
        os.rename(os.path.join(src, names[2]), os.path.join(src, "HAd" + INTKOD + ".dbf"))
        names[2] = "HAd" + INTKOD + ".dbf"
    if variant == "extra-member":
        with open(os.path.join(src, "olvass.txt"), "w") as f:
            f.write("-")
        names.append("olvass.txt")
    if variant == "dotdot":
        members = [(n, open(os.path.join(src, n), "rb").read()) for n in names] + [("../x", b"evil")]
        craft_archive(archive, members)
        return
    subprocess.run(["arj", "a", "-e", "-y", archive] + names, cwd=src, check=True,
                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL)


if __name__ == "__main__":
    if len(sys.argv) > 3:
        INTKOD = sys.argv[3]  # the provider of the installation it is read into
    main(sys.argv[1], sys.argv[2])
