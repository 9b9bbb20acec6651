#!/usr/bin/env python3
"""Fails when a source file includes a header of a higher layer.

    scripts/check-layers.py [REPOSITORY]

Each layer folder has a floor; a file may include headers of its own folder
and of folders on lower floors only. Folders on the same floor are
independent of each other. Test code (tests/, *_test.cpp, *_test_support.*)
may include anything. docs/architecture.md explains the floors.
"""
import pathlib
import re
import sys

# The floors, lowest first. A file belongs to the longest folder that
# holds it.
FLOORS = [
    ["platform"],
    ["platform/regexp"],
    ["host", "textio"],
    ["analysis"],
    ["tree"],
    ["panel"],
    ["plugin/com"],
    ["plugin/host_com", "plugin/controls"],
    ["plugin/control"],
    ["plugin"],
    ["lsp"],
    ["cli"],
    ["tools"],
    ["bench"],
]
FLOOR_OF = {folder: n for n, folders in enumerate(FLOORS) for folder in folders}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SOURCES = {".h", ".hpp", ".cpp", ".cc", ".c", ".idl", ".rc"}


def layer(path):
    """The layer folder holding `path` (a repository path), or None."""
    parts = pathlib.PurePosixPath(path).parts[:-1]
    for length in range(len(parts), 0, -1):
        folder = "/".join(parts[:length])
        if folder in FLOOR_OF:
            return folder
    return None


def is_test_code(path):
    name = pathlib.PurePosixPath(path).name
    return path.startswith("tests/") or "_test." in name or "_test_support." in name


def upward_includes(root):
    for file in sorted(root.rglob("*")):
        relative = file.relative_to(root).as_posix()
        if file.suffix not in SOURCES or relative.startswith(("build/", ".git/")):
            continue
        source = layer(relative)
        if source is None or is_test_code(relative):
            continue
        text = file.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = layer(match.group(1))
            if target is None or target == source:
                continue
            if FLOOR_OF[target] >= FLOOR_OF[source]:
                yield f"{relative}:{number}: {source} includes {match.group(1)} of {target}"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    faults = list(upward_includes(root.resolve()))
    for fault in faults:
        print(fault)
    print(f"layers: {len(faults)} include(s) of a higher or sibling layer")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
