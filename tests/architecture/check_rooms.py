#!/usr/bin/env python3
"""Checks every #include "..." of the program against the table of rooms.

A room (a top-level folder with its own library) may include its own headers
and those of the rooms below it: the rooms rooms.txt names for it, and theirs
in turn. Anything else is reported as file:line, and the exit status is 1.

    check_rooms.py SOURCE_DIR     check the tree
    check_rooms.py --self-test    check that the checker catches what it must
"""
import pathlib
import re
import sys
import tempfile

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SOURCES = ('.h', '.hpp', '.cpp')


def read_table(path):
    """The rooms in table order, each with the rooms it builds on directly.

    A room may only build on rooms named before it, so the table is bottom up
    and has no cycles."""
    table = {}
    problems = []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        line = line.split('#', 1)[0].strip()
        if not line:
            continue
        room, _, uses = line.partition(':')
        room = room.strip()
        for used in uses.split():
            if used not in table:
                problems.append(f'{path.name}:{number}: {room} builds on {used}, which is not a room below it')
        table[room] = uses.split()
    return table, problems


def rooms_below(table):
    """For each room, itself and every room it may include."""
    below = {}
    for room, uses in table.items():  # bottom up, so every used room is done
        allowed = {room}
        for used in uses:
            allowed |= below.get(used, set())  # an unknown room is reported by read_table
        below[room] = allowed
    return below


def check(root):
    root = pathlib.Path(root)
    table, problems = read_table(root / 'rooms.txt')
    below = rooms_below(table)
    top_folders = {p.name for p in root.iterdir() if p.is_dir()}
    for room in table:
        folder = root / room
        if not folder.is_dir():
            problems.append(f'rooms.txt names {room}, but there is no folder {room}/')
            continue
        for source in sorted(folder.rglob('*')):
            if source.suffix not in SOURCES:
                continue
            for number, line in enumerate(source.read_text(errors='replace').splitlines(), 1):
                match = INCLUDE.match(line)
                if not match or '/' not in match.group(1):
                    continue
                target = match.group(1).split('/', 1)[0]
                if target in below[room]:
                    continue
                if target in table:
                    why = f'{target} is not below {room} in rooms.txt'
                elif target in top_folders:
                    why = f'{target}/ is not a room of the program'
                else:
                    continue  # an outside library's header, e.g. "qpdf/QPDF.hh"
                problems.append(f'{source.relative_to(root)}:{number}: includes "{match.group(1)}": {why}')
    return problems


def self_test():
    """The checker on a small tree with one allowed and two forbidden includes."""
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder)
        (root / 'rooms.txt').write_text('# bottom up\nbase:\nmiddle: base\ntop: middle\n')
        files = {
            'base/a.h': '#include <vector>\n#include "base/b.h"\n',
            'middle/m.cpp': '#include "base/a.h"\n#include "top/t.h"\n',
            'top/t.h': '#include "base/a.h"\n#include "middle/m.h"\n#include "tests/x.h"\n',
            'tests/x.h': '',
        }
        for name, text in files.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text)
        expected = [
            'middle/m.cpp:2: includes "top/t.h": top is not below middle in rooms.txt',
            'top/t.h:3: includes "tests/x.h": tests/ is not a room of the program',
        ]
        found = check(root)
        if found != expected:
            print('self-test: expected', expected, 'found', found)
            return 1
        (root / 'rooms.txt').write_text('base: top\ntop:\n')
        if not any('builds on top, which is not a room below it' in p for p in check(root)):
            print('self-test: a table that builds on a room above was not refused')
            return 1
    print('self-test passed')
    return 0


def main(argv):
    if argv[1:] == ['--self-test']:
        return self_test()
    if len(argv) != 2:
        print(__doc__)
        return 2
    problems = check(argv[1])
    for problem in problems:
        print(problem)
    print(f'{len(problems)} forbidden includes' if problems else 'every include goes to a room below')
    return 1 if problems else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
