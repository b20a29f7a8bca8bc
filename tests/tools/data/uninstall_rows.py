#!/usr/bin/env python3
"""Derives the uninstall manager's rows from the outputs of
    reg query HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall /s /reg:NN
for each registry view it lists, in list order, and writes their display
names, one a line, to OUT. --all lists Windows updates too.
    uninstall_rows.py [--all] OUT QUERY..."""
import sys

ROOT = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'
args = sys.argv[1:]
show_updates = args[0] == '--all'
if show_updates:
    args = args[1:]
out, queries = args[0], args[1:]


def entries_of(path):
    raw = open(path, 'rb').read()
    text = raw.decode('utf-16') if raw[:2] in (b'\xff\xfe', b'\xfe\xff') else raw.decode('latin-1')
    entries = []  # (subkey, {name: (type, data)})
    current = None
    for line in text.splitlines():
        if line.startswith('HKEY_'):
            current = None
            if line.upper().startswith(ROOT.upper()) and '\\' not in line[len(ROOT):]:
                current = {}
                entries.append((line[len(ROOT):], current))
        elif current is not None and line.startswith('    '):
            parts = line.strip().split('    ', 2)
            if len(parts) >= 2:
                current[parts[0].lower()] = (parts[1], parts[2] if len(parts) > 2 else '')
    return entries


rows = []
for query in queries:
    for name, values in entries_of(query):
        if not show_updates and (name.startswith('KB') or name.startswith('Microsoft Security Patch')):
            continue
        no_remove = values.get('noremove')
        if no_remove and no_remove[0] == 'REG_DWORD' and int(no_remove[1], 16) == 1:
            continue
        display = values.get('displayname')
        if display and display[0] in ('REG_SZ', 'REG_EXPAND_SZ'):
            rows.append(display[1])
with open(out, 'w', encoding='utf-8') as f:
    for row in rows:
        f.write(row + '\n')
