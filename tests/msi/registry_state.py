#!/usr/bin/env python3
"""Registry states of a Wine prefix as sorted lines, for comparing them.

  registry_state.py snapshot PREFIX OUT
      Writes the machine registry of PREFIX (its system.reg, saved when the
      wineserver exits) as lines "K <key>" and "V <key> <name> <value>".
  registry_state.py added BEFORE AFTER [--without-installer] [--without-emptied]
      Prints the lines of AFTER that are not in BEFORE ("+ ...") and the lines
      of BEFORE that are gone or changed in AFTER ("- ..."); with
      --without-installer, without the installer's own record of installed
      products; with --without-emptied, without the keys that were empty in
      BEFORE (no value, no subkey) and are gone in AFTER.
  registry_state.py rows REGISTRY_IDT COMPONENT_IDT BEFORE win32|win64 NAME=VALUE...
      Prints the lines a package's Registry table (as `msiinfo export` writes
      it) adds to the state BEFORE of a 32- or 64-bit prefix, with [NAME] in
      keys and values replaced.

Keys are relative to HKEY_LOCAL_MACHINE, lower-cased (the registry ignores
case in key names); fields are separated by tabs. Paths in values lose a
leading \\?\ and a trailing backslash: Wine's type library registration
writes the first, the installer's folder properties end in the second. Only values Wine keeps on
disk take part: volatile keys are never saved.
"""
import re
import sys

# Keys Wine itself rewrites whenever a program starts or the server exits;
# they say nothing about what an installer or a server wrote.
WINE_OWN_KEYS = (
    "software\\microsoft\\windows nt\\currentversion\\networkcards",
    "system\\currentcontrolset\\control\\class",
    "software\\microsoft\\windows nt\\currentversion\\perflib",
    "system\\currentcontrolset\\control\\session manager\\environment",
    "software\\microsoft\\cryptography\\rng",
    "system\\mounteddevices",
    "software\\wine\\drives",
    "hardware\\",
)

# Where the installer keeps its record of installed products (what
# "Programs and Features" lists); the package's rows are elsewhere.
INSTALLER_KEYS = (
    "software\\classes\\installer",
    "software\\microsoft\\windows\\currentversion\\installer",
    "software\\microsoft\\windows\\currentversion\\uninstall",
    "software\\wow6432node\\microsoft\\windows\\currentversion\\uninstall",
)

# HKEY_CLASSES_ROOT of a per-machine installation.
ROOTS = {"0": "software\\classes", "2": "", "-1": "software\\classes"}


def unescape(text):
    """Undoes the escapes of Wine's registry files: \\\\, \\", \\n, \\xNNNN."""
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            if n == "x":
                m = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
                out.append(chr(int(m.group(0), 16)))
                i += 2 + len(m.group(0))
                continue
            out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
            i += 2
            continue
        out.append(c)
        i += 1
    return "".join(out)


def normal_value(value):
    if value.startswith("\\\\?\\"):
        value = value[4:]
    if re.match(r"^[A-Za-z]:\\.*\\$", value):
        value = value.rstrip("\\")
    return value


def under(key, roots):
    return any(key == k or key.startswith(k + "\\") or (k.endswith("\\") and key.startswith(k))
               for k in roots)


def own_key(key):
    return under(key, WINE_OWN_KEYS)


def installer_line(line):
    key = line.split("\t")[1]
    return under(key, INSTALLER_KEYS) or (line.startswith("K\t") and any(k.startswith(key + "\\") for k in INSTALLER_KEYS))


def empty_keys(lines):
    """The keys of a state that hold no value and no subkey. Wine keeps such
    keys as its own bookkeeping: a 64-bit prefix whose 32-bit half never
    started (a kernel that refuses 32-bit programs) has, for one, an empty
    wow6432node\\interface, which Wine deletes with the last interface key
    of the package under it. Nothing was there to leave behind or to take."""
    keys = set(line[2:] for line in lines if line.startswith("K\t"))
    full = set()
    for line in lines:
        key = line.split("\t")[1]
        parts = key.split("\\")
        # Every ancestor of a value's key, or of a key, holds something.
        for depth in range(1, len(parts) + (0 if line.startswith("K\t") else 1)):
            full.add("\\".join(parts[:depth]))
    return keys - full


