#include "shell/XmlParser.h"
#include "shell/TextCodec.h"

#include "TestPaths.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace tb;
using Parts = std::vector<std::string>;

namespace {

const char* kindName(XmlPartType t) {
    switch (t) {
    case XmlPartType::None:
        return "None";
    case XmlPartType::Prolog:
        return "Prolog";
    case XmlPartType::Comment:
        return "Comment";
    case XmlPartType::ProcessingInstruction:
        return "PI";
    case XmlPartType::Doctype:
        return "Doctype";
    case XmlPartType::StartTag:
        return "Start";
    case XmlPartType::EmptyTag:
        return "Empty";
    case XmlPartType::EndTag:
        return "End";
    case XmlPartType::Text:
        return "Text";
    case XmlPartType::CData:
        return "CData";
    }
    return "?";
}

// Every part as "Kind:Name" or, for text-like parts, "Kind:Name=Text".
Parts scan(XmlParser& parser) {
    Parts parts;
    parser.restart();
    while (parser.nextPart()) {
        std::string part = std::string(kindName(parser.partType())) + ":" + parser.partName();
        if (parser.partType() == XmlPartType::Text || parser.partType() == XmlPartType::CData ||
            parser.partType() == XmlPartType::Comment)
            part += "=" + parser.partText();
        parts.push_back(part);
    }
    return parts;
}

Parts scan(std::string_view document) {
    XmlParser parser;
    parser.loadFromBytes(document);
    return scan(parser);
}

// The text of the only text part of a document.
std::string textOf(std::string_view document) {
    XmlParser parser;
    parser.loadFromBytes(document);
    std::string text = "<no text>";
    while (parser.nextPart()) {
        if (parser.partType() == XmlPartType::Text)
            text = parser.partText();
    }
    return text;
}

} // namespace

TEST(XmlParser, DeliversTagsAndTextWithTheEnclosingName) {
    const std::string doc = "<?xml version=\"1.0\" ?>\r\n<TileList>\r\n  <Tile id=\"0\">\r\n"
                            "    <Name id=\"0\">Random grass</Name>\r\n"
                            "    <TileId id=\"0\"></TileId>\r\n  </Tile>\r\n</TileList>\r\n";
    EXPECT_EQ(scan(doc), (Parts{"Prolog:xml", "Start:TileList", "Start:Tile", "Start:Name",
                                "Text:Name=Random grass", "End:Name", "Start:TileId", "End:TileId",
                                "End:Tile", "End:TileList"}));

    XmlParser parser;
    parser.loadFromBytes(doc);
    EXPECT_EQ(parser.partType(), XmlPartType::None);
    ASSERT_TRUE(parser.nextPart());
    EXPECT_EQ(parser.attribute("version"), "1.0");
    ASSERT_TRUE(parser.nextPart());
    ASSERT_TRUE(parser.nextPart());
    EXPECT_EQ(parser.attributes(), (std::vector<XmlAttribute>{{"id", "0"}}));
}

TEST(XmlParser, TextAfterAnEndTagTakesThatTagsName) {
    EXPECT_EQ(scan("<a>one<b>two</b>three</a>"),
              (Parts{"Start:a", "Text:a=one", "Start:b", "Text:b=two", "End:b", "Text:b=three",
                     "End:a"}));
    EXPECT_EQ(scan("<a><br/>x</a>"), (Parts{"Start:a", "Empty:br", "Text:br=x", "End:a"}));
    EXPECT_EQ(scan("text before any tag<a/>"), (Parts{"Text:=text before any tag", "Empty:a"}));
    // Comments and processing instructions do not change the name.
    EXPECT_EQ(scan("<Col><!-- c --><?pi x?>12</Col>"),
              (Parts{"Start:Col", "Comment:= c ", "PI:pi", "Text:Col=12", "End:Col"}));
}

