#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/runtime/Classes.h"
#include "platform/runtime/CodePages.h"
#include "platform/runtime/Streams.h"
#include "qvedit/highlighters/QvDfmConvert.h"
#include "qvedit/highlighters/QvHighlighterDfm.h"

namespace {

std::string Bytes(std::initializer_list<int> bytes)
{
    std::string s;
    for (int b : bytes)
        s += static_cast<char>(b);
    return s;
}

std::string Short(const std::string& s)
{
    return static_cast<char>(s.size()) + s;
}

// An object stream of one object "F: TF" with the given encoded properties.
std::string FormWithProperties(const std::string& properties)
{
    return "TPF0" + Short("TF") + Short("F") + properties + Bytes({0, 0});
}

// A form using every kind of nesting, with its text and its binary stream.
const std::string NestedText =
    "inherited F: TF [2]\r\n"
    "  I = -129\r\n"
    "  S = 'a'#13\r\n"
    "  E = []\r\n"
    "  L = (\r\n"
    "    1\r\n"
    "    True)\r\n"
    "  B = {\r\n"
    "    0AFF}\r\n"
    "  C = <\r\n"
    "    item [1]\r\n"
    "      X = nil\r\n"
    "    end>\r\n"
    "  object Child: TChild\r\n"
    "  end\r\n"
    "end\r\n";

const std::string NestedBinary =
    "TPF0" + Bytes({0xF3, 2, 2}) + Short("TF") + Short("F") +  //
    Short("I") + Bytes({3, 0x7F, 0xFF}) +                      //
    Short("S") + Bytes({6, 2, 'a', 13}) +                      //
    Short("E") + Bytes({11, 0}) +                              //
    Short("L") + Bytes({1, 2, 1, 9, 0}) +                      //
    Short("B") + Bytes({10, 2, 0, 0, 0, 0x0A, 0xFF}) +         //
    Short("C") + Bytes({14, 2, 1, 1}) + Short("X") + Bytes({13, 0, 0}) +
    Bytes({0}) +                                               // end of properties
    Short("TChild") + Short("Child") + Bytes({0, 0}) +         //
    Bytes({0});                                                // end of children

class TempFolder {
public:
    TempFolder()
    {
        char pattern[] = "/tmp/qv-dfm-convert-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

// ---- Both directions on known encodings -----------------------------------------------

TEST(DfmConvert, NestedFormInBothDirections)
{
    EXPECT_EQ(ObjectTextToBinary(NestedText), NestedBinary);
    EXPECT_EQ(ObjectBinaryToText(NestedBinary), NestedText);
}

TEST(DfmConvert, ScalarValuesInBothDirections)
{
    const std::string text =
        "object F: TF\r\n"
        "  A = 300\r\n"
        "  B = 70000\r\n"
        "  C = 5000000000\r\n"
        "  E = 1.5\r\n"
        "  G = 1.5s\r\n"
        "  H = 12.3456c\r\n"
        "  J = 2.5d\r\n"
        "  K = 'It''s'\r\n"
        "  M = #1055'x'\r\n"
        "  N = Form1.Button1\r\n"
        "  O = [akLeft, akTop]\r\n"
        "  P = False\r\n"
        "end\r\n";
    const std::string binary = FormWithProperties(
        Short("A") + Bytes({3, 0x2C, 0x01}) +                                   //
        Short("B") + Bytes({4, 0x70, 0x11, 0x01, 0}) +                          //
        Short("C") + Bytes({19, 0x00, 0xF2, 0x05, 0x2A, 0x01, 0, 0, 0}) +       //
        Short("E") + Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}) +        //
        Short("G") + Bytes({15, 0, 0, 0xC0, 0x3F}) +                            //
        Short("H") + Bytes({16, 0x40, 0xE2, 0x01, 0, 0, 0, 0, 0}) +             //
        Short("J") + Bytes({17, 0, 0, 0, 0, 0, 0, 0x04, 0x40}) +                //
        Short("K") + Bytes({6}) + Short("It's") +                               //
        Short("M") + Bytes({18, 2, 0, 0, 0, 0x1F, 0x04, 'x', 0}) +              //
        Short("N") + Bytes({7}) + Short("Form1.Button1") +                      //
        Short("O") + Bytes({11}) + Short("akLeft") + Short("akTop") + Bytes({0}) +
        Short("P") + Bytes({8}));
    EXPECT_EQ(ObjectTextToBinary(text), binary);
    EXPECT_EQ(ObjectBinaryToText(binary), text);
}

TEST(DfmConvert, TextVariantsReadAsTheSameValues)
{
    // Hexadecimal, the smallest integer width, case of keywords, strings joined by "+".
    const std::string text =
        "OBJECT F: TF\n  D = $FF\n  T = TRUE\n  S = 'ab' +\n 'c'#$41\nEND";
    const std::string binary = FormWithProperties(Short("D") + Bytes({3, 0xFF, 0}) +
                                                  Short("T") + Bytes({9}) +
                                                  Short("S") + Bytes({6}) + Short("abcA"));
    EXPECT_EQ(ObjectTextToBinary(text), binary);
}

TEST(DfmConvert, QuotedBytesInAWideStringGoThroughTheCodePage)
{
    struct TCodePageScope {
        Cardinal Saved = GetACP();
        ~TCodePageScope() { SetAnsiCodePage(Saved); }
    } scope;
    SetAnsiCodePage(1251);
    const std::string binary = ObjectTextToBinary("object F: TF\n  A = '\xC0'#1055\nend");
    EXPECT_EQ(binary, FormWithProperties(Short("A") + Bytes({18, 2, 0, 0, 0, 0x10, 0x04, 0x1F, 0x04})));
}

TEST(DfmConvert, LongStringsAndTheirWidths)
{
    const auto textOf = [](const std::string& value) {
        return "object F: TF\r\n  S = '" + value + "'\r\nend\r\n";
    };
    const std::string binary255 = ObjectTextToBinary(textOf(std::string(255, 'a')));
    EXPECT_EQ(binary255[4 + 3 + 2 + 2], 6);  // a short string
    const std::string binary300 = ObjectTextToBinary(textOf(std::string(300, 'a')));
    EXPECT_EQ(binary300.substr(4 + 3 + 2 + 2, 5), Bytes({12, 0x2C, 0x01, 0, 0}));
    // Written back in lines of 64 characters joined by "+".
    const std::string text = ObjectBinaryToText(binary300);
    const std::string line64 = "'" + std::string(64, 'a') + "' +\r\n    ";
    EXPECT_EQ(text, "object F: TF\r\n  S = " + line64 + line64 + line64 + line64 + "'" +
                        std::string(300 - 256, 'a') + "'\r\nend\r\n");
    EXPECT_EQ(ObjectTextToBinary(text), binary300);
}

TEST(DfmConvert, FloatingPointTextReadsBackExactly)
{
    for (const char* value : {"0.1", "1.0", "-0.0", "1e+300", "4e-4951", "1e-310", "0.1s",
                              "3.4028235e+38s", "1e-45s", "0.1d", "-12.5d", "0.0001c",
                              "922337203685477.5807c", "-922337203685477.5808c"}) {
        const std::string text = std::string("object F: TF\r\n  V = ") + value + "\r\nend\r\n";
        EXPECT_EQ(ObjectBinaryToText(ObjectTextToBinary(text)), text) << value;
    }
    // A currency is an exact decimal, rounded half away from zero past four places.
    const std::string rounded = ObjectTextToBinary("object F: TF V = 0.00005c end");
    EXPECT_EQ(rounded, FormWithProperties(Short("V") + Bytes({16, 1, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_THROW(ObjectTextToBinary("object F: TF V = 922337203685477.5808c end"), EParserError);
    EXPECT_THROW(ObjectTextToBinary("object F: TF V = 1e999s end"), EParserError);
}

// ---- Resource form and format detection -----------------------------------------------

TEST(DfmConvert, ResourceHeaderNamesTheClassInUpperCase)
{
    const std::string binary = ObjectTextToBinary(NestedText);
    const std::string resource = ObjectTextToResource(NestedText);
    const std::string header = Bytes({0xFF, 10, 0}) + "TF" + Bytes({0, 0x30, 0x10}) +
                               Bytes({static_cast<int>(binary.size()), 0, 0, 0});
    EXPECT_EQ(resource, header + binary);
    EXPECT_EQ(ObjectTextToResource("object X: TFormX\r\nend").substr(3, 7), std::string("TFORMX\0", 7));

    TStreamOriginalFormat format = sofUnknown;
    EXPECT_EQ(ObjectResourceToText(resource, format), NestedText);
    EXPECT_EQ(format, sofBinary);
    EXPECT_EQ(ObjectResourceToText(binary, format), NestedText);  // without the header
    EXPECT_EQ(format, sofBinary);
    EXPECT_EQ(ObjectResourceToText(NestedText, format), NestedText);
    EXPECT_EQ(format, sofText);
    EXPECT_THROW(ObjectResourceToText("garbage", format), EReadError);
    EXPECT_THROW(ObjectResourceToText(Bytes({0xFF, 10, 0, 'T', 'F'}), format), EReadError);
}

TEST(DfmConvert, FormatIsToldByTheFirstBytes)
{
    EXPECT_EQ(TestStreamFormat(""), sofUnknown);
    EXPECT_EQ(TestStreamFormat("\xFF"), sofBinary);
    EXPECT_EQ(TestStreamFormat("TPF0"), sofBinary);
    EXPECT_EQ(TestStreamFormat("TPF"), sofUnknown);
    for (const char* text : {"object", "Object", "inherited", "Inline", " ", "\r\n", "\n", "\t"})
        EXPECT_EQ(TestStreamFormat(text), sofText) << text;
    EXPECT_EQ(TestStreamFormat("end"), sofUnknown);
}

// ---- Malformed input ------------------------------------------------------------------

TEST(DfmConvert, EveryTruncationOfABinaryStreamIsAnError)
{
    for (std::size_t length = 0; length < NestedBinary.size(); ++length)
        EXPECT_THROW(ObjectBinaryToText(NestedBinary.substr(0, length)), EReadError) << length;
}

TEST(DfmConvert, MalformedBinaryValuesAreErrors)
{
    const auto bad = [](const std::string& properties) {
        EXPECT_THROW(ObjectBinaryToText(FormWithProperties(properties)), EReadError);
    };
    bad(Short("A") + Bytes({12, 0xFF, 0xFF, 0xFF, 0xFF}));         // string longer than the data
    bad(Short("A") + Bytes({18, 0xFF, 0xFF, 0xFF, 0x7F}));         // wide string likewise
    bad(Short("A") + Bytes({10, 0, 0, 0, 0x80}));                  // binary likewise
    bad(Short("A") + Bytes({22}));                                 // unknown value tag
    bad(Short("A") + Bytes({0}));                                  // no value
    bad(Short("A=B") + Bytes({2, 1}));                             // name that is no name
    bad(Short("A") + Bytes({7}) + Short("x y"));                   // identifier likewise
    bad(Short("End") + Bytes({2, 1}));                             // a word that ends objects
    bad(Short("A") + Bytes({11}) + Short("a.b") + Bytes({0}));     // set element likewise
    bad(Short("A") + Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x7F}));  // NaN
    bad(Short("A") + Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x40, 0xFF, 0x3F}));  // no integer bit
    bad(Short("A") + Bytes({15, 0, 0, 0x80, 0x7F}));              // infinite single
    bad(Short("A") + Bytes({20, 2, 0, 0, 0, 0xC3, 0x28}));        // invalid UTF-8
    bad(Short("A") + Bytes({14, 2, 1, 0}));                       // collection item without list
    EXPECT_THROW(ObjectBinaryToText("TPF1" + Short("TF") + Short("F") + Bytes({0, 0})), EReadError);
    // A class name whose length byte would read as object flags.
    const std::string longClass(240, 'T');
    EXPECT_THROW(ObjectBinaryToText("TPF0" + Bytes({0xF1}) + Short(longClass) + Short("F") +
                                    Bytes({0, 0})),
                 EReadError);
    EXPECT_THROW(ObjectTextToBinary("object F: " + longClass + " end"), EParserError);
}

TEST(DfmConvert, NestingIsBounded)
{
    const auto nestedLists = [](int depth) {
        return FormWithProperties(Short("A") + std::string(static_cast<std::size_t>(depth), '\x01') +
                                  std::string(static_cast<std::size_t>(depth), '\0'));
    };
    EXPECT_NO_THROW(ObjectBinaryToText(nestedLists(DfmMaxNesting)));
    EXPECT_THROW(ObjectBinaryToText(nestedLists(100000)), EReadError);

    const auto nestedText = [](int depth) {
        return "object F: TF\r\n  A = " + std::string(static_cast<std::size_t>(depth), '(') +
               std::string(static_cast<std::size_t>(depth), ')') + "\r\nend";
    };
    EXPECT_NO_THROW(ObjectTextToBinary(nestedText(DfmMaxNesting)));
    EXPECT_THROW(ObjectTextToBinary(nestedText(100000)), EParserError);
    std::string objects;
    for (int i = 0; i < 100000; ++i)
        objects += "object A: T\n";
    EXPECT_THROW(ObjectTextToBinary(objects), EParserError);
}

TEST(DfmConvert, MalformedTextIsAnErrorNamingTheLine)
{
    const auto errorOf = [](const std::string& text) -> std::string {
        try {
            ObjectTextToBinary(text);
        } catch (const EParserError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(errorOf("object F: TF\r\n  A = 'abc\r\nend"), "Unterminated string on line 2");
    EXPECT_EQ(errorOf("object F: TF\n  A = 1\n"), "Identifier expected on line 3");
    EXPECT_EQ(errorOf("object F: TF\n  B = {\n 0A0}\nend"), "Invalid binary value on line 2");
    EXPECT_EQ(errorOf("object F: TF\nend\nobject G: TG\nend"), "End of file expected on line 3");
    EXPECT_EQ(errorOf("object F: TF\n  A = ;\nend"), "Invalid property value on line 2");
    EXPECT_EQ(errorOf("object F: TF\n  A 1\nend"), "'=' expected on line 2");
    EXPECT_EQ(errorOf("thing F: TF\nend"), "'object' expected on line 1");
    EXPECT_EQ(errorOf("object F: TF\n  A = #70000\nend"), "Invalid character code on line 2");
    EXPECT_EQ(errorOf("object F: TF\n  A = 99999999999999999999\nend"),
              "Integer out of range: 99999999999999999999 on line 2");
    EXPECT_EQ(errorOf("object F: TF\n  " + std::string(256, 'N') + " = 1\nend"),
              "Name too long on line 2");
    EXPECT_EQ(errorOf("object F: TF\n  A = [a.b]\nend"), "Identifier expected on line 2");
}

// ---- The file functions ---------------------------------------------------------------

TEST(DfmConvert, SavedFormLoadsBackAsTheSameText)
{
    TempFolder folder;
    const std::string path = folder.File("form.dfm");
    TStringList lines;
    lines.SetText(NestedText);
    EXPECT_EQ(SaveStrings2DFMFile(&lines, path), 0);
    EXPECT_EQ(ReadFileBytes(path), ObjectTextToResource(NestedText));

    TStringList loaded;
    loaded.Add("left over");
    bool wasText = true;
    EXPECT_EQ(LoadDFMFile2Strings(path, &loaded, wasText), 0);
    EXPECT_FALSE(wasText);
    EXPECT_EQ(loaded.GetText(), NestedText);

    WriteFile(path, "object A: TA\nend\n");
    EXPECT_EQ(LoadDFMFile2Strings(path, &loaded, wasText), 0);
    EXPECT_TRUE(wasText);
    EXPECT_EQ(loaded.GetText(), "object A: TA\r\nend\r\n");
}

TEST(DfmConvert, FailedSaveKeepsTheOldFile)
{
    TempFolder folder;
    const std::string path = folder.File("form.dfm");
    WriteFile(path, "old content");
    TStringList lines;
    lines.SetText("object F: TF\r\n  A = 'unterminated\r\nend");
    EXPECT_THROW(SaveStrings2DFMFile(&lines, path), EParserError);
    EXPECT_EQ(ReadFileBytes(path), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(DfmConvert, FailedLoadRaisesAndLeavesTheListEmpty)
{
    TempFolder folder;
    TStringList lines;
    lines.Add("left over");
    bool wasText = true;
    EXPECT_THROW(LoadDFMFile2Strings(folder.File("missing.dfm"), &lines, wasText), EFOpenError);
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_FALSE(wasText);

    WriteFile(folder.File("bad.dfm"), "\x01\x02garbage");
    lines.Add("left over");
    EXPECT_THROW(LoadDFMFile2Strings(folder.File("bad.dfm"), &lines, wasText), EReadError);
    EXPECT_EQ(lines.Count(), 0);
}
