#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer it may not use.

    scripts/check-layers.py [REPOSITORY]

Each layer folder names the layers it stands on; a file may include
headers of its own folder and of the layers below it (those it stands on,
and theirs, and so on), never of a layer above it or beside it. Test code
(tests/, *_test.cpp, *_test_support.*) may include anything.
docs/architecture.md draws the layers.
"""
import pathlib
import re
import sys

# Each layer and the layers it stands on directly. A file belongs to the
# longest folder that holds it.
STANDS_ON = {
    "platform": [],
    "platform/regexp": ["platform"],
    "host": ["platform"],
    "textio": ["platform"],
    "analysis": ["platform/regexp"],
    "tree": ["analysis"],
    "panel": ["tree", "host"],
    "plugin/com": ["panel"],
    "plugin/host_com": ["plugin/com"],
    "plugin/controls": ["plugin/com"],
    "plugin/control": ["plugin/host_com", "plugin/controls"],
    "plugin": ["plugin/control"],
    "config/md": ["platform"],
    "config": ["tree", "textio", "config/md"],
    "lsp": ["config", "textio"],
    "site": ["config"],
    "cli": ["lsp", "config", "site"],
    "tools": ["plugin", "textio"],
    "bench": ["lsp", "config", "panel", "textio"],
}


def below(folder, seen=None):
    """Every layer under `folder`."""
    seen = set() if seen is None else seen
    for lower in STANDS_ON[folder]:
        if lower not in seen:
            seen.add(lower)
            below(lower, seen)
    return seen


BELOW = {folder: below(folder) for folder in STANDS_ON}
FLOOR_OF = STANDS_ON
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
            if target not in BELOW[source]:
                yield f"{relative}:{number}: {source} includes {match.group(1)} of {target}, not below it"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    faults = list(upward_includes(root.resolve()))
    for fault in faults:
        print(fault)
    print(f"layers: {len(faults)} include(s) of a layer that is not below")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
