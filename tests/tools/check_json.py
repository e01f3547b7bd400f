#!/usr/bin/env python3
"""check_json.py - bexscan --json: the output parses, and it holds the model.

Three files: the shipped demo (known contents), a file written here whose
names hold quotes, control bytes, separators and bytes that are not UTF-8,
and a synthetic file from bexgen that is decoded here independently.
"""
import argparse
import json
import os
import struct
import subprocess
import sys

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)


def bexscan_json(bexscan, path):
    run = subprocess.run([bexscan, "--json", path], capture_output=True)
    if run.returncode != 0:
        raise SystemExit(f"bexscan --json {path}: exit {run.returncode}: {run.stderr!r}")
    # The command-line validator must accept the output as it is.
    tool = subprocess.run([sys.executable, "-m", "json.tool"], input=run.stdout,
                          capture_output=True)
    check(tool.returncode == 0, f"json.tool rejects the output for {path}: {tool.stderr!r}")
    return json.loads(run.stdout.decode("utf-8"))


def per_byte_decode(raw):
    """UTF-8 with U+FFFD for every byte outside a well-formed sequence."""
    out, i = [], 0
    while i < len(raw):
        for n in (1, 2, 3, 4):
            try:
                ch = raw[i:i + n].decode("utf-8")
            except UnicodeDecodeError:
                continue
            if len(ch) == 1:
                out.append(ch)
                i += n
                break
        else:
            out.append("\ufffd")
            i += 1
    return "".join(out)


def expect_name(obj, key, raw, where):
    check(obj.get(key) == per_byte_decode(raw), f"{where}: {key} {obj.get(key)!r} for {raw!r}")
    try:
        raw.decode("utf-8")
        check(key + "Hex" not in obj, f"{where}: {key}Hex present for valid UTF-8")
    except UnicodeDecodeError:
        check(obj.get(key + "Hex") == raw.hex().upper(), f"{where}: {key}Hex {obj.get(key + 'Hex')!r}")


def check_demo(bexscan, sample):
    m = bexscan_json(bexscan, sample)
    check(m["version"] == 891696910, f"demo version {m['version']}")
    check(m["flags"] == 0x7F04B, f"demo flags {m['flags']:#x}")
    check(m["masks"] == {"0x7F000": 0x7F000, "0x42": 0x42, "0x4": 0, "0x8": 8}, f"demo masks {m['masks']}")
    check(m["benchmark"] == "DemoBenchmark", f"demo benchmark {m['benchmark']!r}")
    groups = [(g["node"], g["position"], g["name"], g["value"], g["attributes"]) for g in m["userGroups"]]
    check(groups == [(0, 0, "Shopper", 60, [1, 2, 3, 4]),
                     (0, 1, "Browser", 40, [1, 2, 3, 4]),
                     (2, 0, "Admin", 5, [0xFFFFFFFF, 0, 0, 0])], f"demo user groups {groups}")
    nodes = {n["node"]: [(c["name"], c["value"]) for c in n["transactionCalls"]] for n in m["nodes"]}
    # Node 1 has neither users nor calls, so it does not show.
    check(nodes == {0: [("TMain.Login", 100), ("TMain.Search", 250), ("TMain.Order", 30)],
                    2: [("TAdmin.Report", 1)]}, f"demo calls {nodes}")


def write_odd_names(path):
    """One node, one user group, one call; every name is an awkward byte string."""
    names = [b'quote " backslash \\ end',
             b"ctl \x01\x1f\x7f tab\t nl\n cr\r",
             "sep \u2028 \u2029 \u00e9 \u6f22 \U0001F600".encode("utf-8"),
             b"ansi \xfc\xe4\xdf lone \x80 \xff trunc \xe2\x80 over \xc0\xaf sur \xed\xa0\x80"]
    pool, offsets = b"", []
    for n in names:
        offsets.append(len(pool))
        pool += n + b"\0"
    header = bytearray(348)
    struct.pack_into("<II", header, 0, 891696910, 348)
    struct.pack_into("<i", header, 264, offsets[3])
    body = struct.pack("<I", 0) + struct.pack("<I", len(pool)) + pool
    body += struct.pack("<h", 0)  # MAXUSRGRP
    body += struct.pack("<IIHhhHIIII", 0, 0, 0, 0, 1, 0, 1, 2, 3, 4)  # calls 0 .. 1
    body += struct.pack("<Ii", 4, offsets[0]) + struct.pack("<II", 4, 7)
    body += struct.pack("<h", 1)  # pMaxTra: two calls
    for name_offset in (offsets[1], offsets[2]):
        body += struct.pack("<iIIII I12s", name_offset, 0, 9, 0, 0, 0, b"\0" * 12) + struct.pack("<I", 0)
    with open(path, "wb") as f:
        f.write(bytes(header) + body)
    return names


