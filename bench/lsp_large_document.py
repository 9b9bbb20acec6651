#!/usr/bin/env python3
"""Whole-process time and peak memory of `ramulet lsp` on one large document.

    python3 bench/lsp_large_document.py RAMULET CASE

CASE is one of:
  calls    one line of 10,000,000 calls of a method (30 M units, under the cap): open it,
           then ask for the incoming calls of the method called;
  crs      30,000,000 lone CRs (the 32 Mi-unit cap): open it;
  methods  700,000 one-line methods: open it, then ask for its outline.
Prints the seconds to open, the seconds and answer size of the request,
and the server's peak resident memory; compare with `ramulet --json
--no-tree` on the same text (printed too for `calls`).
"""
import json
import os
import resource
import subprocess
import sys
import tempfile
import time


def frame(message):
    body = json.dumps(message, ensure_ascii=False).encode("utf-8")
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def read_frame(stream):
    length = None
    while True:
        line = stream.readline()
        if not line:
            return None
        if line in (b"\r\n", b"\n"):
            break
        name, _, value = line.decode("ascii").partition(":")
        if name.lower() == "content-length":
            length = int(value)
    return stream.read(length)


def answer(stream, wanted_id):
    """The response to `wanted_id`, told by its first bytes (the server
    writes "id" first): a large answer is timed, not parsed."""
    prefix = b'{"id":%d,' % wanted_id
    while True:
        body = read_frame(stream)
        if body is None:
            raise SystemExit("the server ended without answering")
        if body.startswith(prefix):
            return body, len(body)


def text_of(case):
    if case == "calls":
        return "Процедура А()\nКонецПроцедуры\nПроцедура Б()\n" + "А()" * 10_000_000 + "\nКонецПроцедуры\n", (0, 11)
    if case == "crs":
        return "\r" * 30_000_000, None
    if case == "methods":
        return "".join(f"Процедура П{n}() КонецПроцедуры\n" for n in range(700_000)), None
    raise SystemExit(f"unknown case {case}")


def main():
    ramulet, case = sys.argv[1], sys.argv[2]
    text, position = text_of(case)
    uri = "file:///bench.bsl"
    server = subprocess.Popen([ramulet, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    server.stdin.write(frame({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}}))
    server.stdin.flush()
    answer(server.stdout, 1)
    start = time.perf_counter()
    server.stdin.write(frame({"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {
        "textDocument": {"uri": uri, "languageId": "bsl", "version": 1, "text": text}}}))
    # A cheap request after the open: its answer marks the open's end.
    server.stdin.write(frame({"jsonrpc": "2.0", "id": 2, "method": "textDocument/hover", "params": {
        "textDocument": {"uri": uri}, "position": {"line": 0, "character": 0}}}))
    server.stdin.flush()
    answer(server.stdout, 2)
    opened = time.perf_counter() - start
    start = time.perf_counter()
    if case == "calls":
        request = {"jsonrpc": "2.0", "id": 3, "method": "callHierarchy/incomingCalls", "params": {"item": {
            "name": "А", "kind": 6, "uri": uri, "data": {"name": "А"},
            "range": {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 0}},
            "selectionRange": {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 0}}}}}
    else:
        request = {"jsonrpc": "2.0", "id": 3, "method": "textDocument/documentSymbol",
                   "params": {"textDocument": {"uri": uri}}}
    server.stdin.write(frame(request))
    server.stdin.flush()
    _, size = answer(server.stdout, 3)
    asked = time.perf_counter() - start
    server.stdin.write(frame({"jsonrpc": "2.0", "id": 4, "method": "shutdown"}))
    server.stdin.write(frame({"jsonrpc": "2.0", "method": "exit"}))
    server.stdin.close()
    server.wait()
    peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
    print(f"{case}: open {opened:.2f} s, {request['method']} {asked:.2f} s ({size / 1e6:.1f} MB answer), "
          f"server peak {peak:.0f} MB")
    if case == "calls":
        with tempfile.NamedTemporaryFile("w", suffix=".bsl", encoding="utf-8", delete=False) as module:
            module.write(text)
        start = time.perf_counter()
        timed = subprocess.run(["/usr/bin/time", "-f", "%M", ramulet, "--json", "--no-tree", module.name],
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, check=False)
        elapsed = time.perf_counter() - start
        os.unlink(module.name)
        peak_kb = int(timed.stderr.decode().strip().splitlines()[-1])
        print(f"command line on the same text: {elapsed:.2f} s, peak {peak_kb / 1024:.0f} MB")


if __name__ == "__main__":
    main()
