// Reading a line in place: the same bytes as a copy, for texts kept in the record, owned
// by it and borrowed from a loaded file, and nothing outside the list. The flags tell the
// lines InsertLines made from every other line.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <string>

TEST(TextBufferView, ReadsEveryKindOfLineInPlace)
{
    const std::string shortText = "abc";
    const std::string longText(100000, 'x');
    const std::string withNul = std::string("a\0b", 3) + std::string(20, 'y');
    TQvEditStringList list;
    TStringStream file("loaded line that is longer than a record\r\n\r\n");
    list.LoadFromStream(&file);
    list.Add(shortText);
    list.Add(longText);
    list.Add(withNul);

    ASSERT_EQ(list.GetCount(), 5);
    for (Integer i = 0; i < list.GetCount(); ++i)
        EXPECT_EQ(list.GetView(i), list.Get(i)) << "line " << i;
    EXPECT_EQ(list.GetView(4).size(), withNul.size());

    EXPECT_TRUE(list.GetView(-1).empty());
    EXPECT_TRUE(list.GetView(list.GetCount()).empty());
    list.Clear();
    EXPECT_TRUE(list.GetView(0).empty());
}

TEST(TextBufferView, OnlyLinesInsertLinesMadeCarryNoFlags)
{
    TQvEditStringList list;
    TStringStream file("loaded\r\n\r\n");
    list.LoadFromStream(&file);
    list.Add("");
    list.Insert(0, "");
    list.InsertLines(1, 2);
    TStringList more;
    more.Add("");
    list.AddStrings(&more);
    list.InsertStrings(0, &more);
    // "" (inserted strings), "", two made by InsertLines, "loaded", "", "" (added), "".
    ASSERT_EQ(list.GetCount(), 8);
    for (Integer i = 0; i < list.GetCount(); ++i)
        EXPECT_EQ(list.GetFlags(i).Empty(), i == 2 || i == 3) << "line " << i;
    list.Put(2, "");
    EXPECT_FALSE(list.GetFlags(2).Empty());
    EXPECT_TRUE(list.GetFlags(3).Empty());
    EXPECT_TRUE(list.GetFlags(-1).Empty());
    EXPECT_TRUE(list.GetFlags(list.GetCount()).Empty());
}
