// Reading a line in place: the same bytes as a copy, for texts kept in the record, owned
// by it and borrowed from a loaded file, and nothing outside the list.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/Streams.h"

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