TEST(XmlParser, ReplacesReferences) {
    EXPECT_EQ(textOf("<a>  A &amp; B  </a>"), "A & B");
    EXPECT_EQ(textOf("<a>&lt;&gt;&apos;&quot;&amp;amp;</a>"), "<>'\"&amp;");
    EXPECT_EQ(textOf("<a>&#65;&#x42;&#X43;&#233;&#x20AC;</a>"), "ABC\u00E9\u20AC");
    // Characters the code page lacks, and codes that name no character.
    EXPECT_EQ(textOf("<a>&#937;|&#x1F600;|&#0;|&#x110000;|&#99999999999999;</a>"),
              "\u00BF|\u00BF|\u00BF|\u00BF|\u00BF");
    // An "&" with no ";" after it in the text is dropped.
    EXPECT_EQ(scan("<a>A & B</a><b>;</b>"),
              (Parts{"Start:a", "Text:a=A B", "End:a", "Start:b", "Text:b=;", "End:b"}));
    EXPECT_EQ(textOf("<a>Tom&Jerry</a>"), "TomJerry");
    // Unknown names and malformed references stay as written.
    EXPECT_EQ(textOf("<a>&nbsp; &#xZZ; &#; a & b;</a>"), "&nbsp; &#xZZ; &#; a & b;");
    // A reference that produces white space is normalised like written white space.
    EXPECT_EQ(textOf("<a>&#32;x&#10;&#9;y&#13;</a>"), "x y");
    EXPECT_EQ(textOf("<a>&#32;&#10;</a>"), "<no text>");
}

TEST(XmlParser, NormalisesWhiteSpaceAndDropsEmptyText) {
    EXPECT_EQ(textOf("<a>\r\n\t  several \t\r\n  words\n</a>"), "several words");
    EXPECT_EQ(scan("<a>\r\n   \t</a>\r\n\r\n<b/>\r\n"), (Parts{"Start:a", "End:a", "Empty:b"}));
}

TEST(XmlParser, DeliversCDataAsItStands) {
    EXPECT_EQ(scan("<TileId><![CDATA[  $0245 &amp; <x> ]]></TileId>"),
              (Parts{"Start:TileId", "CData:TileId=  $0245 &amp; <x> ", "End:TileId"}));
    EXPECT_EQ(scan("<a><![CDATA[]]></a>"), (Parts{"Start:a", "CData:a=", "End:a"}));
    EXPECT_EQ(scan("<a><![CDATA[caf\xC3\xA9 \xCE\xA9]]></a>"),
              (Parts{"Start:a", "CData:a=caf\u00E9 \u00BF", "End:a"}));
}

TEST(XmlParser, DecodesUtf8AndMarksCharactersTheCodePageLacks) {
    // UTF-8 by default; Omega and the emoji are not in Windows-1252, a lone byte is bad UTF-8.
    EXPECT_EQ(textOf("<a>caf\xC3\xA9 \xE2\x82\xAC \xCE\xA9 \xF0\x9F\x98\x80 \xE9</a>"),
              "caf\u00E9 \u20AC \u00BF \u00BF \u00BF");
    // A byte-order mark is skipped and keeps UTF-8 even when the prolog names another.
    EXPECT_EQ(scan("\xEF\xBB\xBF<a>\xC3\xA9</a>"), (Parts{"Start:a", "Text:a=\u00E9", "End:a"}));
    EXPECT_EQ(
        textOf("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>\xC3\xA9</a>"),
        "\u00E9");
    // Another declared encoding leaves the bytes as Windows-1252.
    XmlParser parser;
    parser.loadFromBytes("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?><a>caf\xE9 \x80</a>");
    EXPECT_EQ(scan(parser), (Parts{"Prolog:xml", "Start:a", "Text:a=caf\u00E9 \u20AC", "End:a"}));
    // A restart rescans the prolog.
    parser.restart();
    EXPECT_EQ(scan(parser), (Parts{"Prolog:xml", "Start:a", "Text:a=caf\u00E9 \u20AC", "End:a"}));
    EXPECT_EQ(textOf("<?xml version='1.0' encoding='UTF-8'?><a>\xC3\xA9</a>"), "\u00E9");
}

