#!/usr/bin/env python3
"""Checks that includes follow the layers of the source tree.

Each layer is a folder and may include the headers of the layers below it
and its own, never those of a layer above.  A layer's os/ folder holds the
interfaces its backends implement: private to the layer (and its tests).
texts/ and include/ hold data and the public header: anyone may use them.
Tests sit at the layer they test, and may use the Bex composer of tools/
to write their files.

    scripts/check_layers.py [ROOT]     check the tree (default: this checkout)
    scripts/check_layers.py --self-test

Prints one line per include that breaks a rule and exits 1 when there is
any; exits 0 with a summary line otherwise.
"""
import os
import re
import sys
import tempfile

# Bottom to top; the order of docs/architecture.md.
LAYERS = ["base", "platform", "text", "messages", "reader", "library", "tools"]
SHARED = {"texts", "include"}          # data and the public header
TOP = len(LAYERS)                      # bench/ and fuzz/ use any public header
SOURCE = (".c", ".cc", ".cpp", ".h", ".hpp", ".inc", ".in")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def level_of(path):
    """(rank, layer) of a file of the tree, or None when it is not checked."""
    parts = path.split("/")
    if parts[0] in LAYERS:
        return LAYERS.index(parts[0]), parts[0]
    if parts[0] == "tests" and len(parts) > 2 and parts[1] in LAYERS:
        return LAYERS.index(parts[1]), parts[1]
    if parts[0] == "tests" and len(parts) > 2 and parts[1] == "support":
        return 0, "base"
    if parts[0] in ("bench", "fuzz"):
        return TOP, None
    return None


def problems(root):
    found, checked = [], 0
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith(".") and d != "build"]
        for name in files:
            if not name.endswith(SOURCE):
                continue
            path = os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")
            here = level_of(path)
            if here is None:
                continue
            rank, layer = here
            with open(os.path.join(root, path), errors="replace") as f:
                text = f.read()
            for m in INCLUDE.finditer(text):
                target = m.group(1)
                top = target.split("/")[0]
                line = text.count("\n", 0, m.start()) + 1
                checked += 1
                if top in SHARED or top not in LAYERS:
                    continue
                if top == "tools" and path.startswith("tests/"):
                    continue
                if LAYERS.index(top) > rank:
                    found.append(f"{path}:{line}: includes {target} from the layer above ({top})")
                elif "/os/" in target and top != layer:
                    found.append(f"{path}:{line}: includes {target}, private to {top}/")
    return found, checked


def self_test():
    tree = {
        "base/ok.h": '#include "texts/t.def"\n',
        "platform/up.cpp": '#include "base/ok.h"\n#include "messages/m.h"\n',
        "text/private.cpp": '#include "platform/os/file_os.h"\n',
        "platform/own.cpp": '#include "platform/os/file_os.h"\n',
        "tests/platform/t.cpp": '#include "platform/os/file_os.h"\n#include "reader/r.h"\n'
                                '#include "tools/bex_writer.h"\n',
        "fuzz/f.cpp": '#include "reader/r.h"\n#include "base/os/lock_os.h"\n',
    }
    with tempfile.TemporaryDirectory() as root:
        for path, text in tree.items():
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write(text)
        found, _ = problems(root)
    expected = {"platform/up.cpp:2", "text/private.cpp:1", "tests/platform/t.cpp:2", "fuzz/f.cpp:2"}
    got = {p.split(": ")[0] for p in found}
    if got != expected:
        print("check_layers self-test: expected", sorted(expected), "got", sorted(got))
        return 1
    print("check_layers self-test: the planted upward and private includes were found")
    return 0


def main(argv):
    if argv[1:] == ["--self-test"]:
        return self_test()
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    found, checked = problems(os.path.abspath(root))
    for p in found:
        print(p)
    if found:
        print(f"check_layers: {len(found)} includes break the layering")
        return 1
    print(f"check_layers: {checked} includes follow the layering")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
