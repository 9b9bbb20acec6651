#!/usr/bin/env python3
"""Runs two `ramulet` binaries on the same modules and compares every output.

    compare_outputs.py OLD NEW [--modules N] [--seed S] [FILE ...]

Each module (the FILEs given, then N generated ones) is run in every output
form: text, --no-tree, --json, --json --no-tree, --dot, --method and --root
with --depth for some of its methods. Standard output, standard error and
the exit status must be the same, byte for byte. The one known difference
is allowed and counted: after a failed analysis the JSON document used to
give the recorded methods "endLine": null and now gives the end line the
analysis used. Exits 1 on the first other difference, printing the module.
"""
import argparse
import os
import random
import re
import subprocess
import sys
import tempfile

NAME_UNITS = "абвгдежзийклмнопрстуфхцчшщъыьэюяАБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯЁёabcXYZ_019¬"


def random_name(rng):
    return "".join(rng.choice(NAME_UNITS) for _ in range(rng.randint(1, 9)))


def random_case(rng, word):
    return "".join(c.upper() if rng.random() < 0.5 else c.lower() for c in word)


def random_module(rng):
    names = [random_name(rng) for _ in range(rng.randint(0, 12))]
    if names and rng.random() < 0.5:
        names.append(rng.choice(names))  # a duplicate, now and then
    lines = []
    for name in names:
        space = rng.choice(["", " ", "  ", "\t", " \t "])
        private = rng.choice(["", "", "private ", "PRIVATE\t"])
        keyword = random_case(rng, rng.choice(["Процедура", "Функция"]))
        params = rng.choice(["", "А", "Знач А, Б = 1", 'С = "x"', "Д=.5, Е", "(", "А)"])
        tail = rng.choice(["", "", " Экспорт", " Далее", " далее", " // x"])
        lines.append(f"{space}{private}{keyword} {name}({params}){tail}")
        for _ in range(rng.randint(0, 6)):
            callee = rng.choice(names) if rng.random() < 0.8 else random_name(rng)
            if rng.random() < 0.2:
                callee = random_case(rng, callee)
            lines.append(rng.choice([
                f"\t{callee}();",
                f"\tА = {callee} (1) + {rng.choice(names)}(2);",
                f"\t{callee}(); // {rng.choice(names)}()",
                f'\tСообщить("{callee}()");',
                f"\tОбъект.{callee}();",
                f"\tЁж{callee}\t(",
                f"\tЕсли {callee}() Тогда Процедура();",
                "",
                "\tКонецЕсли;",
            ]))
        if rng.random() < 0.85:
            end = random_case(rng, rng.choice(["КонецПроцедуры", "КонецФункции"]))
            lines.append(rng.choice(["", " ", "\t"]) + end + rng.choice(["", ";", " // x"]))
        if rng.random() < 0.3:
            lines.append(rng.choice(["", "Перем А;", "// между", "А = 1;"]))
    if rng.random() < 0.2:
        lines.insert(0, "КонецПроцедуры")
    newline = rng.choice(["\n", "\r\n", "\r"])
    return newline.join(lines) + rng.choice(["", newline])


def forms(module_text):
    names = re.findall(r"(?:процедура|функция)\s+([^\s(]+)\s*\(", module_text, re.IGNORECASE)
    result = [[], ["--no-tree"], ["--json"], ["--json", "--no-tree"], ["--dot"]]
    for name in names[:2]:
        result.append(["--method", name])
        result.append(["--root", name, "--depth", "2"])
    result.append(["--method", "НетТакого"])
    return result


def run(binary, args, path):
    done = subprocess.run([binary, *args, path], capture_output=True, timeout=60)
    return done.returncode, done.stdout, done.stderr


NULL_END = re.compile(rb'"endLine": -?\d+')


def known_difference(args, old, new):
    """The recorded methods of a failed analysis now carry their end line."""
    if "--json" not in args or old[0] != new[0] or old[2] != new[2] or b'"error"' not in old[1]:
        return False
    return old[1] == NULL_END.sub(b'"endLine": null', new[1])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("old")
    parser.add_argument("new")
    parser.add_argument("--modules", type=int, default=600)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("files", nargs="*")
    options = parser.parse_args()
    rng = random.Random(options.seed)
    compared = known = 0
    with tempfile.TemporaryDirectory() as folder:
        paths = list(options.files)
        for n in range(options.modules):
            path = os.path.join(folder, f"m{n}.bsl")
            with open(path, "w", encoding="utf-8", newline="") as out:
                out.write(random_module(rng))
            paths.append(path)
        for path in paths:
            with open(path, "rb") as f:
                text = f.read().decode("utf-8", errors="replace")
            for args in forms(text):
                old = run(options.old, args, path)
                new = run(options.new, args, path)
                compared += 1
                if old == new:
                    continue
                if known_difference(args, old, new):
                    known += 1
                    continue
                print(f"outputs differ: {' '.join(args)} {path}")
                print("old:", old[0], old[1][:2000], old[2][:500])
                print("new:", new[0], new[1][:2000], new[2][:500])
                print("module:\n" + text)
                return 1
    print(f"{compared} outputs of {len(paths)} modules compared: the same but {known} JSON documents of failed "
          f"analyses, which now give the recorded methods their end lines")
    return 0


if __name__ == "__main__":
    sys.exit(main())
