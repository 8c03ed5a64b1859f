#!/usr/bin/env python3
"""import_floor.py OBJDUMP FLOOR MANIFEST EXE   (FLOOR as _WIN32_WINNT: 0x0601)

Fails when the program imports a function or DLL that the oldest supported
Windows lacks (such a call must be looked up at run time, with a fallback),
or when its manifest leaves out a Windows from the floor up or asks for more
than the invoker's rights. Windows XP has every import not named below.
"""
import re
import subprocess
import sys

# Functions newer than XP that the program, its runtime or their next
# changes use, with the first Windows that has each (the "minimum supported
# client" of their documentation).
NEWER_THAN_XP = {
    "GetTickCount64": (6, 0), "InitializeCriticalSectionEx": (6, 0),
    "GetFileInformationByHandleEx": (6, 0), "GetSystemTimePreciseAsFileTime": (6, 2),
    "CreateFile2": (6, 2), "SetDefaultDllDirectories": (6, 2),
    "GetDpiForMonitor": (6, 3), "SetProcessDpiAwareness": (6, 3),
    # Windows 10 1607; the first two are looked up at run time.
    "GetDpiForWindow": (10, 0), "AdjustWindowRectExForDpi": (10, 0),
    "SystemParametersInfoForDpi": (10, 0), "SetThreadDpiAwarenessContext": (10, 0),
}
NEWER_DLLS = {"shcore.dll": (6, 3)}  # and every api-ms-win-* set
SUPPORTED_OS = {
    (6, 0): "e2011457-1546-43c5-a5fe-008deee3d3f0", (6, 1): "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
    (6, 2): "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", (6, 3): "1f676c76-80e1-4239-95bb-83d0f6d0da78",
    (10, 0): "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a",  # 10 and 11
}


def imports(objdump, exe):
    """[(dll, function)] from objdump's listing of the import tables."""
    text = subprocess.run([objdump, "-p", exe], check=True, capture_output=True, text=True).stdout
    found, dll = [], None
    for line in text.splitlines():
        if m := re.match(r"\s*DLL Name: (\S+)", line):
            dll = m.group(1).lower()
            found.append((dll, None))
        elif dll and (m := re.match(r"\s+[0-9a-f]+\s+\d+\s+(\S+)$", line)):
            found.append((dll, m.group(1)))
    return found


def main(objdump, floor_text, manifest, exe):
    floor = divmod(int(floor_text, 16), 0x100)
    faults = []
    table = imports(objdump, exe)
    if ("kernel32.dll", "CreateFileW") not in table:
        faults.append("the import table was not read")
    for dll, function in table:
        need = NEWER_THAN_XP.get(function) if function else NEWER_DLLS.get(dll)
        if function is None and dll.startswith("api-ms-win-"):
            need = (99, 0)
        if need and need > floor:
            faults.append("%s!%s needs Windows %d.%d" % (dll, function or "", *need))
    text = open(manifest, encoding="utf-8").read().lower()
    faults += ["the manifest lacks supportedOS for Windows %d.%d" % v
               for v, guid in SUPPORTED_OS.items() if v >= floor and guid not in text]
    if not re.search(r'requestedexecutionlevel\s+level="asinvoker"', text):
        faults.append('the manifest does not ask for level="asInvoker"')
    for fault in faults:
        print("FAIL: %s; the floor is Windows %d.%d" % (fault, *floor))
    if not faults:
        print("every import and the manifest fit Windows %d.%d and later" % floor)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
