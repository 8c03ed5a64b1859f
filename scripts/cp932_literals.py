#!/usr/bin/env python3
"""Copies C++ sources with every non-ASCII character inside a string or
character literal written as octal escapes of its code page 932 bytes.

clang takes only UTF-8 as its execution character set, so this stands in for
g++'s -fexec-charset=CP932 when the core is built with clang (the fuzzers).
Comments and the rest of the text are copied unchanged.

usage: cp932_literals.py SRC_ROOT DST_ROOT DIR...
"""
import pathlib
import sys


def convert(text: str) -> str:
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(text[i:j])
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j])
            i = j
        elif c in "\"'" and not (c == "'" and i > 0 and text[i - 1].isalnum()
                                 and text[i - 1] not in "LuU8"):
            out.append(c)
            i += 1
            while i < n and text[i] != c:
                if text[i] == "\\":
                    out.append(text[i:i + 2])
                    i += 2
                elif ord(text[i]) > 0x7F:
                    out.extend("\\%03o" % b for b in text[i].encode("cp932"))
                    i += 1
                else:
                    out.append(text[i])
                    i += 1
            out.append(c)
            i += 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main() -> None:
    src, dst = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    for folder in sys.argv[3:]:
        for path in sorted((src / folder).rglob("*")):
            if path.suffix not in (".cpp", ".h"):
                continue
            target = dst / path.relative_to(src)
            target.parent.mkdir(parents=True, exist_ok=True)
            converted = convert(path.read_text(encoding="utf-8"))
            if not target.exists() or target.read_text(encoding="utf-8") != converted:
                target.write_text(converted, encoding="utf-8")


if __name__ == "__main__":
    main()
