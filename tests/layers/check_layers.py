#!/usr/bin/env python3
"""Keeps the layers: each folder includes and links only the folders below it, and only the view and
the button reach Qt Gui or Widgets.

    check_layers.py ROOT [--qt-include DIR ...]       check the tree; exit 1 listing each breach
    check_layers.py ROOT --self-test [--qt-include DIR ...]  plant one breach of each kind, expect each found

A quoted include names its folder by its first path parts ("tally/TallyLink.h" is tally, "sources/
backends/Source.h" is sources/backends); tests and benchmarks follow the rules of the folder they
mirror. Qt Gui and Widgets headers are known by the files of the QtGui and QtWidgets include folders
given with --qt-include (and always by a QtGui/ or QtWidgets/ prefix).
"""
import os
import re
import sys

# What each folder may include and link, besides itself. Read top to bottom: a folder sees only the
# ones above it in this table.
BELOW = {
    'core': [],
    'vb': ['core'],
    'base': ['vb', 'core'],
    'localdb': ['base', 'vb', 'core'],
    'tally': ['localdb', 'base', 'vb', 'core'],
    'sources/backends': ['vb', 'core'],
    # The readers of one file kind each: over what the backends share, never over one another.
    'sources/backends/xls': ['sources/backends', 'vb', 'core'],
    'sources/backends/xlsx': ['sources/backends', 'vb', 'core'],
    'sources/backends/text': ['sources/backends', 'vb', 'core'],
    'sources/backends/access': ['sources/backends', 'vb', 'core'],
    'sources/backends/odbc': ['sources/backends', 'vb', 'core'],
    'sources': ['sources/backends', 'localdb', 'base', 'vb', 'core'],
    'masters': ['tally', 'sources', 'sources/backends', 'localdb', 'base', 'vb', 'core'],
    'staging': ['tally', 'sources', 'sources/backends', 'localdb', 'base', 'vb', 'core'],
    'vouchers': ['staging', 'tally', 'sources', 'sources/backends', 'localdb', 'base', 'vb', 'core'],
    'app/startup': ['base', 'vb', 'core'],
    'app/commands': ['vouchers', 'masters', 'staging', 'tally', 'sources', 'sources/backends', 'localdb', 'base',
                     'vb', 'core'],
    'controls/button': ['base', 'vb', 'core'],
    'app/view': ['app/commands', 'controls/button', 'vouchers', 'masters', 'staging', 'tally', 'sources',
                 'sources/backends', 'localdb', 'base', 'vb', 'core'],
    # main.cpp: the program itself, over everything.
    'app': ['app/view', 'app/commands', 'app/startup', 'controls/button', 'vouchers', 'masters', 'staging', 'tally',
            'sources', 'sources/backends', 'localdb', 'base', 'vb', 'core'],
    # The simulated server is plain C++ on purpose: it shares nothing with the program it answers.
    'tally-sim': [],
    'fuzz': ['tally', 'sources/backends/xls', 'sources/backends/xlsx', 'sources/backends/text',
             'sources/backends/access', 'sources/backends', 'localdb', 'base', 'vb', 'core'],
    # Test helpers: the doubles of the service interfaces and the entry points.
    'support': ['base', 'vb', 'core'],
    # The simulator's tests drive it with the program's own link as the client.
    'tools': ['tally-sim', 'tally', 'localdb', 'base', 'vb', 'core', 'support'],
}
GUI_FOLDERS = {'app/view', 'controls/button', 'app', 'support'}
# Every test and benchmark may use the test helpers and the simulated server.
TEST_EXTRAS = ['support', 'tally-sim']
# The file kinds' readers, which the shared backends reach only through the one file that picks a
# backend; tests of what the backends share hold every kind to it.
SOURCE_KINDS = ['sources/backends/xls', 'sources/backends/xlsx', 'sources/backends/text', 'sources/backends/access',
                'sources/backends/odbc']
KIND_PICKER = 'src/sources/backends/Connection.cpp'

