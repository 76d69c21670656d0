#!/usr/bin/env python3
"""Writes the small hand-made seed inputs of every fuzz target into corpus/<target>/.

Run again after changing a seed; the files are kept in the repository so a fuzz run
starts from them without this script."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def seeds(target, items):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for name, data in items.items():
        if isinstance(data, str):
            data = data.encode("utf-8")
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


CRLF = "\r\n"

TILE_LIST = CRLF.join([
    '<?xml version="1.0" ?>', "<TileList>", '  <Tile id="0">', '    <Name id="0">Grass</Name>',
    '    <TileId id="0">$0003</TileId>', '    <TileId id="1">$0004</TileId>', "  </Tile>",
    '  <Tile id="1">', '    <Name id="1">Sand &amp; stones</Name>',
    '    <TileId id="0">$0016</TileId>', "  </Tile>", "</TileList>", ""])

XML_DOCS = {
    "tilelist.xml": TILE_LIST,
    "entities.xml": '<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE r [<!ENTITY e "x&#65;y">]>'
                    '<r a="&lt;&#x41;&e;" b=\'q\'>t &e; &#8364; &amp;&unknown; &</r>',
    "cdata.xml": "<a><![CDATA[ raw <b> & ]]><!-- note --><?pi data?><b/></a>",
    "latin1.xml": b'<?xml version="1.0" encoding="windows-1252"?><a>\xe9\x80\xff</a>',
    "bom.xml": b"\xef\xbb\xbf<a x=\"1\">\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80 \xc3</a>",
    "unclosed.xml": "<a><b attr='1' <!-- never closed <![CDATA[ x",
}

BOOKMARKS = CRLF.join(['<?xml version="1.0" ?>', "<BookmarkList>"] + [
    f'  <Bookmark id="{i}"><Col>{100 * i}</Col><Row>{50 * i}</Row>'
    f'<Enabled>{"True" if i % 2 else "False"}</Enabled></Bookmark>' for i in range(10)
] + ["</BookmarkList>", ""])

seeds("xml_parser", XML_DOCS)
seeds("tile_list", {"tilelist.xml": TILE_LIST, "carry.xml":
                    "<TileList><Tile><Name>A</Name><TileId>1</TileId></Tile>"
                    "<Tile><TileId>$FFFF</TileId><TileId>a,b</TileId></Tile><Tile/></TileList>"})
seeds("bookmarks", {"bookmarklist.xml": BOOKMARKS,
                    "bad.xml": "<BookmarkList><Bookmark><Col>$1A</Col><Row>x</Row></Bookmark>"})

seeds("number_text", {"dec": "123", "neg": "-2147483648", "hex": "$FFFFFFFF", "0x": "0x1A",
                      "blank": "  42", "big": "2147483648", "bad": "12a", "sign": "+7",
                      "hexneg": "-$10"})
# text_numbers: first byte picks the byte count, then a length-prefixed separator, then text.
seeds("text_numbers", {"hex2": b"\x02\x01,01 D3", "hex4": b"\x04\x01,FF FF FF FF",
                   "triple": b"\x01\x01,1,2,3", "sep2": b"\x03\x02::a::b::", "trail": b"\x00\x01,1,$2, 3 \t"})
seeds("line_file", {"crlf": "a\r\nb\r\n", "mixed": "a\nb\rc\r\n\r\nlast",
                    "utf8bom": b"\xef\xbb\xbfcaf\xc3\xa9\r\n", "utf16le": "\ufeffhi\r\nthere".encode("utf-16-le"),
                    "utf16be": "\ufeffhi\nthere".encode("utf-16-be"), "cp1252": b"\x80\x9f\xff\r\n",
                    "odd16": b"\xff\xfeA"})
seeds("patch_file", {"patch.qvp": CRLF.join(["[0]", "X=10", "Y=20", "Z=-5", "ID=01 D3",
                                             "[1]", "X=$5A8", "Y=0", "Z=127", "ID=", ""]),
                     "outside.qvp": CRLF.join(["[0]", "X=5000", "Y=1", "[1]", "x = 1 ", "Z=200"]),
                     "coords.def": CRLF.join(["[0]", "X=1500", "Y=1650", "[ 1 ]", "X=-1"]),
                     "bad.qvp": CRLF.join(["[0]", "X=1", "Y=1", "ID=GG"])})
seeds("texture_list", {"tileids.lst": CRLF.join(f"textureid=${i:04X}" for i in range(3, 12)) + CRLF,
                       "plain.lst": "1\r\n$1D3\r\n-1\r\n", "bad.lst": "textureid=$0016\r\nxyz\r\n",
                       "empty.lst": ""})
seeds("brush", {"pond.brs": "0,1,$0018\r\n0,2,$0017\r\n1,0,$0016\r\n",
                "odd.brs": "255,0,1\r\n-1,2,3\r\n2,2,$10000\r\n3,3,$FFFF  \r\n1,1\r\n"})
seeds("catalogue_names", {"plain": "Pond", "dots": "..", "slash": "a/b", "back": "a\\b",
                          "nul": b"a\x00b", "dot": ".", "spaces": " x "})

# Art: two ints of extra ids, then three length-prefixed buffers (provider takes the
# length from the end of the data), so seeds are only rough starting points.
def art_index(entries):
    return b"".join(struct.pack("<iII", *e) for e in entries)

land = bytes(range(256)) * 8
seeds("land_art", {
    "small": struct.pack("<ii", 1, 3) + art_index([(0, 2048, 0), (-1, 0, 0), (0, 8192, 0)]) + land,
    "texture": struct.pack("<ii", 0, 70000) + art_index([(16, 8192, 0), (0, 32768, 0)]) + land[:512],
})
seeds("radar_colours", {"short": struct.pack("<4H", 0x7FFF, 0x001F, 0x03E0, 0x7C00),
                        # a whole table (16383 colours) and one with a tail past it
                        "full": b"".join(struct.pack("<H", (i * 37) & 0xFFFF) for i in range(16383)),
                        "tail": b"".join(struct.pack("<H", i & 0x7FFF) for i in range(16400)),
                        "empty": b"", "odd": b"\x01\x02\x03"})
# map_image: name, size, variant index, buffer size, then cells.
seeds("map_image", {"map4": b"map4.mul\x00" + struct.pack("<q", 6421156) + b"\x06" * 40,
                    "map0": b"MAP0.MUL\x00" + struct.pack("<q", 89915392) + b"\x00\x10" * 20,
                    "none": b"statics0.mul\x00" + b"\xff" * 40})
# diff: a patch header for the header reader, then whole runs in the layout fuzz_diff.cpp
# describes at its top: flags, grid, settings, two pointers per block, cut sizes, both
# statics files, the map edits.
header = "TBPatch".encode("utf-16-le") + struct.pack("<iiIiIiiI", 3, 1024, 0, 0, 0, 0, -1, 0)


def diff_run(flags, columns, rows, blocks, orig_statics=b"", mod_statics=b"", map_seed=0,
             map_edits=(), settings=(255, 255, 31, 31, 7), cuts=(0, 0, 0, 0)):
    assert len(blocks) == columns * rows
    data = bytes([flags, columns - 1, rows - 1, *settings])
    for orig, mod in blocks:
        data += orig + mod
    data += bytes(cuts) + bytes([len(orig_statics)]) + orig_statics
    data += bytes([len(mod_statics)]) + mod_statics
    data += bytes([map_seed, len(map_edits)])
    for block, offset, value in map_edits:
        data += bytes([block, offset, value])
    return data


def no_statics(extra=0):
    return bytes([1, extra])


def same_pointer(extra=0):  # modified pointers only: the original one again
    return bytes([0, extra])


def near(lookup, records, extra=0):  # lookup -2..61, whole records 0..7
    return bytes([2, lookup + 2, records, extra])


def odd_length(lookup, length, extra=0):  # a length of 0..63 bytes, not whole records
    return bytes([2, lookup + 2, 0x80 | length, extra])


def anywhere(lookup, length, extra=0):
    return bytes([4]) + struct.pack("<iI", lookup, length) + bytes([extra])


recs = bytes((i * 29 + 3) & 0xFF for i in range(70))
seeds("diff", {
    "header": header + bytes(1024 - len(header)),
    # Statics only: a pointer with a new Extra, equal records elsewhere, a large block
    # compared in chunks, an emptied block, changed records and two empty blocks.
    "statics": diff_run(0x01, 2, 3, [
        (near(0, 2), same_pointer(9)),
        (near(14, 1), near(28, 1)),
        (no_statics(), near(0, 4)),
        (near(0, 1), no_statics()),
        (near(21, 2), near(36, 2)),
        (near(35, 0), near(50, 0))],
        recs, bytes(range(100, 128)) + recs[14:35] + bytes(range(7)),
        settings=(20, 20, 9, 3, 1)),
    # Both parts on a 3 x 5 grid: changed map blocks inside and outside the checksum.
    "both": diff_run(0x03, 3, 5, [(no_statics(), same_pointer())] * 12 + [
        (near(0, 1), near(7, 1)), (near(0, 3), same_pointer()), (no_statics(), near(0, 0))],
        recs[:21], recs[7:28], 7, [(0, 0, 1), (4, 195, 2), (12, 100, 3), (14, 5, 4)],
        settings=(255, 255, 31, 31, 2)),
    "map_tail": diff_run(0x82, 2, 2, [(no_statics(), same_pointer())] * 4, map_seed=200,
                         map_edits=[(1, 7, 0), (3, 0, 9)]),
    "bad_length": diff_run(0x01, 1, 1, [(no_statics(), odd_length(0, 13))], recs[:20],
                           recs[:20]),
    "hostile_pointer": diff_run(0x01, 1, 2, [(no_statics(), anywhere(0x7FFFFFF0, 0xFFFFFFF9)),
                                             (anywhere(-7, 7), near(0, 1))], recs[:7], recs[:7]),
    "short_index": diff_run(0x09, 1, 2, [(near(0, 1), near(7, 1))] * 2, recs[:14], recs[:14],
                            cuts=(0, 3, 0, 0)),
    "short_map": diff_run(0x23, 2, 1, [(no_statics(), same_pointer())] * 2, cuts=(0, 0, 0, 195)),
    "neither": diff_run(0x00, 1, 1, [(no_statics(), no_statics())]),
})


# uop_container: whole container files of a facet 1 map (fuzz_uop_container.cpp names the
# input map1LegacyMUL.uop). Entry names are hashed with lookup3's hashlittle2, seeds 0.
def uop_hash(name):
    mask = 0xFFFFFFFF

    def rot(x, k):
        return ((x << k) | (x >> (32 - k))) & mask

    data = name.lower().encode("ascii")
    length = len(data)
    a = b = c = (0xDEADBEEF + length) & mask
    at = 0
    while length > 12:
        x, y, z = struct.unpack_from("<III", data, at)
        a, b, c = (a + x) & mask, (b + y) & mask, (c + z) & mask
        a = (a - c) & mask; a ^= rot(c, 4); c = (c + b) & mask
        b = (b - a) & mask; b ^= rot(a, 6); a = (a + c) & mask
        c = (c - b) & mask; c ^= rot(b, 8); b = (b + a) & mask
        a = (a - c) & mask; a ^= rot(c, 16); c = (c + b) & mask
        b = (b - a) & mask; b ^= rot(a, 19); a = (a + c) & mask
        c = (c - b) & mask; c ^= rot(b, 4); b = (b + a) & mask
        length -= 12
        at += 12
    if length == 0:
        return (b << 32) | c
    x, y, z = struct.unpack("<III", data[at:] + bytes(12 - length))
    a, b, c = (a + x) & mask, (b + y) & mask, (c + z) & mask
    c ^= b; c = (c - rot(b, 14)) & mask
    a ^= c; a = (a - rot(c, 11)) & mask
    b ^= a; b = (b - rot(a, 25)) & mask
    c ^= b; c = (c - rot(b, 16)) & mask
    a ^= c; a = (a - rot(c, 4)) & mask
    b ^= a; b = (b - rot(a, 14)) & mask
    c ^= b; c = (c - rot(b, 24)) & mask
    return (b << 32) | c


def uop_file(tables, header_size=40, chain_to=None):
    """tables: lists of (name, bytes, zlib, entry header); each table followed by its
    entries' bytes, the chain from the last table back to the first."""
    out = bytearray(header_size)
    struct.pack_into("<III", out, 0, 0x0050594D, 5, 0xFD23EC43)
    starts = []
    for table in tables:
        starts.append(len(out))
        out += struct.pack("<IQ", len(table), 0) + bytes(34 * len(table))
        for i, (name, data, deflate, head) in enumerate(table):
            stored = zlib.compress(data) if deflate else data
            struct.pack_into("<QIIIQIH", out, starts[-1] + 12 + 34 * i, len(out), len(head),
                             len(stored), len(data), uop_hash(name), zlib.adler32(stored),
                             1 if deflate else 0)
            out += head + stored
    struct.pack_into("<QII", out, 12, starts[-1], 100, sum(len(t) for t in tables))
    for t in range(len(starts) - 1, 0, -1):
        struct.pack_into("<Q", out, starts[t] + 4, starts[t - 1])
    if chain_to is not None:
        struct.pack_into("<Q", out, starts[0] + 4, starts[chain_to])
    return bytes(out)


def map1(i):
    return "build/map1legacymul/%08u.dat" % i


block_bytes = bytes((i * 7 + 1) & 0xFF for i in range(196 * 3))
seeds("uop_container", {
    "two_entries": uop_file([[(map1(0), block_bytes, False, b""),
                              (map1(1), block_bytes[:200], True, b"")]]),
    "two_tables": uop_file([[(map1(1), block_bytes, False, b"\x01\x02\x03"),
                             ("build/map1legacymul/notes.txt", b"hello", True, b"")],
                            [(map1(0), block_bytes[:196], False, b"")]], header_size=64),
    "loop": uop_file([[(map1(0), block_bytes, False, b"")], [(map1(1), block_bytes, False, b"")]],
                     chain_to=1),
    "gap": uop_file([[(map1(0), block_bytes, False, b""), (map1(2), block_bytes, False, b"")]]),
    "twice": uop_file([[(map1(0), block_bytes, False, b"")], [(map1(0), b"x", False, b"")]]),
})