TEST(XmlParser, SkipsPrologCommentsInstructionsAndDoctype) {
    const std::string doc =
        "<?xml version=\"1.0\"?>\n<!-- <Tile> inside a comment -->\n<?app data?>\n"
        "<!DOCTYPE list [\n  <!ENTITY grass \"Random &#103;rass\">\n"
        "  <!-- ] > -->\n  <!ENTITY % param \"x\">\n  <!ELEMENT list (#PCDATA)>\n"
        "  <!ATTLIST list a CDATA \">\">\n]>\n<list>&grass; &param;</list>";
    EXPECT_EQ(scan(doc),
              (Parts{"Prolog:xml", "Comment:= <Tile> inside a comment ", "PI:app", "Doctype:list",
                     "Start:list", "Text:list=Random grass &param;", "End:list"}));
    EXPECT_EQ(scan("<?xml?><a/>"), (Parts{"PI:xml", "Empty:a"})); // no blank: not the prolog
    EXPECT_EQ(scan("<!DOCTYPE x SYSTEM \"a>b\"><x/>"), (Parts{"Doctype:x", "Empty:x"}));
}

TEST(XmlParser, TagsEndTagsAndAttributes) {
    XmlParser parser;
    parser.loadFromBytes("<Tile id='7' name = \"a &amp; b\" flag bare=x/><Tile\tx=\"1\" >"
                         "</Tile ><Name/ >");
    ASSERT_TRUE(parser.nextPart());
    EXPECT_EQ(parser.partType(), XmlPartType::EmptyTag);
    EXPECT_EQ(parser.partName(), "Tile");
    EXPECT_EQ(
        parser.attributes(),
        (std::vector<XmlAttribute>{{"id", "7"}, {"name", "a & b"}, {"flag", ""}, {"bare", "x"}}));
    EXPECT_EQ(parser.attribute("missing"), std::nullopt);
    ASSERT_TRUE(parser.nextPart());
    EXPECT_EQ(parser.partType(), XmlPartType::StartTag);
    EXPECT_EQ(parser.partName(), "Tile");
    EXPECT_EQ(parser.attributes(), (std::vector<XmlAttribute>{{"x", "1"}}));
    ASSERT_TRUE(parser.nextPart());
    EXPECT_EQ(parser.partType(), XmlPartType::EndTag);
    EXPECT_EQ(parser.partName(), "Tile");
    EXPECT_TRUE(parser.attributes().empty());
    ASSERT_TRUE(parser.nextPart());
    EXPECT_EQ(parser.partType(), XmlPartType::StartTag); // "/" not just before ">"
    EXPECT_EQ(parser.partName(), "Name");
    EXPECT_FALSE(parser.nextPart());
    EXPECT_EQ(parser.partType(), XmlPartType::None);
    // Names are kept as written; the reader does not fold case.
    EXPECT_EQ(scan("<tile></TILE>"), (Parts{"Start:tile", "End:TILE"}));
}

TEST(XmlParser, UnclosedConstructsRunToTheEnd) {
    EXPECT_EQ(
        scan("<a>x</a><b attr=\"1\">y<!-- open <c>z</c>"),
        (Parts{"Start:a", "Text:a=x", "End:a", "Start:b", "Text:b=y", "Comment:= open <c>z</c>"}));
    EXPECT_EQ(scan("<a>x<![CDATA[ open <c>z</c>"),
              (Parts{"Start:a", "Text:a=x", "CData:a= open <c>z</c>"}));
    EXPECT_EQ(scan("<a>x</a><b id=\"1\" text"), (Parts{"Start:a", "Text:a=x", "End:a", "Start:b"}));
    EXPECT_EQ(scan("<a>x</a"), (Parts{"Start:a", "Text:a=x", "End:a"}));
    EXPECT_EQ(scan("<a b=\"unclosed>text</a>"), (Parts{"Start:a", "Text:a=text", "End:a"}));
    EXPECT_EQ(scan("<?xml version"), (Parts{"Prolog:xml"}));
    EXPECT_EQ(scan("<!DOCTYPE a [ <!ENTITY e \"v"), (Parts{"Doctype:a"}));
    EXPECT_EQ(scan("<"), (Parts{"Start:"}));
    EXPECT_EQ(scan(""), Parts{});
    EXPECT_EQ(scan("  \r\n "), Parts{});
}

