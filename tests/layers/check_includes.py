#!/usr/bin/env python3
"""Checks every #include of the sources against the layer table src/layers.txt.

  check_includes.py ROOT        checks ROOT/src, ROOT/tests, ROOT/tools,
                                ROOT/bench and ROOT/fuzz; exit 1 with one line
                                per offending include
  check_includes.py --self-test runs the check on small trees, one with an
                                upward include, and fails when it is not found

A file in src/<folder> may include files of its own folder and of the folders
its line names, and of what those name in turn. A folder not marked "qt" may
include no Qt header. Tests follow the folder they test (tests/store is held
to what src/store may use) and may include their fixtures (tests/support);
tools, benchmarks and fuzz targets may use every logic folder and the painting
folders (marked "qt" but using no window folder, such as the reports'
renderer) but no window, and no Qt header of their own;
the window benchmarks (bench/ui) may use every folder, Qt and the headers
of bench/.
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


def check(root):
    layers = read_layers(os.path.join(root, "src", "layers.txt"))
    logic = sorted(f for f, (_, qt) in layers.items() if not qt)
    everything_logic = set().union(*(closure(layers, f) for f in logic))
    problems = []

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

    tests = os.path.join(root, "tests")
    for path in sources(tests):
        rel = os.path.relpath(path, root)
        sub = os.path.relpath(os.path.dirname(path), tests)
        if sub == "support":
            judge(path, rel, everything_logic, False, True)
        elif sub.startswith("support/ui"):
            judge(path, rel, closure(layers, "widgets") | everything_logic, True, True)
        else:
            folder = layer_of(layers, sub)
            if folder is None:
                problems.append(f"{rel}: tests a folder that is not in src/layers.txt")
                continue
            judge(path, rel, closure(layers, folder), layers[folder][1], True)

    everything = set().union(*(closure(layers, f) for f in layers))
    painting = {f for f, (_, qt) in layers.items() if qt and "widgets" not in closure(layers, f)}
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
    sound = {
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
    ]:
        files = dict(sound)
        files[rel] = text
        found = check(tree(files))
        if not any(want in p and rel in p for p in found):
            failures.append(f"{rel} ({text.strip()}) was not refused; found: {found}")
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
        print(f"{len(problems)} include(s) against src/layers.txt")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
