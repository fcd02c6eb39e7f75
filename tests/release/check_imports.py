#!/usr/bin/python3
"""Checks that Windows programs import only what their oldest systems export.

    check_imports.py TABLE PROGRAM...

Reads each program's import table with pefile and looks every imported function up in TABLE
(tests/release/imports.tsv). Prints one line for each function that the table lacks, that is
imported by ordinal, or that the oldest supported system of a family does not export, naming
the program, the DLL and the function; exits 1 if there was any, else prints a summary and
exits 0. Windows resolves every import before the program's first instruction, so one missing
export is the loader's "entry point not found" box instead of the setup.
"""
import sys

import pefile

OLDEST = {"9x": "98", "nt": "2000"}
ORDER = {
    "9x": ["95", "98", "98SE", "ME"],
    "nt": ["3.1", "3.5", "3.51", "4.0", "2000", "XP", "2003", "Vista", "7", "8", "8.1", "10"],
}
FAMILY_NAME = {"9x": "Windows 9x", "nt": "Windows NT"}


def read_table(path):
    table = {}
    for number, line in enumerate(open(path, encoding="utf-8"), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.rstrip("\n").split("\t")
        if len(fields) != 5:
            sys.exit(f"{path}:{number}: expected 5 tab-separated fields, found {len(fields)}")
        dll, function, first_9x, first_nt, source = fields
        for family, first in (("9x", first_9x), ("nt", first_nt)):
            if first != "-" and first not in ORDER[family]:
                sys.exit(f"{path}:{number}: unknown {family} version {first!r}")
        if not source:
            sys.exit(f"{path}:{number}: no source")
        table[(dll.lower(), function)] = {"9x": first_9x, "nt": first_nt}
    return table


def problems_of(first_by_family):
    """Why a function with these first versions is not on every oldest system; empty if it is."""
    found = []
    for family, oldest in OLDEST.items():
        first = first_by_family[family]
        if first == "-":
            found.append(f"not exported by {FAMILY_NAME[family]}")
        elif ORDER[family].index(first) > ORDER[family].index(oldest):
            found.append(f"first on {FAMILY_NAME[family]} {first}, newer than {oldest}")
    return found


def imports_of(path):
    image = pefile.PE(path, fast_load=True)
    image.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"]])
    for entry in getattr(image, "DIRECTORY_ENTRY_IMPORT", []):
        dll = entry.dll.decode("ascii").lower()
        for imported in entry.imports:
            name = imported.name.decode("ascii") if imported.name else None
            yield dll, name, imported.ordinal


def main(argv):
    if len(argv) < 3:
        sys.exit(__doc__)
    table = read_table(argv[1])
    failures = 0
    checked = 0
    for program in argv[2:]:
        label = program.rsplit("/", 1)[-1]
        for dll, name, ordinal in imports_of(program):
            checked += 1
            if name is None:
                found = [f"imported by ordinal {ordinal}, which no table can vouch for"]
            elif (dll, name) not in table:
                found = ["missing from the table"]
            else:
                found = problems_of(table[(dll, name)])
            for problem in found:
                failures += 1
                print(f"  {label}: {dll} {name or ordinal}: {problem}")
    if failures:
        return 1
    programs = len(argv) - 2
    print(f"  {checked} imports of {programs} program{'s' * (programs != 1)}, every one exported by "
          f"Windows {OLDEST['9x']} and Windows {OLDEST['nt']}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
