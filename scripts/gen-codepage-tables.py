#!/usr/bin/env python3
"""Writes xml/code_page_tables.inc: the decoding table (256 code units) of every
single-byte code page the codecs know.

The published mappings come from Python's codec tables (which derive from the Unicode
consortium's and Microsoft's mapping files); the rules below then fix the positions where
this program's code pages differ from them. U+FFFF marks a byte the code page leaves
undefined. Run from the repository root:
    scripts/gen-codepage-tables.py > xml/code_page_tables.inc
"""
import sys

UNDEFINED = 0xFFFF


def published(codec):
    """The 256 code points of a Python codec; bytes it cannot decode are undefined."""
    table = []
    for b in range(256):
        try:
            text = bytes([b]).decode(codec)
        except UnicodeDecodeError:
            table.append(UNDEFINED)
            continue
        assert len(text) == 1, (codec, b)
        table.append(ord(text))
    return table


def identity_below(limit, table):
    return [b if b < limit else table[b] for b in range(256)]


def by_rule(rule):
    return [rule(b) for b in range(256)]


def with_changes(table, changes):
    table = list(table)
    for b, code in changes.items():
        table[b] = code
    return table


def iso8859_5(b):
    if b <= 0xA0 or b == 0xAD:
        return b
    return {0xF0: 0x2116, 0xFD: 0x00A7}.get(b, b + 0x360)


ISO8859_6_UNDEFINED = (
    set(range(0xA1, 0xA4)) | set(range(0xA5, 0xAC)) | set(range(0xAE, 0xBB))
    | set(range(0xBC, 0xBF)) | {0xC0} | set(range(0xDB, 0xE0)) | set(range(0xF3, 0x100)))


def iso8859_6(b):
    if b <= 0xA0 or b in (0xA4, 0xAD):
        return b
    # Arabic letters start at U+0621 for byte 0xC1.
    return UNDEFINED if b in ISO8859_6_UNDEFINED else b + 0x560


ISO8859_7_SAME = (set(range(0xA6, 0xAA)) | set(range(0xAB, 0xAE)) | set(range(0xB0, 0xB4))
                  | {0xB7, 0xBB, 0xBD}
                  | {0xA3})  # the pound sign, in every edition of the standard


def iso8859_7(b):
    if b <= 0xA0 or b in ISO8859_7_SAME:
        return b
    # 0xA4, 0xA5 and 0xAE are no Greek letters: the euro and drachma signs of the 2003
    # edition, and a position no edition assigns.
    special = {0xA1: 0x2018, 0xA2: 0x2019, 0xA4: 0x20AC, 0xA5: 0x20AF, 0xAE: UNDEFINED,
               0xAF: 0x2015, 0xD2: UNDEFINED, 0xFF: UNDEFINED}
    return special.get(b, b + 0x2D0)


def iso8859_8(b):
    if b == 0xA1 or 0xBF <= b <= 0xDE or b >= 0xFB:
        return UNDEFINED
    if 0xE0 <= b <= 0xFA:
        return b + 0x4F0  # alef is U+05D0
    return {0xAA: 0x00D7, 0xAF: 0x203E, 0xBA: 0x00F7, 0xDF: 0x2017}.get(b, b)


def latin1_except(changes):
    return with_changes(list(range(256)), changes)


def windows(codec, extra=None):
    """Bytes below 0x80 are ASCII; positions the code page leaves unassigned stand for
    the code point of the same value."""
    table = published(codec)
    table = [b if b < 0x80 or table[b] == UNDEFINED else table[b] for b in range(256)]
    return with_changes(table, extra or {})


EBCDIC_US_DEFINED = (
    {0x40} | set(range(0x4A, 0x51)) | set(range(0x5A, 0x62)) | set(range(0x6A, 0x70))
    | set(range(0x79, 0x80)) | set(range(0x81, 0x8A)) | set(range(0x91, 0x9A))
    | set(range(0xA1, 0xAA)) | set(range(0xC0, 0xCA)) | set(range(0xD0, 0xDA)) | {0xE0}
    | set(range(0xE2, 0xEA)) | set(range(0xF0, 0xFA)))


def ebcdic_us():
    ibm037 = published("cp037")
    return [ibm037[b] if b in EBCDIC_US_DEFINED else UNDEFINED for b in range(256)]


def jis_x0201(b):
    if 0x20 <= b <= 0x7D and b != 0x5C:
        return b
    if 0xA1 <= b <= 0xDF:
        return b + 0xFEC0
    return {0x5C: 0x00A5, 0x7E: 0x203E}.get(b, UNDEFINED)


def ibm864():
    table = identity_below(0x25, published("cp864"))
    return with_changes(table, {b: UNDEFINED for b in (0x25, 0xC1, 0xC2, 0xC3, 0xC4, 0xC6)})


def cp1255_extra():
    extra = {0xCA: 0x05BA}
    for i, b in enumerate([0xD9, 0xDA, 0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xFB, 0xFC, 0xFF]):
        extra[b] = 0xF88D + i
    return extra


