#!/usr/bin/env python3
"""Writes the small hand-made seed inputs of every fuzz target into corpus/<target>/.

Run again after changing a seed; the files are kept in the repository so a fuzz run
starts from them without this script."""
import os
import struct

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
# bh_tools: first byte picks the byte count, then a length-prefixed separator, then text.
seeds("bh_tools", {"hex2": b"\x02\x01,01 D3", "hex4": b"\x04\x01,FF FF FF FF",
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
header = "TBPatch".encode("utf-16-le") + struct.pack("<iiIiIiiI", 3, 1024, 0, 0, 0, 0, -1, 0)
seeds("diff", {"header": header + bytes(1024 - len(header)),
               "entries": bytes([3, 0, 0, 1, 5, 1, 2, 3]) + b"\x11" * 60})
