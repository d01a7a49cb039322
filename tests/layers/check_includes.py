#!/usr/bin/env python3
"""Checks every #include of the sources against the layer table src/layers.txt.

  check_includes.py ROOT        checks ROOT/src, ROOT/tests, ROOT/tools,
                                ROOT/bench and ROOT/fuzz, and the layer tables
                                of ROOT/README.md and ROOT/docs/architecture.md;
                                exit 1 with one line per problem
  check_includes.py --self-test runs the check on small trees, each with one
                                fault, and fails when one is not found

A file in src/<folder> may include files of its own folder and of the folders
its line names, and of what those name in turn. A folder not marked "qt" may
include no Qt header. Tests follow the folder they test (tests/store is held
to what src/store may use) and may include their fixtures (tests/support);
tools, benchmarks and fuzz targets may use every logic folder and the painting
folders (marked "qt" but using no window folder, such as the reports'
renderer) but no window, and no Qt header of their own; so may the tools'
tests (tests/tools). The window tests' fixtures (tests/support/ui) may use the
window kit (widgets) and Qt; the layers' windows started as the program
starts them (tests/support/programs) may use every folder. The window
benchmarks (bench/ui) may use every folder, Qt and the headers of bench/.

The layer tables of the README and the architecture notes are the first
markdown table whose first column is headed "folder". Each row names one
folder of the repository in backticks: `src/<folder>` for a layer, else a
top-level folder such as `tests`. Every folder of src/layers.txt has a row in
both, and every row names a folder that exists (a layer of src/layers.txt, or
a folder of ROOT). One row may stand for several window folders: its folder
is `src/<layer>/ui` and its text names each folder it covers in backticks
(`masterdata/ui`); each must be a window folder `<layer>/ui` of
src/layers.txt.
"""
import os
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
QT_HEADER = re.compile(r'^Q[A-Za-z]*(/|$)|^Qt[A-Z]')


def read_layers(path):
    """folder -> (direct dependencies, uses Qt), in file order."""
    layers = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            folder, rest = words[0], words[1:]
            unknown = [w for w in rest if w != "qt" and w not in layers]
            if unknown:
                raise SystemExit(f"{path}: {folder} uses {', '.join(unknown)}, "
                                 "which is not listed above it")
            layers[folder] = ([w for w in rest if w != "qt"], "qt" in rest)
    return layers


def closure(layers, folder):
    seen, todo = set(), [folder]
    while todo:
        f = todo.pop()
        if f in seen:
            continue
        seen.add(f)
        todo.extend(layers[f][0])
    return seen


def layer_of(layers, relpath):
    """The layer folder a path below src/ belongs to (longest match)."""
    best = None
    for folder in layers:
        if relpath == folder or relpath.startswith(folder + "/"):
            if best is None or len(folder) > len(best):
                best = folder
    return best


def sources(top):
    for base, dirs, files in os.walk(top):
        dirs[:] = sorted(d for d in dirs if not d.startswith(("build", ".")))
        for name in sorted(files):
            if name.endswith((".h", ".cpp")):
                yield os.path.join(base, name)


LAYER_TABLES = ("README.md", os.path.join("docs", "architecture.md"))
GENERIC_ROW = "src/<layer>/ui"
BACKTICKED = re.compile(r"`([^`]+)`")


def table_rows(text):
    """(line, first cell, rest) of the first table headed "folder"."""
    rows, inside = [], False
    for number, line in enumerate(text.splitlines(), 1):
        cells = [c.strip() for c in line.strip().strip("|").split("|")] if line.startswith("|") else None
        if not inside:
            inside = bool(cells) and cells[0].lower() == "folder"
            continue
        if not cells:
            break
        if set(cells[0]) <= set("-: "):
            continue
        rows.append((number, cells[0], " | ".join(cells[1:])))
    return rows


def check_layer_tables(root, layers):
    problems = []
    windows = {f for f in layers if f.endswith("/ui") and f[:-3] in layers}
    for doc in LAYER_TABLES:
        path = os.path.join(root, doc)
        if not os.path.exists(path):
            problems.append(f"{doc}: missing, but it holds a layer table")
            continue
        with open(path, encoding="utf-8") as f:
            rows = table_rows(f.read())
        if not rows:
            problems.append(f'{doc}: no layer table (a table whose first column is headed "folder")')
            continue
        documented = set()
        for line, cell, rest in rows:
            where = f"{doc}:{line}"
            names = BACKTICKED.findall(cell)
            if len(names) != 1:
                problems.append(f"{where}: the row's folder is not one name in backticks: {cell}")
                continue
            name = names[0]
            if name == GENERIC_ROW:
                covered = [n for n in BACKTICKED.findall(rest) if "/" in n]
                if not covered:
                    problems.append(f"{where}: {name} names no folder it stands for")
                for c in covered:
                    if c not in windows:
                        problems.append(f"{where}: {c} is no window folder <layer>/ui of src/layers.txt")
                    documented.add(c)
            elif name.startswith("src/"):
                folder = name[len("src/"):]
                if folder not in layers:
                    problems.append(f"{where}: {name} is not in src/layers.txt")
                documented.add(folder)
            elif not os.path.isdir(os.path.join(root, name)):
                problems.append(f"{where}: {name} is no folder of the repository")
        for folder in layers:
            if folder not in documented:
                problems.append(f"{doc}: src/{folder} of src/layers.txt has no row in its layer table")
    return problems


