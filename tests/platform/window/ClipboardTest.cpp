#include "platform/window/Clipboard.h"
#include "platform/runtime/CodePages.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace {

const QString BlockType = "application/x-quorvel-qvedit-control-block-type";

// Each test starts from an empty clipboard in code page 1251 and puts the code page back.
class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedCodePage_ = GetACP();
        SetAnsiCodePage(1251);
        QGuiApplication::clipboard()->clear();
        Block = RegisterClipboardFormat("QvEdit Control Block Type");
    }
    void TearDown() override
    {
        while (Clipboard()->IsOpen())
            Clipboard()->Close();
        SetAnsiCodePage(savedCodePage_);
    }

    static const QMimeData* System() { return QGuiApplication::clipboard()->mimeData(); }

    UINT Block = 0;

private:
    Cardinal savedCodePage_ = 0;
};

}  // namespace

TEST_F(ClipboardTest, RegisteredFormatsAreStableAndDistinct)
{
    EXPECT_GE(Block, 0xC000u);
    EXPECT_EQ(RegisterClipboardFormat("qvedit control block type"), Block);
    const UINT dashed = RegisterClipboardFormat("QvEdit-Control-Block-Type");
    const UINT underscored = RegisterClipboardFormat("QvEdit_Control_Block_Type");
    EXPECT_NE(dashed, Block);
    EXPECT_NE(dashed, underscored);
    EXPECT_THROW(RegisterClipboardFormat(""), EClipboardException);

    // Other copies of the program find the block under the same type.
    Clipboard()->SetBuffer(Block, "x");
    EXPECT_EQ(System()->formats(), QStringList{BlockType});

    // Names that differ only in punctuation do not share their data.
    Clipboard()->SetBuffer(dashed, "x");
    EXPECT_TRUE(Clipboard()->HasFormat(dashed));
    EXPECT_FALSE(Clipboard()->HasFormat(Block));
    EXPECT_FALSE(Clipboard()->HasFormat(underscored));
}

TEST_F(ClipboardTest, PrivateBytesRoundTripExactly)
{
    const std::string block("\x02" "ab\0\xFF\r\ncd\0", 10);
    Clipboard()->SetBuffer(Block, block);
    ASSERT_TRUE(Clipboard()->HasFormat(Block));
    EXPECT_EQ(Clipboard()->GetBuffer(Block), block);
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));

    Clipboard()->SetBuffer(Block, "");
    EXPECT_TRUE(Clipboard()->HasFormat(Block));
    EXPECT_EQ(Clipboard()->GetBuffer(Block), "");
}

TEST_F(ClipboardTest, PlainTextGoesOutInUnicodeWithLfAndComesBackAsWritten)
{
    // "Привет" CR LF "мир" in code page 1251.
    Clipboard()->SetAsText("\xCF\xF0\xE8\xE2\xE5\xF2\r\n\xEC\xE8\xF0\r\n");
    ASSERT_NE(System(), nullptr);
    EXPECT_EQ(System()->text(), QString::fromUtf8("Привет\nмир\n"));

    // Another program's text: CR LF stays, characters outside the code page become '?'.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Пока\r\nworld €\n"));
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "\xCF\xEE\xEA\xE0\r\nworld \x88\n");
    QGuiApplication::clipboard()->setText(QString::fromUtf8("日本"));
    EXPECT_EQ(Clipboard()->AsText(), "??");
}

TEST_F(ClipboardTest, TextEndsAtTheFirstNul)
{
    Clipboard()->SetAsText(std::string("ab\0cd", 5));
    EXPECT_EQ(System()->text(), QString("ab"));
    EXPECT_EQ(Clipboard()->GetBuffer(CF_TEXT), "ab");
}

TEST_F(ClipboardTest, OneSessionWritesBothFlavoursAsOneContent)
{
    Clipboard()->SetBuffer(Block, "old");
    const std::string block("\x01line\r\n\0", 8);
    Clipboard()->Open();
    Clipboard()->Clear();
    Clipboard()->SetAsText("line\r\n");
    Clipboard()->SetBuffer(Block, block);
    // Nothing reaches the system before the session closes.
    EXPECT_EQ(System()->formats(), QStringList{BlockType});
    EXPECT_EQ(System()->data(BlockType), QByteArray("old"));
    Clipboard()->Close();

    EXPECT_EQ(System()->text(), QString("line\n"));
    EXPECT_EQ(Clipboard()->GetBuffer(Block), block);
    EXPECT_EQ(Clipboard()->AsText(), "line\r\n");
}

