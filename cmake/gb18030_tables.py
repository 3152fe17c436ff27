#!/usr/bin/env python3
"""Writes the GB18030 tables of the text rules as a C++ source, from the build
machine's iconv (glibc's GB18030, the converter the program used before it had
tables of its own), so that every build, for Linux or for Windows, maps alike.

Usage: gb18030_tables.py OUTPUT.cpp [ICONV]

Every two-byte sequence, and every four-byte one of the Basic Multilingual Plane,
goes through iconv once, each on a line of its own; a sequence iconv refuses leaves
its line empty. The four-byte sequences map to characters in runs in which both
count up together, which the tables keep as such runs.
"""
import subprocess
import sys

LEADS = range(0x81, 0xFF)
TRAILS = [t for t in range(0x40, 0xFF) if t != 0x7F]
LAST_BMP_INDEX = 39419
ICONV = sys.argv[2] if len(sys.argv) > 2 else "iconv"


def iconv(data, source, target):
    # -c leaves out what cannot be converted; iconv then exits with 1.
    done = subprocess.run([ICONV, "-c", "-f", source, "-t", target], input=data, capture_output=True)
    if done.returncode not in (0, 1) or not done.stdout:
        sys.exit("iconv failed: " + done.stderr.decode(errors="replace"))
    return done.stdout


def decoded_lines(data):
    """Characters of each line of GB18030 `data`: one, or none where refused."""
    out = iconv(data, "GB18030", "UTF-32BE")
    units = [int.from_bytes(out[i:i + 4], "big") for i in range(0, len(out), 4)]
    lines, line = [], []
    for unit in units:
        if unit == 0x0A:
            lines.append(line)
            line = []
        else:
            line.append(unit)
    return lines


def four_bytes(index):
    b3, index = index % 10, index // 10
    b2, index = index % 126, index // 126
    b1, b0 = index % 10, index // 10
    return bytes([0x81 + b0, 0x30 + b1, 0x81 + b2, 0x30 + b3])


def four_byte_index(sequence):
    return (((sequence[0] - 0x81) * 10 + (sequence[1] - 0x30)) * 126 + (sequence[2] - 0x81)) * 10 + (
        sequence[3] - 0x30)


def runs(pairs):
    """(first, value) of each run in which key and value count up together."""
    found = []
    for key, value in sorted(pairs):
        if found and key == found[-1][2] + 1 and value == found[-1][3] + 1:
            found[-1][2:] = [key, value]
        else:
            found.append([key, value, key, value])
    return [(first, value, last) for first, value, last, _ in found]


def pairs_of(found):
    return [(first + i, value + i) for first, value, last in found for i in range(last - first + 1)]


def main():
    pairs = [(lead, trail) for lead in LEADS for trail in TRAILS]
    lines = decoded_lines(b"".join(bytes(pair) + b"\n" for pair in pairs))
    if len(lines) != len(pairs) or any(len(line) > 1 for line in lines):
        sys.exit("iconv did not convert each two-byte sequence alone")
    two_bytes = {pair: line[0] for pair, line in zip(pairs, lines) if line}

    indices = range(LAST_BMP_INDEX + 1)
    lines = decoded_lines(b"".join(four_bytes(i) + b"\n" for i in indices))
    if len(lines) != len(indices) or any(len(line) > 1 for line in lines):
        sys.exit("iconv did not convert each four-byte sequence alone")
    decode_runs = runs((index, line[0]) for index, line in zip(indices, lines) if line)

    # The characters of the plane that two bytes do not stand for, as iconv encodes them.
    taken = set(two_bytes.values())
    wanted = [c for c in range(0x80, 0x10000) if not 0xD800 <= c <= 0xDFFF and c not in taken]
    out = iconv(b"".join(c.to_bytes(4, "big") + b"\x00\x00\x00\x0a" for c in wanted), "UTF-32BE", "GB18030")
    sequences = out.split(b"\n")[:-1]
    if len(sequences) != len(wanted):
        sys.exit("iconv did not encode each character alone")
    encode_runs = runs((c, four_byte_index(s)) for c, s in zip(wanted, sequences) if len(s) == 4)
    two_byte_encodings = {c: s for c, s in zip(wanted, sequences) if len(s) == 2}
    if two_byte_encodings:
        sys.exit("iconv encodes characters in two bytes that no two bytes decode to")
    # The tables hold one mapping each way: iconv must encode what it decodes back.
    back = iconv(b"".join(c.to_bytes(4, "big") + b"\x00\x00\x00\x0a" for c in two_bytes.values()), "UTF-32BE",
                 "GB18030").split(b"\n")[:-1]
    if back != [bytes(pair) for pair in two_bytes]:
        sys.exit("iconv does not encode every two-byte character back to its two bytes")
    if sorted((c, i) for i, c in pairs_of(decode_runs)) != sorted(pairs_of(encode_runs)):
        sys.exit("iconv does not encode every four-byte character back to its four bytes")

    with open(sys.argv[1], "w", encoding="ascii") as cpp:
        cpp.write("// Made by cmake/gb18030_tables.py from the build machine's iconv; not to be edited.\n")
        cpp.write('#include "text/Gb18030Tables.h"\n\nnamespace gb18030 {\n\n')
        cpp.write("const char32_t twoByteCharacters[twoByteCount] = {\n")
        values = [two_bytes.get((lead, trail), 0) for lead in LEADS for trail in range(0x40, 0xFF)]
        for start in range(0, len(values), 12):
            cpp.write("    " + ", ".join("0x%X" % v for v in values[start:start + 12]) + ",\n")
        cpp.write("};\n\n")
        for name, table in (("fourByteDecodeRuns", decode_runs), ("fourByteEncodeRuns", encode_runs)):
            cpp.write("const Run %s[] = {\n" % name)
            for first, value, last in table:
                cpp.write("    {%d, %d, %d},\n" % (first, value, last))
            cpp.write("};\nconst int %sCount = %d;\n\n" % (name, len(table)))
        cpp.write("} // namespace gb18030\n")


main()
