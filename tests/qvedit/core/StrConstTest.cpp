#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "qvedit/core/QvEditStrConst.h"

TEST(StrConst, EveryEntryHasItsOwnText)
{
    std::set<std::string> texts;
    int entries = 0;
    for (TQvResStringId id = 0; id < 400; ++id) {
        const std::string text = LoadResString(id);
        if (text.empty())
            continue;
        ++entries;
        EXPECT_TRUE(texts.insert(text).second) << "text of " << id << " repeated: " << text;
    }
    // 43 attribute names, 10 filters, 11 language names, 3 others.
    EXPECT_EQ(entries, 67);
    EXPECT_EQ(LoadResString(0), "");
    EXPECT_EQ(LoadResString(0xFFFF), "");
}

TEST(StrConst, FiltersHaveADescriptionAndPatterns)
{
    for (TQvResStringId id : {QVS_FilterCPP, QVS_FilterCSS, QVS_FilterDFM, QVS_FilterHTML,
                              QVS_FilterJScript, QVS_FilterPHP, QVS_FilterPerl, QVS_FilterSQL,
                              QVS_FilterVBScript, QVS_FilterXML}) {
        const std::string filter = LoadResString(id);
        EXPECT_EQ(std::count(filter.begin(), filter.end(), '|'), 1) << filter;
        EXPECT_EQ(filter.substr(filter.find('|') + 1, 2), "*.") << filter;
    }
}

TEST(StrConst, AttributeNamesSortAsTexts)
{
    // Highlighters list their attributes in the order of these texts.
    EXPECT_LT(LoadResString(QVS_AttrComment), LoadResString(QVS_AttrIdentifier));
    EXPECT_LT(LoadResString(QVS_AttrIdentifier), LoadResString(QVS_AttrReservedWord));
    // Names that become registry keys and INI sections keep their separators.
    EXPECT_EQ(LoadResString(QVS_AttrPLSQL), "PL/SQL Reserved Word");
    EXPECT_EQ(LoadResString(QVS_AttrSQLPlus), "SQL*Plus Command");
    EXPECT_EQ(LoadResString(QVS_ScrollInfoFmt), "%d - %d");
    EXPECT_EQ(LoadResString(QVS_EDuplicateShortcut), "Shortcut already exists");
}
