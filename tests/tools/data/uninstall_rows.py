#!/usr/bin/env python3
"""Derives the uninstall manager's rows from the output of
    reg query HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall /s
(argument 1) and writes their display names, one a line, to argument 2.
Argument 3 "all" lists Windows updates too."""
import sys

ROOT = 'HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\'
raw = open(sys.argv[1], 'rb').read()
text = raw.decode('utf-16') if raw[:2] in (b'\xff\xfe', b'\xfe\xff') else raw.decode('latin-1')
show_updates = len(sys.argv) > 3 and sys.argv[3] == 'all'

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

rows = []
for name, values in entries:
    if not show_updates and (name.startswith('KB') or name.startswith('Microsoft Security Patch')):
        continue
    no_remove = values.get('noremove')
    if no_remove and no_remove[0] == 'REG_DWORD' and int(no_remove[1], 16) == 1:
        continue
    display = values.get('displayname')
    if display and display[0] in ('REG_SZ', 'REG_EXPAND_SZ'):
        rows.append(display[1])
with open(sys.argv[2], 'w', encoding='utf-8') as f:
    for row in rows:
        f.write(row + '\n')