def check(root):
    layers = read_layers(os.path.join(root, "src", "layers.txt"))
    logic = sorted(f for f, (_, qt) in layers.items() if not qt)
    everything_logic = set().union(*(closure(layers, f) for f in logic))
    problems = check_layer_tables(root, layers)

    def judge(path, rel, allowed, qt_ok, may_include_support, shared_dir=None, painting_ok=frozenset()):
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        here = os.path.dirname(path)
        for m in INCLUDE.finditer(text):
            kind, name = m.group(1), m.group(2)
            line = text.count("\n", 0, m.start()) + 1
            where = f"{rel}:{line}: #include {kind}{name}{'>' if kind == '<' else chr(34)}"
            if kind == "<":
                if QT_HEADER.match(name) and not qt_ok:
                    problems.append(f"{where}: Qt in a logic layer")
                continue
            if name.endswith(".moc") or "/" not in name and any(
                    d and os.path.exists(os.path.join(d, name)) for d in (here, shared_dir)):
                continue
            if name.startswith("support/"):
                if not may_include_support:
                    problems.append(f"{where}: test fixtures outside the tests")
                continue
            target = layer_of(layers, os.path.dirname(name))
            if target is None:
                if not os.path.exists(os.path.join(root, "src", name)):
                    problems.append(f"{where}: no such header in src/")
                continue
            if target not in allowed:
                problems.append(f"{where}: {target} is not below this layer")
            elif layers[target][1] and not qt_ok and target not in painting_ok:
                problems.append(f"{where}: a window layer from a logic layer")

    src = os.path.join(root, "src")
    for path in sources(src):
        rel = os.path.relpath(path, root)
        folder = layer_of(layers, os.path.relpath(os.path.dirname(path), src))
        if folder is None:
            if os.path.dirname(path) == src:  # main.cpp: one call into the top layer
                top = list(layers)[-1]
                judge(path, rel, closure(layers, top), True, False)
            else:
                problems.append(f"{rel}: its folder is not in src/layers.txt")
            continue
        judge(path, rel, closure(layers, folder), layers[folder][1], False)

    everything = set().union(*(closure(layers, f) for f in layers))
    painting = {f for f, (_, qt) in layers.items() if qt and "widgets" not in closure(layers, f)}

    tests = os.path.join(root, "tests")
    for path in sources(tests):
        rel = os.path.relpath(path, root)
        sub = os.path.relpath(os.path.dirname(path), tests)
        if sub == "support":
            judge(path, rel, everything_logic, False, True)
        elif sub == "support/ui":
            judge(path, rel, closure(layers, "widgets") | everything_logic, True, True)
        elif sub == "support/programs":
            judge(path, rel, everything, True, True)
        elif sub == "tools":  # the tools' tests may include the tools' own headers
            judge(path, rel, everything_logic | painting, False, True, os.path.join(root, "tools"),
                  painting_ok=frozenset(painting))
        else:
            folder = layer_of(layers, sub)
            if folder is None:
                problems.append(f"{rel}: tests a folder that is not in src/layers.txt")
                continue
            judge(path, rel, closure(layers, folder), layers[folder][1], True)

    window_bench = os.path.join(root, "bench", "ui")
    for extra in ("tools", "bench", "fuzz"):
        for path in sources(os.path.join(root, extra)):
            if path.startswith(window_bench + os.sep):  # with the data set of bench/
                judge(path, os.path.relpath(path, root), everything, True, False, os.path.dirname(window_bench))
            else:
                judge(path, os.path.relpath(path, root), everything_logic | painting, False, False,
                      painting_ok=frozenset(painting))
    return problems


