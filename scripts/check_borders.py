#!/usr/bin/env python3
"""Holds the source tree to the borders the build states.

The build writes BUILD/layer-borders.txt, one line per part: "dirs: used dirs" (a part's folders
under src/ and the folders of the parts it links). A file of a part may include only headers of its own part and
of the parts it reaches through those links; the engine, the codecs and sys include no Win32 header.
With the build's static libraries at hand, a part's undefined symbols must also be defined in the
parts it reaches, so that no call runs against the stated direction through <windows.h>.
Prints each offence with its file and line; exits 1 if there is any.
"""
import pathlib
import re
import subprocess
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
WIN32_FREE = {"engine", "codecs", "sys"}
TOOL_PARTS = {"tools/inspect": {"engine", "codecs", "sys"}}


def read_borders(path):
    parts = {}
    for line in path.read_text().splitlines():
        if not line.strip():
            continue
        dirs, _, uses = line.partition(":")
        for d in dirs.split():
            parts[d] = set(uses.split()) | set(dirs.split())  # folders of one part reach each other
    return parts


def reach(parts, part):
    seen, todo = {part}, [part]
    while todo:
        for used in parts.get(todo.pop(), ()):
            if used not in seen:
                seen.add(used)
                todo.append(used)
    return seen


def include_offences(root, parts):
    offences = []
    sources = [(f, f.relative_to(root / "src").parts[0]) for f in (root / "src").rglob("*") if f.suffix in (".h", ".cpp")]
    for tool, allowed in TOOL_PARTS.items():
        sources += [(f, tool) for f in (root / tool).rglob("*") if f.suffix in (".h", ".cpp")]
    for path, part in sources:
        allowed = TOOL_PARTS.get(part) or reach(parts, part)
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            kind, name = m.groups()
            where = f"{path.relative_to(root)}:{number}"
            if kind == "<":
                if name in ("windows.h", "gdiplus.h", "objbase.h") and (part in WIN32_FREE or part in TOOL_PARTS):
                    offences.append(f"{where}: {part} includes the Win32 header <{name}>")
                continue
            top = name.split("/")[0]
            if "/" not in name:
                if part in TOOL_PARTS or part == "win32":
                    continue  # the tool's own folder, or the Win32 headers among themselves
                offences.append(f"{where}: \"{name}\" is not rooted at src/")
            elif top not in allowed and top in parts:
                offences.append(f"{where}: {part} may not include \"{name}\" (it reaches {', '.join(sorted(allowed))})")
    return offences


def symbols(archive):
    out = subprocess.run(["nm", "-A", "--defined-only", "-g", str(archive)], capture_output=True, text=True).stdout
    defined = {line.split()[-1] for line in out.splitlines() if len(line.split()) >= 3 and line.split()[-2] in "TDBRVWiu"}
    out = subprocess.run(["nm", "-u", str(archive)], capture_output=True, text=True).stdout
    undefined = {line.split()[-1] for line in out.splitlines() if line.strip() and not line.endswith(":")}
    return defined, undefined


def symbol_offences(build, parts):
    archives = {}
    for d in parts:
        for name in (f"liblayer_{d}.a", f"lib{d}.a"):
            found = list(build.rglob(name))
            if found:
                archives[d] = found[0]
    tables = {d: symbols(a) for d, a in archives.items()}
    owner = {}
    for d, (defined, _) in tables.items():
        for s in defined:
            owner.setdefault(s, d)
    offences = []
    for d, (defined, undefined) in tables.items():
        allowed = reach(parts, d)
        for s in sorted(undefined - defined):
            if owner.get(s) and owner[s] not in allowed:
                offences.append(f"{archives[d].name}: calls {s}, defined in the part {owner[s]}, which {d} does not link")
    return offences


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_borders.py BUILD_DIR")
    root = pathlib.Path(__file__).resolve().parent.parent
    build = pathlib.Path(sys.argv[1]).resolve()
    parts = read_borders(build / "layer-borders.txt")
    offences = include_offences(root, parts) + symbol_offences(build, parts)
    for offence in offences:
        print(offence)
    print(f"borders: {len(offences)} offences")
    sys.exit(1 if offences else 0)


main()