// What this program writes as text it reads back byte for byte, whatever the line ends;
// other programs get LF for CR LF and every lone CR as a CR.
TEST_F(ClipboardTest, TextComesBackByteForByte)
{
    for (const std::string text : {"a\r\r\nb", "a\r\nb", "a\nb", "a\rb", "\r\n\n\r", "x\r", "\r\r\n\r\n"}) {
        Clipboard()->SetAsText(text);
        EXPECT_EQ(Clipboard()->AsText(), text);
        EXPECT_EQ(Clipboard()->GetBuffer(CF_TEXT), text);
    }
    Clipboard()->SetAsText("a\r\r\nb");
    EXPECT_EQ(System()->text(), QString("a\r\nb"));
}

// A byte the code page leaves undefined goes to other programs as the control character of
// its number, and such a character from another program comes back as the byte.
TEST_F(ClipboardTest, BytesTheCodePageLeavesUndefinedGoOutAsControlCharacters)
{
    SetAnsiCodePage(1252);
    const std::string bytes = "\x81-\x8D-\x8F-\x90-\x9D-\x80-\xE9";
    Clipboard()->SetAsText(bytes);
    EXPECT_EQ(System()->text(), QString::fromUtf8("\u0081-\u008D-\u008F-\u0090-\u009D-\u20AC-\u00E9"));
    EXPECT_EQ(Clipboard()->AsText(), bytes);

    // The same characters from another program.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u0081-\u008D-\u008F-\u0090-\u009D-\u20AC-\u00E9"));
    EXPECT_EQ(Clipboard()->AsText(), bytes);
    // A control character the code page has a byte for elsewhere is no such byte.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u0080\u0085"));
    EXPECT_EQ(Clipboard()->AsText(), "??");

    // In code page 1251 0x98 is the undefined one.
    SetAnsiCodePage(1251);
    Clipboard()->SetAsText("\x98\x81");
    EXPECT_EQ(System()->text(), QString::fromUtf8("\u0098\u0403"));
    QGuiApplication::clipboard()->setText(QString::fromUtf8("\u0098\u0403\u0081"));
    EXPECT_EQ(Clipboard()->AsText(), "\x98\x81?");
}

TEST_F(ClipboardTest, NestedOpenHandsOverAtTheOutermostClose)
{
    Clipboard()->SetAsText("before");
    Clipboard()->Open();
    Clipboard()->Open();
    Clipboard()->SetBuffer(Block, "inner");
    Clipboard()->Close();
    EXPECT_EQ(Clipboard()->GetBuffer(Block), "inner");  // the session reads what it wrote
    EXPECT_EQ(System()->text(), QString("before"));
    Clipboard()->Close();
    // The session's first write replaced the old content.
    EXPECT_EQ(System()->data(BlockType), QByteArray("inner"));
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    Clipboard()->Close();  // one Close too many does nothing
    EXPECT_FALSE(Clipboard()->IsOpen());
}

TEST_F(ClipboardTest, ClearEmptiesTheClipboard)
{
    Clipboard()->SetAsText("text");
    Clipboard()->Clear();
    EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), "");
}

TEST_F(ClipboardTest, BadFormatsAreRefused)
{
    EXPECT_FALSE(Clipboard()->HasFormat(0xBFFF));
    EXPECT_FALSE(Clipboard()->HasFormat(0xFFFF));
    EXPECT_THROW(Clipboard()->SetBuffer(0xFFFF, "x"), EClipboardException);
    EXPECT_FALSE(Clipboard()->IsOpen());
    EXPECT_THROW(Clipboard()->GetBuffer(Block), EClipboardException);
    EXPECT_THROW(Clipboard()->GetBuffer(CF_TEXT), EClipboardException);
}