def self_test():
    def tree(files):
        d = tempfile.mkdtemp(prefix="layers-")
        for rel, text in files.items():
            p = os.path.join(d, rel)
            os.makedirs(os.path.dirname(p), exist_ok=True)
            with open(p, "w", encoding="utf-8") as f:
                f.write(text)
        return d

    table = "db\napp db\nstore app\nstore/paint qt store\nwidgets qt store\nstore/ui qt store widgets\n"

    def layout(*rows):
        return "Intro.\n\n| folder | what |\n|---|---|\n" + "".join(f"| `{r}` | {w} |\n" for r, w in rows) + "\nMore.\n"

    rows = [("src/db", "engine"), ("src/app", "session"), ("src/store", "tables"), ("src/store/paint", "painting"),
            ("src/widgets", "kit"), ("src/<layer>/ui", "windows of a layer (`store/ui`)"), ("tests", "tests")]
    sound = {
        "README.md": layout(*rows),
        "docs/architecture.md": layout(*reversed(rows[:-1])),
        "src/layers.txt": table,
        "src/db/A.h": "#include <string>\n",
        "src/app/B.cpp": '#include "app/B.h"\n#include "db/A.h"\n',
        "src/app/B.h": "",
        "src/store/C.cpp": '#include "db/A.h"\n',
        "src/widgets/W.cpp": '#include <QWidget>\n#include "store/C.h"\n',
        "src/store/C.h": "",
        "src/store/ui/V.cpp": '#include "widgets/W.h"\n#include "store/C.h"\n',
        "src/widgets/W.h": "",
        "src/store/paint/P.cpp": '#include <QPainter>\n#include "store/C.h"\n',
        "src/store/paint/P.h": "",
        "tools/Tool.cpp": '#include "store/paint/P.h"\n#include "store/C.h"\n',
        "tests/app/BTest.cpp": '#include "support/TempDir.h"\n#include "app/B.h"\n',
        "tests/tools/ToolTest.cpp": '#include "support/TempDir.h"\n#include "store/paint/P.h"\n',
        "tests/support/ui/Kit.cpp": '#include <QWidget>\n#include "widgets/W.h"\n',
        "tests/support/programs/Windows.cpp": '#include "support/ui/Kit.h"\n#include "store/ui/V.h"\n',
        "bench/Data.h": "",
        "bench/BenchC.cpp": '#include "Data.h"\n#include "store/C.h"\n',
        "bench/ui/BenchV.cpp": '#include <QWidget>\n#include "Data.h"\n#include "store/ui/V.h"\n',
    }
    failures = []
    if check(tree(sound)):
        failures.append("a sound tree was refused: " + "; ".join(check(tree(sound))))
    for rel, text, want in [
        ("src/app/Up.cpp", '#include "store/C.h"\n', "store is not below this layer"),
        ("src/store/Qt.cpp", "#include <QString>\n", "Qt in a logic layer"),
        ("src/store/Win.cpp", '#include "widgets/W.h"\n', "not below this layer"),
        ("src/widgets/Side.cpp", '#include "store/ui/V.h"\n', "not below this layer"),
        ("tests/db/T.cpp", '#include "app/B.h"\n', "app is not below this layer"),
        ("src/store/Fix.cpp", '#include "support/TempDir.h"\n', "test fixtures outside the tests"),
        ("bench/Win.cpp", '#include "widgets/W.h"\n', "widgets is not below this layer"),
        ("bench/Qt.cpp", "#include <QString>\n", "Qt in a logic layer"),
        ("bench/ui/Fix.cpp", '#include "support/TempDir.h"\n', "test fixtures outside the tests"),
        ("tools/Win.cpp", '#include "store/ui/V.h"\n', "store/ui is not below this layer"),
        ("tools/Qt.cpp", "#include <QPainter>\n", "Qt in a logic layer"),
        ("src/store/Paint.cpp", '#include "store/paint/P.h"\n', "store/paint is not below this layer"),
        ("tests/tools/Win.cpp", '#include "store/ui/V.h"\n', "store/ui is not below this layer"),
        ("tests/tools/Qt.cpp", "#include <QString>\n", "Qt in a logic layer"),
        ("tests/support/ui/Up.cpp", '#include "store/ui/V.h"\n', "store/ui is not below this layer"),
        # The layer tables: a folder left out, a folder gone, a generic row
        # standing for what is no window folder, a top-level folder gone.
        ("README.md", layout(*[r for r in rows if r[0] != "src/store/paint"]),
         "src/store/paint of src/layers.txt has no row"),
        ("docs/architecture.md", layout(*rows[:-1], ("src/gone", "old")), "src/gone is not in src/layers.txt"),
        ("README.md", layout(*rows, ("src/<layer>/ui", "`store/paint`")), "store/paint is no window folder"),
        ("README.md", layout(*rows, ("src/<layer>/ui", "a list without names")), "names no folder"),
        ("README.md", layout(*rows, ("scripts", "scripts")), "scripts is no folder of the repository"),
        ("docs/architecture.md", "No table.\n", "no layer table"),
    ]:
        files = dict(sound)
        files[rel] = text
        found = check(tree(files))
        if not any(want in p and rel in p for p in found):
            shown = text.strip() if "\n" not in text.strip() else f"{len(text.splitlines())} lines"
            failures.append(f"{rel} ({shown}) was not refused for '{want}'; found: {found}")
    for f in failures:
        print("self-test:", f)
    return 1 if failures else 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 64
    problems = check(argv[1])
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} problem(s) against src/layers.txt")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