LIBRARIES = {
    'quibo_core': 'core', 'quibo_vb': 'vb', 'quibo_base': 'base', 'quibo_localdb': 'localdb',
    'quibo_tally': 'tally', 'quibo_backends': 'sources/backends', 'quibo_sources': 'sources', 'quibo_masters': 'masters',
    'quibo_staging': 'staging', 'quibo_vouchers': 'vouchers', 'quibo_startup': 'app/startup',
    'quibo_commands': 'app/commands', 'quibo_button': 'controls/button', 'quibo_view': 'app/view',
    'quibo_program': 'app', 'tally_sim': 'tally-sim', 'quibo_testsupport': 'support', 'quibo_testmain': 'support',
}
GUI_LIBRARIES = {'Qt6::Gui', 'Qt6::Widgets', 'quibo_testmain_gui'}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
CALL = re.compile(r'\b(quibo_library|quibo_test|target_link_libraries)\s*\(([^)]*)\)', re.S)
SOURCE_ENDINGS = ('.h', '.hpp', '.cpp', '.cc')


def folder_of_path(parts):
    """The folder (a key of BELOW) that path parts below src/, tests/ or bench/ name, or None."""
    for depth in (3, 2, 1):
        key = '/'.join(parts[:depth])
        if len(parts) > depth - 1 and key in BELOW:
            return key
    return None


def folder_of_file(rel):
    """The folder whose rules a repository file follows, or None for files no rule covers."""
    parts = rel.split('/')
    top, rest = parts[0], parts[1:]
    if top == 'src':
        if rest == ['app', 'main.cpp'] or rest == ['CMakeLists.txt']:
            return 'app'
        return folder_of_path(rest[:-1])
    if top in ('tests', 'bench'):
        if top == 'bench' and rest[:1] == ['sim']:
            return 'tools'
        if rest == ['CMakeLists.txt'] or rest[:1] == ['layers']:
            return None
        if top == 'tests' and rest[:1] == ['tools']:
            return 'tools'
        return folder_of_path(rest[:-1]) if len(rest) > 1 else None
    if top == 'tools' and rest[:1] == ['tally-sim']:
        return 'tally-sim'
    if top == 'fuzz':
        return 'fuzz'
    return None


def allowed(folder, is_test, rel=None):
    seen = {folder, *BELOW[folder]}
    if rel == KIND_PICKER:
        seen.update(SOURCE_KINDS)
    if is_test:
        seen.update(TEST_EXTRAS)
        for f in list(seen):
            seen.update(BELOW.get(f, []))
        if 'sources/backends' in seen:
            seen.update(SOURCE_KINDS)
    return seen


def included_folder(path):
    parts = path.split('/')
    if parts[0] == 'tally-sim':
        return 'tally-sim'
    if parts[0] == 'tools' and len(parts) > 1:
        return 'tools'
    return folder_of_path(parts[:-1])


def gui_headers(dirs):
    names = set()
    for d in dirs:
        if os.path.basename(os.path.normpath(d)) in ('QtGui', 'QtWidgets') and os.path.isdir(d):
            names.update(n for n in os.listdir(d) if n.startswith('Q') and '.' not in n)
    return names


def is_gui_header(path, names):
    return path.startswith(('QtGui/', 'QtWidgets/')) or path in names


def tracked_files(root):
    for base, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith('.') and not d.startswith('build')]
        for name in files:
            yield os.path.relpath(os.path.join(base, name), root).replace(os.sep, '/')