# (identifier, name used in messages, decoding table)
CODE_PAGES = [
    ("Iso8859_1", "ISO-8859-1", list(range(256))),
    ("Iso8859_2", "ISO-8859-2", identity_below(0xA0, published("iso8859_2"))),
    ("Iso8859_3", "ISO-8859-3", identity_below(0xA0, published("iso8859_3"))),
    ("Iso8859_4", "ISO-8859-4", identity_below(0xA0, published("iso8859_4"))),
    ("Iso8859_5", "ISO-8859-5", by_rule(iso8859_5)),
    ("Iso8859_6", "ISO-8859-6", by_rule(iso8859_6)),
    ("Iso8859_7", "ISO-8859-7", by_rule(iso8859_7)),
    ("Iso8859_8", "ISO-8859-8", by_rule(iso8859_8)),
    ("Iso8859_9", "ISO-8859-9",
     latin1_except({0xD0: 0x011E, 0xDD: 0x0130, 0xDE: 0x015E, 0xF0: 0x011F, 0xFD: 0x0131,
                    0xFE: 0x015F})),
    ("Iso8859_10", "ISO-8859-10", with_changes(published("iso8859_10"), {0xBD: 0x2014})),
    ("Iso8859_13", "ISO-8859-13", published("iso8859_13")),
    ("Iso8859_14", "ISO-8859-14", identity_below(0xA0, published("iso8859_14"))),
    ("Iso8859_15", "ISO-8859-15",
     latin1_except({0xA4: 0x20AC, 0xA6: 0x0160, 0xA8: 0x0161, 0xB4: 0x017D, 0xB8: 0x017E,
                    0xBC: 0x0152, 0xBD: 0x0153, 0xBE: 0x0178})),
    ("Ibm037", "IBM037", published("cp037")),
    ("Ibm424", "IBM424",
     with_changes(published("cp424"), {0x78: 0x21D4, 0x8F: UNDEFINED, 0xBC: 0x203E})),
    ("Ibm437", "IBM437", identity_below(0x80, published("cp437"))),
    ("Ibm500", "IBM500", published("cp500")),
    ("Ibm850", "IBM850", identity_below(0x80, published("cp850"))),
    ("Ibm852", "IBM852", identity_below(0x80, published("cp852"))),
    ("Ibm855", "IBM855", identity_below(0x80, published("cp855"))),
    ("Ibm857", "IBM857",
     with_changes(identity_below(0x80, published("cp857")),
                  {0xD5: 0xF8BB, 0xE7: 0xF8BC, 0xF2: 0xF8BD})),
    ("Ibm860", "IBM860", identity_below(0x80, published("cp860"))),
    ("Ibm861", "IBM861", identity_below(0x80, published("cp861"))),
    ("Ibm862", "IBM862", identity_below(0x80, published("cp862"))),
    ("Ibm863", "IBM863", identity_below(0x80, published("cp863"))),
    ("Ibm864", "IBM864", ibm864()),
    ("Ibm865", "IBM865", identity_below(0x80, published("cp865"))),
    ("Ibm866", "IBM866", identity_below(0x80, published("cp866"))),
    ("Ibm869", "IBM869", identity_below(0x80, published("cp869"))),
    ("Ibm1026", "IBM1026",
     with_changes(published("cp1026"), {0x9D: UNDEFINED, 0xBC: UNDEFINED})),
    ("Windows1250", "windows-1250", windows("cp1250")),
    ("Windows1251", "windows-1251", windows("cp1251")),
    ("Windows1252", "windows-1252", windows("cp1252")),
    ("Windows1253", "windows-1253", windows("cp1253", {0xAA: 0xF8F9, 0xD2: 0xF8FA, 0xFF: 0xF8FB})),
    ("Windows1254", "windows-1254", windows("cp1254")),
    ("Windows1255", "windows-1255", windows("cp1255", cp1255_extra())),
    ("Windows1256", "windows-1256", windows("cp1256")),
    ("Windows1257", "windows-1257", windows("cp1257", {0xA1: 0xF8FC, 0xA5: 0xF8FD})),
    ("Windows1258", "windows-1258", windows("cp1258")),
    ("MacLatin2", "MacLatin2", identity_below(0x80, published("mac_latin2"))),
    ("MacRoman", "MacRoman",
     with_changes(identity_below(0x80, published("mac_roman")),
                  {0xBD: 0x2126, 0xDB: 0x00A4, 0xF0: UNDEFINED})),
    ("MacCyrillic", "MacCyrillic",
     with_changes(identity_below(0x80, published("mac_cyrillic")),
                  {0xA2: 0x00A2, 0xB6: 0x2202, 0xFF: 0x00A4})),
    # Bytes from 0x80 are refused by the codec itself; the table only marks them.
    ("UsAscii", "US-ASCII", [b if b < 0x80 else UNDEFINED for b in range(256)]),
    ("EbcdicUs", "EBCDIC-US", ebcdic_us()),
    ("Koi8R", "KOI8-R", identity_below(0x80, published("koi8_r"))),
    ("JisX0201", "JIS_X0201", by_rule(jis_x0201)),
]


def main():
    assert len(CODE_PAGES) == 46
    print("// Generated by scripts/gen-codepage-tables.py. Do not edit.")
    print("// The code point of every byte; 0xFFFF marks a byte the code page leaves undefined.")
    for ident, name, table in CODE_PAGES:
        assert len(table) == 256 and all(0 <= c <= 0xFFFF for c in table), ident
        print()
        print(f"constexpr TCodePage k{ident}CodePage = {{")
        print(f'    "{name}",')
        print("    {")
        for row in range(0, 256, 8):
            codes = " ".join(f"0x{c:04X}," for c in table[row:row + 8])
            print(f"        {codes} // 0x{row:02X}")
        print("    },")
        print("};")


if __name__ == "__main__":
    sys.exit(main())
