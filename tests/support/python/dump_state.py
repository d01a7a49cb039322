#!/usr/bin/python3
"""What a working directory of the program holds, read by an independent
dBASE reader, as text that two equal states print alike.

    dump_state.py WORKDIR...

For each WORKDIR a block "=== WORKDIR" follows, then, folder by folder
(DATA, DATA/MENT, KULD, and any other folder given by the test below the
working directory), one line per file: a table's rows (deletion mark and
values, read by python3-dbf in code page 852), an archive's members and
whether it tests whole (arj), a PDF's being whole (pdftotext), any other
file's SHA-1. Index files and the
program's own journal are left out: they are derived, or gone once the
directory is opened. Last comes a line naming every leftover of an
interrupted command that is still there (files or folders ending ".uj",
"csere.uj", TEMP's work folders, journals), "leftovers: -" when none.
"""
import hashlib
import os
import subprocess
import sys

import dbf

SKIPPED = ('.mdx', '.jnl', '.jnl.tmp')

# The history's time of day, and the hashes that cover it, differ from run
# to run of the same command; every other field must match.
RUN_TIME_FIELDS = {'elozmeny.dbf': ('ido', 'hash'), 'elozveg.dbf': ('utolso',)}

# The working directory being read: a path into it that a row names (the
# history's note of where a restore came from) reads alike in every one.
WORKDIR = None


def table_rows(path):
    table = dbf.Table(path, codepage='cp852')
    table.open(dbf.READ_ONLY)
    skipped = RUN_TIME_FIELDS.get(os.path.basename(path).lower(), ())
    names = [name.lower() for name in table.field_names]
    try:
        rows = []
        for record in table:
            values = []
            for name, value in zip(names, record):
                if name in skipped:
                    value = '-'
                elif isinstance(value, str):
                    value = value.rstrip()
                    if WORKDIR:
                        value = value.replace(WORKDIR, '<WORKDIR>')
                values.append(repr(value))
            rows.append(('*' if dbf.is_deleted(record) else ' ') + '|'.join(values))
        return str(len(table)) + ' rows: ' + ' / '.join(rows)
    finally:
        table.close()


def archive_state(path):
    listed = subprocess.run(['arj', 'l', path], stdin=subprocess.DEVNULL, capture_output=True, text=True,
                            encoding='latin-1')
    tested = subprocess.run(['arj', 't', path], stdin=subprocess.DEVNULL, capture_output=True)
    members = sorted(line.split()[0] for line in listed.stdout.splitlines()
                     if line.lower().endswith(('.dbf',)) or '.dbf ' in line.lower())
    return 'arj ' + ('whole' if tested.returncode == 0 else 'BROKEN') + ' ' + ','.join(members)


def file_state(path):
    lower = path.lower()
    if lower.endswith('.dbf'):
        try:
            return table_rows(path)
        except Exception as error:  # a table another reader cannot read is a state of its own
            return 'unreadable table: ' + type(error).__name__
    if lower.endswith('.arj'):
        return archive_state(path)
    if lower.endswith('.pdf'):
        # Its print time differs from run to run; what matters is that it is whole.
        read = subprocess.run(['pdftotext', path, '-'], stdin=subprocess.DEVNULL, capture_output=True)
        return 'pdf ' + ('whole' if read.returncode == 0 else 'BROKEN')
    with open(path, 'rb') as f:
        return 'sha1 ' + hashlib.sha1(f.read()).hexdigest()


def folder_lines(root, folder):
    path = os.path.join(root, folder)
    if not os.path.isdir(path):
        return [folder + ': none']
    lines = []
    for name in sorted(os.listdir(path), key=str.lower):
        full = os.path.join(path, name)
        if os.path.isdir(full) or name.lower().endswith(SKIPPED) or name.endswith('.uj'):
            continue
        lines.append(folder + '/' + name + ': ' + file_state(full))
    return lines


def leftovers(root):
    found = []
    for here, dirs, files in os.walk(root):
        for name in dirs + files:
            rel = os.path.relpath(os.path.join(here, name), root)
            if name.endswith('.uj') or name.upper().startswith('VELMORA') and '.JNL' in name.upper():
                found.append(rel)
            elif os.path.basename(here) == 'TEMP' and name.startswith('visszatoltes-'):
                found.append(rel)
    return sorted(found)


def main():
    global WORKDIR
    for root in sys.argv[1:]:
        print('=== ' + root)
        WORKDIR = os.path.abspath(root)
        folders = ['DATA', 'DATA/MENT', 'KULD']
        folders += sorted(name for name in os.listdir(root)
                          if os.path.isdir(os.path.join(root, name)) and name.startswith('OUT'))
        for folder in folders:
            for line in folder_lines(root, folder):
                print(line)
        print('leftovers: ' + (' '.join(leftovers(root)) or '-'))


if __name__ == '__main__':
    main()