def read_lines(path):
    """Joins the continued lines (ending in a backslash) of a registry file."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        pending = ""
        for raw in f:
            line = raw.rstrip("\n")
            if line.endswith("\\") and not line.startswith("["):
                pending += line[:-1].strip()
                continue
            yield pending + line.strip() if pending else line
            pending = ""


def snapshot(prefix):
    lines = set()
    key = None
    for line in read_lines(prefix + "/system.reg"):
        if line.startswith("["):
            name = unescape(line[1:line.rindex("]")])
            key = None if own_key(name.lower()) else name.lower()
            if key is not None:
                # A key without values is saved only when it has no subkeys.
                parts = key.split("\\")
                for depth in range(1, len(parts) + 1):
                    lines.add("K\t" + "\\".join(parts[:depth]))
            continue
        if key is None or not line or line.startswith("#") or line.startswith(";"):
            continue
        if line.startswith("@="):
            name, value = "", line[2:]
        else:
            m = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)', line)
            if not m:
                continue
            name, value = unescape(m.group(1)), m.group(2)
        if value.startswith('"') and value.endswith('"'):
            value = unescape(value[1:-1])
        lines.add("V\t%s\t%s\t%s" % (key, name, normal_value(value)))
    return lines


def load(path):
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        return set(line.rstrip("\n") for line in f if line.strip())


def expand(text, names):
    return re.sub(r"\[([^\]]+)\]", lambda m: names.get(m.group(1), m.group(0)), text)


def idt_rows(path):
    with open(path, encoding="utf-8") as f:
        return [row.split("\t") for row in f.read().splitlines()[3:]]


def package_rows(idt_path, component_idt, before, platform, names):
    """The lines a package's Registry rows add: their keys with the parent keys
    that did not exist before, and their values (named "*", "+" or "-"
    rows with no value only make the key). In a 64-bit prefix, the classes
    keys of 32-bit components are in the 32-bit view."""
    wow64 = set()
    for fields in idt_rows(component_idt):
        if platform == "win64" and len(fields) >= 4 and not int(fields[3]) & 256:
            wow64.add(fields[0])
    lines = set()
    for fields in idt_rows(idt_path):
        if len(fields) < 6:
            continue
        _, root, key, name, value, component = fields[:6]
        key = expand(key, names).rstrip("\\")
        if component in wow64 and ROOTS[root] == "software\\classes":
            key = "wow6432node\\" + key
        key = (ROOTS[root] + "\\" + key if ROOTS[root] else key).lower()
        parts = key.split("\\")
        for depth in range(1, len(parts) + 1):
            parent = "\\".join(parts[:depth])
            if "K\t" + parent not in before:
                lines.add("K\t" + parent)
        if name in ("*", "+", "-") and value == "":
            continue
        lines.add("V\t%s\t%s\t%s" % (key, expand(name, names), normal_value(expand(value, names))))
    return lines


def main(argv):
    if len(argv) >= 3 and argv[0] == "snapshot":
        with open(argv[2], "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write("".join(line + "\n" for line in sorted(snapshot(argv[1]))))
        return 0
    options = set(argv[3:])
    if len(argv) >= 3 and argv[0] == "added" and options <= {"--without-installer", "--without-emptied"}:
        before, after = load(argv[1]), load(argv[2])
        if "--without-emptied" in options:
            emptied = set("K\t" + key for key in empty_keys(before)) - after
            before -= emptied
        if "--without-installer" in options:
            before = set(line for line in before if not installer_line(line))
            after = set(line for line in after if not installer_line(line))
        for line in sorted(after - before):
            print("+ " + line)
        for line in sorted(before - after):
            print("- " + line)
        return 0
    if len(argv) >= 5 and argv[0] == "rows":
        names = dict(arg.split("=", 1) for arg in argv[5:])
        for line in sorted(package_rows(argv[1], argv[2], load(argv[3]), argv[4], names)):
            print("+ " + line)
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