TEST(XmlParser, TellsTheLineEachPartStartsOn) {
    XmlParser parser;
    // CR LF, LF and a lone CR each end a line; a comment spanning lines counts them all.
    parser.loadFromBytes("\xEF\xBB\xBF<a>\r\n<b x=\"1\"\n y=\"2\"/>\r<!-- one\ntwo -->\n\n<c/>");
    std::vector<std::pair<std::string, std::size_t>> lines;
    EXPECT_EQ(parser.partLine(), 0u);
    while (parser.nextPart())
        lines.emplace_back(parser.partName(), parser.partLine());
    EXPECT_EQ(lines, (std::vector<std::pair<std::string, std::size_t>>{
                         {"a", 1}, {"b", 2}, {"", 4}, {"c", 7}}));
    parser.restart(); // counting starts again
    ASSERT_TRUE(parser.nextPart());
    EXPECT_EQ(parser.partLine(), 1u);
}

TEST(XmlParser, MissingFileGivesNoPartsAndAFileLoads) {
    tbtest::TempDir dir;
    XmlParser parser;
    parser.loadFromBytes("<a/>");
    EXPECT_FALSE(parser.loadFile(dir / "missing.xml"));
    EXPECT_EQ(scan(parser), Parts{});
    EXPECT_FALSE(parser.loadFile(dir.path())); // a folder is no file

    tbtest::writeBytes(dir / "list.xml", {'<', 'a', '>', 'x', '<', '/', 'a', '>'});
    EXPECT_TRUE(parser.loadFile(dir / "list.xml"));
    EXPECT_EQ(scan(parser), (Parts{"Start:a", "Text:a=x", "End:a"}));
    EXPECT_EQ(scan(parser), (Parts{"Start:a", "Text:a=x", "End:a"})); // restart rescans
}

TEST(XmlParser, DeclaredEntitiesCannotExplode) {
    // Entity values do not expand other declared entities, and the total expansion of one
    // document has a budget: past it references stay as written.
    std::string doc = "<!DOCTYPE d [<!ENTITY e0 \"" + std::string(1000, 'x') + "\">";
    for (int level = 1; level < 8; ++level) {
        doc += "<!ENTITY e" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            doc += "&e" + std::to_string(level - 1) + ";";
        doc += "\">";
    }
    doc += "]><d>";
    for (int i = 0; i < 100000; ++i)
        doc += "&e0;";
    doc += "</d>";
    const std::string text = textOf(doc);
    EXPECT_LE(text.size(), 9u << 20);
    EXPECT_NE(text.find("&e0;"), std::string::npos);
}

TEST(XmlParser, SurvivesRandomInput) {
    // Random documents built from markup fragments and raw bytes: every scan must end, and
    // every string handed out must be valid UTF-8 (the sanitiser build catches overreads).
    const std::vector<std::string> pieces = {"<",
                                             ">",
                                             "/",
                                             "</",
                                             "/>",
                                             "<?",
                                             "?>",
                                             "<?xml ",
                                             "<!--",
                                             "-->",
                                             "<!DOCTYPE",
                                             "[",
                                             "]",
                                             "<![CDATA[",
                                             "]]>",
                                             "&",
                                             ";",
                                             "&#",
                                             "&#x",
                                             "&amp;",
                                             "\"",
                                             "'",
                                             "=",
                                             " ",
                                             "\r\n",
                                             "a",
                                             "Tile",
                                             "\xC3",
                                             "\xA9",
                                             "\xFF",
                                             "\xEF\xBB\xBF",
                                             "encoding=\"latin1\"",
                                             "<!ENTITY e \"&#65;\">",
                                             "&e;",
                                             "9",
                                             "F"};
    std::mt19937 rng(12345);
    for (int round = 0; round < 3000; ++round) {
        std::string doc;
        const int count = int(rng() % 40);
        for (int i = 0; i < count; ++i)
            doc += pieces[rng() % pieces.size()];
        XmlParser parser;
        parser.loadFromBytes(doc);
        std::size_t parts = 0;
        while (parser.nextPart()) {
            ASSERT_LE(++parts, doc.size()) << doc;
            ASSERT_TRUE(isValidUtf8(parser.partName())) << doc;
            ASSERT_TRUE(isValidUtf8(parser.partText())) << doc;
            for (const auto& a : parser.attributes())
                ASSERT_TRUE(isValidUtf8(a.name) && isValidUtf8(a.value)) << doc;
        }
    }
}
