// Menu items: the default mark among siblings, and changes collected while a menu is
// being updated.
#include "platform/window/Menus.h"

#include <gtest/gtest.h>

namespace {

struct TChangeCounter : TObject {
    void Changed(TObject*) { ++Count; }
    int Count = 0;
};

TMenuItem* AddItem(TMenu& Menu, TMenuItem* Parent, const std::string& Caption)
{
    auto* item = new TMenuItem(&Menu);
    item->SetCaption(Caption);
    (Parent != nullptr ? Parent : Menu.Items())->Add(item);
    return item;
}

TEST(MenusTest, MakingAnItemTheDefaultTakesTheMarkFromItsSiblingsOnly)
{
    TMainMenu menu(nullptr);
    TMenuItem* file = AddItem(menu, nullptr, "File");
    TMenuItem* view = AddItem(menu, nullptr, "View");
    TMenuItem* a = AddItem(menu, file, "A");
    TMenuItem* b = AddItem(menu, file, "B");
    TMenuItem* c = AddItem(menu, view, "C");
    a->SetDefault(true);
    c->SetDefault(true);
    b->SetDefault(true);
    EXPECT_FALSE(a->Default());
    EXPECT_TRUE(b->Default());
    EXPECT_TRUE(c->Default());  // another menu's item keeps its mark
    b->SetDefault(false);
    EXPECT_FALSE(b->Default());
}

TEST(MenusTest, ChangesDuringAnUpdateAreReportedOnceAtItsEnd)
{
    TMainMenu menu(nullptr);
    TChangeCounter counter;
    menu.OnChange = TNotifyEvent(&counter, &TChangeCounter::Changed);
    TMenuItem* file = AddItem(menu, nullptr, "File");
    EXPECT_EQ(counter.Count, 1);
    {
        const TMenuUpdate outer(&menu);
        file->SetCaption("Datei");
        {
            const TMenuUpdate inner(&menu);
            AddItem(menu, file, "Neu");
        }
        EXPECT_EQ(counter.Count, 1);  // the inner end reports nothing yet
        file->SetChecked(true);
    }
    EXPECT_EQ(counter.Count, 2);
    {
        const TMenuUpdate quiet(&menu);  // an update without changes reports nothing
    }
    EXPECT_EQ(counter.Count, 2);
}

}  // namespace