def check(root, qt_dirs, plants=None):
    """Breaches as (file, what) pairs. `plants` maps a file to extra lines read as if they stood in it."""
    plants = plants or {}
    gui = gui_headers(qt_dirs)
    breaches = []
    for rel in sorted(tracked_files(root)):
        folder = folder_of_file(rel)
        if folder is None:
            continue
        is_test = rel.startswith(('tests/', 'bench/'))
        ok = allowed(folder, is_test, rel)
        gui_ok = folder in GUI_FOLDERS
        name = os.path.basename(rel)
        with open(os.path.join(root, rel), encoding='utf-8', errors='replace') as f:
            lines = f.read().splitlines() + plants.get(rel, [])
        if name.endswith(SOURCE_ENDINGS):
            for n, line in enumerate(lines, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                kind, path = m.groups()
                if kind == '"':
                    target = included_folder(path)
                    if target is not None and target not in ok:
                        breaches.append((rel, n, 'includes "%s" (%s), above %s' % (path, target, folder)))
                elif not gui_ok and is_gui_header(path, gui):
                    breaches.append((rel, n, 'includes <%s> (Qt Gui or Widgets) outside the view and the button'
                                     % path))
        elif name == 'CMakeLists.txt':
            text = '\n'.join(re.sub(r'#.*', '', l) for l in lines)
            for m in CALL.finditer(text):
                call, args = m.groups()
                tokens = args.split()
                if call in ('quibo_library', 'quibo_test'):
                    if call == 'quibo_test' and 'GUI' in tokens and not gui_ok:
                        breaches.append((rel, 0, 'a GUI test outside the view and the button'))
                    tokens = tokens[tokens.index('LINKS') + 1:] if 'LINKS' in tokens else []
                for token in tokens:
                    if token in GUI_LIBRARIES and not gui_ok:
                        breaches.append((rel, 0, 'links %s outside the view and the button' % token))
                    elif token in LIBRARIES and LIBRARIES[token] not in ok:
                        breaches.append((rel, 0, 'links %s (%s), above %s' % (token, LIBRARIES[token], folder)))
    return breaches


def self_test(root, qt_dirs):
    """Each planted breach must be found, and only it."""
    plants = [
        ('src/base/WorkGrid.cpp', '#include "tally/TallyLink.h"', 'includes "tally/TallyLink.h"'),
        ('src/sources/backends/Source.cpp', '#include "base/WorkGrid.h"', 'includes "base/WorkGrid.h"'),
        ('src/sources/backends/SourceTable.cpp', '#include "sources/backends/xlsx/XlsxSource.h"',
         'includes "sources/backends/xlsx/XlsxSource.h"'),
        ('src/sources/backends/xlsx/ZipArchive.h', '#include "sources/backends/xls/BiffBook.h"',
         'includes "sources/backends/xls/BiffBook.h"'),
        ('src/sources/backends/text/TextSource.cpp', '#include "sources/TableLoader.h"',
         'includes "sources/TableLoader.h"'),
        ('src/sources/backends/odbc/OdbcSource.cpp', '#include "sources/backends/access/AccessSource.h"',
         'includes "sources/backends/access/AccessSource.h"'),
        ('src/sources/backends/SourceCell.cpp', '#include "sources/backends/odbc/OdbcSource.h"',
         'includes "sources/backends/odbc/OdbcSource.h"'),
        ('tests/masters/MasterRunTest.cpp', '#include "app/commands/MainCommands.h"', 'app/commands'),
        ('src/masters/MasterRun.cpp', '#include <QColor>', 'includes <QColor>'),
        ('src/localdb/CMakeLists.txt', 'quibo_library(x SOURCES y.cpp LINKS quibo_tally)', 'links quibo_tally'),
        ('src/base/CMakeLists.txt', 'target_link_libraries(quibo_base PUBLIC Qt6::Gui)', 'links Qt6::Gui'),
    ]
    failed = 0
    for rel, line, expected in plants:
        found = [b for b in check(root, qt_dirs, {rel: [line]}) if b[0] == rel]
        if len(found) != 1 or expected not in found[0][2]:
            print('not caught: %s planted in %s (found %r)' % (line, rel, found))
            failed += 1
    print('%d passed, %d failed' % (len(plants) - failed, failed))
    return 1 if failed else 0


def main(argv):
    args = argv[1:]
    if not args:
        print(__doc__)
        return 2
    root = args[0]
    # --qt-include takes every folder up to the next option.
    qt_dirs, taking = [], False
    for a in args[1:]:
        if a.startswith('--'):
            taking = a == '--qt-include'
        elif taking:
            qt_dirs.extend(d for d in a.split(';') if d)
    if '--self-test' in args:
        return self_test(root, qt_dirs)
    breaches = check(root, qt_dirs)
    for rel, n, what in breaches:
        print('%s%s: %s' % (rel, ':%d' % n if n else '', what))
    if breaches:
        print('%d breach(es) of the layers' % len(breaches))
        return 1
    print('layers kept')
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