def check_odd_names(bexscan, work):
    path = os.path.join(work, "odd-names.bex")
    names = write_odd_names(path)
    m = bexscan_json(bexscan, path)
    expect_name(m, "benchmark", names[3], "odd benchmark")
    check(len(m["userGroups"]) == 1, f"odd: {len(m['userGroups'])} user groups")
    if m["userGroups"]:
        expect_name(m["userGroups"][0], "name", names[0], "odd user group")
    calls = m["nodes"][0]["transactionCalls"] if m["nodes"] else []
    check(len(calls) == 2, f"odd: node 0 has {len(calls)} calls")
    for call, raw in zip(calls, names[1:3]):
        expect_name(call, "name", raw, "odd call")
    check(b"\\u2028 \\u2029" in subprocess.run([bexscan, "--json", path], capture_output=True).stdout,
          "U+2028 / U+2029 not escaped")
    # The text output escapes every control byte: one line per item.
    text = subprocess.run([bexscan, path], capture_output=True).stdout
    check(all(b >= 0x20 or b == 0x0A for b in text), "text output carries raw control bytes")
    check(b"\\x01\\x1F\\x7F" in text and b"\\xFC\\xE4\\xDF" in text, f"text escapes: {text!r}")


def decode_bex(path):
    """Independent decoder of a well-formed full numbered file."""
    with open(path, "rb") as f:
        b = f.read()
    version, length = struct.unpack_from("<II", b, 0)
    header = b[:length] + bytes(max(0, 348 - length))
    pos = length
    if struct.unpack_from("<I", header, 340)[0]:
        n = struct.unpack_from("<I", b, pos)[0]
        pos += 4 + n
    pos += 4  # namelist
    n = struct.unpack_from("<I", b, pos)[0]
    pool = b[pos + 4:pos + 4 + n]
    pos += 4 + n

    def name(offset):
        if offset > len(pool):
            return f"${offset}".encode()
        if offset < 0 or not pool:
            return b"XUNDEF"
        end = pool.find(b"\0", offset)
        return pool[offset:] if end < 0 else pool[offset:end]

    (m,) = struct.unpack_from("<h", b, pos)
    pos += 2
    nodes = []
    for _ in range(m + 1):
        first, last = struct.unpack_from("<hh", b, pos + 10)
        attrs = list(struct.unpack_from("<IIII", b, pos + 16))
        pos += 32
        n = struct.unpack_from("<I", b, pos)[0]
        offsets = struct.unpack_from(f"<{n // 4}i", b, pos + 4)
        pos += 4 + n
        n = struct.unpack_from("<I", b, pos)[0]
        values = struct.unpack_from(f"<{n // 4}I", b, pos + 4)
        pos += 4 + n
        nodes.append((first, last, attrs, offsets, values))
    (t,) = struct.unpack_from("<h", b, pos)
    pos += 2
    calls = []
    for _ in range(t + 1):
        offset, _, value = struct.unpack_from("<iII", b, pos)
        pos += 36
        pos += 4 + struct.unpack_from("<I", b, pos)[0]
        calls.append((name(offset), value))
    return version, struct.unpack_from("<I", header, 328)[0], name(struct.unpack_from("<i", header, 264)[0]), nodes, calls


def check_synthetic(bexgen, bexscan, work):
    path = os.path.join(work, "synthetic.bex")
    subprocess.run([bexgen, "synthetic", "--size", "64K", "--nodes", "40", "--calls", "600",
                    "--users", "3", "--fixed-users", "--seed", "7", path],
                   check=True, capture_output=True)
    version, flags, bench, nodes, calls = decode_bex(path)
    m = bexscan_json(bexscan, path)
    check(m["version"] == version and m["flags"] == flags, "synthetic version or flags")
    expect_name(m, "benchmark", bench, "synthetic benchmark")
    expected_groups = [(i, p, off, val, attrs) for i, (_, _, attrs, offs, vals) in enumerate(nodes)
                       for p, (off, val) in enumerate(zip(offs, vals))]
    got = m["userGroups"]
    check(len(got) == len(expected_groups), f"synthetic: {len(got)} user groups, expected {len(expected_groups)}")
    pool_names = {}
    for g, (i, p, off, val, attrs) in zip(got, expected_groups):
        check((g["node"], g["position"], g["value"], g["attributes"]) == (i, p, val, attrs),
              f"synthetic group {i}/{p}: {g}")
        pool_names.setdefault(off, g)
    odd = 0
    nodes_seen = {n["node"]: n["transactionCalls"] for n in m["nodes"]}
    for i, (first, last, _, _, _) in enumerate(nodes):
        want = calls[first:last + 1] if first <= last else []
        have = nodes_seen.get(i, [])
        check(len(have) == len(want), f"synthetic node {i}: {len(have)} calls, expected {len(want)}")
        for c, (raw, value) in zip(have, want):
            expect_name(c, "name", raw, f"synthetic node {i} call")
            check(c["value"] == value, f"synthetic node {i} call value {c['value']} != {value}")
            odd += "nameHex" in c
    check(odd > 0, "synthetic file without 8-bit names: the escaping went untested")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--bexgen", required=True)
    ap.add_argument("--bexscan", required=True)
    ap.add_argument("--sample", required=True)
    ap.add_argument("--work", required=True)
    a = ap.parse_args()
    os.makedirs(a.work, exist_ok=True)
    check_demo(a.bexscan, a.sample)
    check_odd_names(a.bexscan, a.work)
    check_synthetic(a.bexgen, a.bexscan, a.work)
    for f in FAILURES:
        print("FAIL:", f)
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
