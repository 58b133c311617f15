#!/usr/bin/env python3
"""Writes cp932_reference.txt, the code page 932 table the codec is checked against.

Decoding is Python's cp932 codec. Encoding is too (with its six characters that are written as a
code decoding to a look-alike, such as U+301C as 0x8160), except where several byte pairs decode to
one character: there Windows writes the JIS X 0208 row first, then NEC row 13 (0x87), then the IBM
extension (0xFA-0xFC), and the NEC-selected IBM extension (0xED-0xEE) last; Python prefers 0xED-0xEE
over 0xFA-0xFC.

Usage: python3 cp932_reference.py > cp932_reference.txt
"""
from collections import defaultdict


def is_lead(b):
    return 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC


def decoded(bs):
    try:
        text = bs.decode("cp932")
    except UnicodeDecodeError:
        return None
    return ord(text) if len(text) == 1 else None


def windows_rank(code):
    lead = code >> 8
    return 3 if 0xED <= lead <= 0xEE else 2 if 0xFA <= lead <= 0xFC else 1 if lead == 0x87 else 0


table = {}
for b in range(0x100):
    if not is_lead(b) and decoded(bytes([b])) is not None:
        table[b] = decoded(bytes([b]))
for lead in filter(is_lead, range(0x100)):
    for trail in range(0x100):
        ch = decoded(bytes([lead, trail]))
        if ch is not None:
            table[lead << 8 | trail] = ch

print("# Code page 932 as Windows reads and writes it; written by cp932_reference.py, do not edit.")
print("# s BYTE CHAR COUNT: COUNT single bytes from BYTE decode to the characters from CHAR, in turn.")
print("# r LEAD TEXT: the characters that LEAD and the trail bytes 0x40 to 0xFC decode to, in turn;")
print("#   U+FFFD stands for an invalid pair. Bytes and rows not listed, and other trails, are invalid.")
print("# e CHAR CODE: the code (a byte, or lead << 8 | trail) written for a character that several codes")
print("#   or none decode to. Every other character is written as the one code that decodes to it, or")
print("#   cannot be written. All numbers are hexadecimal.")
singles = [b for b in range(0x100) if b in table]
i = 0
while i < len(singles):
    j = i + 1
    while j < len(singles) and singles[j] == singles[j - 1] + 1 and table[singles[j]] == table[singles[j - 1]] + 1:
        j += 1
    print("s %x %x %x" % (singles[i], table[singles[i]], j - i))
    i = j
for lead in filter(is_lead, range(0x100)):
    assert all(lead << 8 | t not in table for t in list(range(0x40)) + [0xFD, 0xFE, 0xFF])
    row = [table.get(lead << 8 | t, 0xFFFD) for t in range(0x40, 0xFD)]
    if any(ch != 0xFFFD for ch in row):
        assert 0xFFFD not in (table[lead << 8 | t] for t in range(0x40, 0xFD) if lead << 8 | t in table)
        print("r %x %s" % (lead, "".join(map(chr, row))))

forms = defaultdict(list)
for code, ch in table.items():
    forms[ch].append(code)
for ch in range(0x10000):
    if 0xD800 <= ch <= 0xDFFF:
        continue
    try:
        python = int.from_bytes(chr(ch).encode("cp932"), "big")
    except UnicodeEncodeError:
        python = None
    candidates = forms.get(ch, [])
    windows = min(candidates, key=lambda c: (windows_rank(c), c)) if candidates else python
    assert python == windows or windows_rank(windows) == 2 and windows_rank(python) == 3, hex(ch)
    if windows is not None and candidates != [windows]:
        print("e %x %x" % (ch, windows))
