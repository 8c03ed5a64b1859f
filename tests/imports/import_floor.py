#!/usr/bin/env python3
"""Checks a built tsly.exe against the oldest Windows it is declared for.

  import_floor.py OBJDUMP FLOOR MANIFEST EXE     (FLOOR as in _WIN32_WINNT, 0x0601)

Fails when the import table names a function or DLL that the floor lacks
(such a call must be looked up at run time, with a fallback), and when the
manifest does not list every Windows from the floor up or asks for more than
the invoker's rights. Windows XP has every import not in the table below.
"""
import re
import subprocess
import sys

# The functions newer than Windows XP that the program, its runtime or its
# likely next changes use, with the first Windows that has each (the
# "minimum supported client" of their documentation).
NEWER_THAN_XP = {
    "GetTickCount64": (6, 0),                 # Vista
    "InitializeCriticalSectionEx": (6, 0),    # Vista
    "GetFileInformationByHandleEx": (6, 0),   # Vista
    "GetSystemTimePreciseAsFileTime": (6, 2), # 8
    "CreateFile2": (6, 2),                    # 8
    "SetDefaultDllDirectories": (6, 2),       # 8 (7 only with an update)
    "GetDpiForMonitor": (6, 3),               # 8.1
    "SetProcessDpiAwareness": (6, 3),         # 8.1
    "GetDpiForWindow": (10, 0),               # 10 1607: looked up at run time
    "AdjustWindowRectExForDpi": (10, 0),      # 10 1607: looked up at run time
    "SystemParametersInfoForDpi": (10, 0),    # 10 1607
    "SetThreadDpiAwarenessContext": (10, 0),  # 10 1607
}
NEWER_DLLS = {"shcore.dll": (6, 3)}  # 8.1; api-ms-win-* sets vary by version

SUPPORTED_OS = {  # the manifest's supportedOS ids
    (6, 0): "e2011457-1546-43c5-a5fe-008deee3d3f0",   # Vista
    (6, 1): "35138b9a-5d96-4fbd-8e2d-a2440225f93a",   # 7
    (6, 2): "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",   # 8
    (6, 3): "1f676c76-80e1-4239-95bb-83d0f6d0da78",   # 8.1
    (10, 0): "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",  # 10 and 11
}


def imports(objdump, exe):
    """{dll: [function, ...]} from the import tables."""
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    table, dll = {}, None
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name: (\S+)", line)
        if m:
            dll = m.group(1).lower()
            table[dll] = []
        elif dll and (m := re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)):
            table[dll].append(m.group(1))
    return table


def main(objdump, floor_text, manifest, exe):
    floor = divmod(int(floor_text, 16), 0x100)
    name = lambda v: "%d.%d" % v
    faults = []
    table = imports(objdump, exe)
    if not table.get("kernel32.dll"):
        faults.append("no imports read from %s" % exe)
    for dll, functions in table.items():
        if NEWER_DLLS.get(dll, (0, 0)) > floor or dll.startswith("api-ms-win-"):
            faults.append("%s: the DLL is newer than Windows %s" % (dll, name(floor)))
        for f in functions:
            if NEWER_THAN_XP.get(f, (0, 0)) > floor:
                faults.append("%s!%s needs Windows %s, the floor is %s"
                              % (dll, f, name(NEWER_THAN_XP[f]), name(floor)))
    text = open(manifest, encoding="utf-8").read().lower()
    for version, guid in SUPPORTED_OS.items():
        if version >= floor and guid not in text:
            faults.append("the manifest lacks supportedOS for Windows %s" % name(version))
    if not re.search(r'requestedexecutionlevel\s+level="asinvoker"', text):
        faults.append('the manifest does not ask for level="asInvoker"')
    for fault in faults:
        print("FAIL:", fault)
    if not faults:
        print("every import and the manifest fit Windows %s and later" % name(floor))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
