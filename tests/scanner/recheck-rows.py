#!/usr/bin/env python3
"""Checks each row the fresh-prefix scan reported, without our code: the
registry through "wine64 reg query", files through the prefix's dosdevices.
Arguments: the rows file (category, value flag, key path, value name, data;
tab-separated). Exits 1 when a row does not hold up."""
import os
import subprocess
import sys

PREFIX = os.environ["WINEPREFIX"]
FONTS_KEY = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"


def reg_query(key, value=None):
    args = ["wine64", "reg", "query", key]
    if value is not None:
        args += ["/ve"] if value == "" else ["/v", value]
    done = subprocess.run(args, capture_output=True, timeout=120)
    return done.returncode, done.stdout.decode("utf-8", "replace").replace("\r", "")


def value_data(output):
    """The data of the one value line of a /v or /ve query."""
    for line in output.splitlines():
        parts = line.strip().split("    ")
        if len(parts) >= 2 and parts[1].startswith("REG_"):
            return parts[2] if len(parts) > 2 else ""
    return None


def host_file_exists(windows_path):
    """Resolves C:\\a\\b through dosdevices, ignoring letter case as Wine does."""
    if len(windows_path) < 3 or windows_path[1] != ":":
        return None
    path = os.path.join(PREFIX, "dosdevices", windows_path[0].lower() + ":")
    for part in [p for p in windows_path[3:].split("\\") if p]:
        if not os.path.isdir(path):
            return False
        matches = [n for n in os.listdir(path) if n.lower() == part.lower()]
        if not matches:
            return False
        path = os.path.join(path, matches[0])
    return os.path.exists(path)


def check(row):
    category, is_value, key, name, data = row
    category = int(category)
    code, out = reg_query(key)
    if code != 0:
        return "key does not exist"
    if category == 15:
        # Only the key's own name (or nothing) when it holds no value and no subkey.
        lines = [l.strip() for l in out.splitlines() if l.strip() and l.strip().lower() != key.lower()]
        return None if not lines else "key is not empty: %r" % lines
    if category == 4:
        code, out = reg_query(key, name)
        if code != 0 or value_data(out) != data:
            return "value or data differ"
        windows = host_file_exists("C:\\windows\\Fonts\\" + data)
        return "font file exists" if windows else None
    if category == 7:
        code, out = reg_query(key, name)
        if code != 0 or value_data(out) != data:
            return "ImagePath differs"
        return "image file exists" if host_file_exists(data) is not False else None
    if category == 9 and key.lower().endswith("\\curver"):
        code, out = reg_query(key, "")
        if code != 0 or value_data(out) != data:
            return "CurVer data differs"
        code, _ = reg_query("HKEY_CLASSES_ROOT\\" + data)
        return "the named ProgID exists" if code == 0 else None
    return "row of an unexpected kind"


def main():
    failures = 0
    with open(sys.argv[1], encoding="utf-8") as rows:
        for line in rows:
            row = line.rstrip("\n").split("\t")
            if len(row) != 5:
                continue
            problem = check(row)
            print(("FAIL " + problem + ": " if problem else "ok: ") + " | ".join(row))
            failures += problem is not None
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
