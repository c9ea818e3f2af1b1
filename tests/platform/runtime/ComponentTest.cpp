// Components (ownership, destruction order, free notification), the pointer list and
// collections.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/Classes.h"

namespace {

std::vector<std::string> g_log;

// Logs its destruction and every notification it receives.
class TLoggingComponent : public TComponent {
public:
    TLoggingComponent(TComponent* AOwner, const std::string& AName) : TComponent(AOwner)
    {
        SetName(AName);
    }
    ~TLoggingComponent() override
    {
        BeforeDestruction();
        g_log.push_back("free " + Name());
    }

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        g_log.push_back(Name() + (Operation == opInsert ? " insert " : " remove ") +
                        AComponent->Name());
    }
};

// Owns a member that watchers read while being told it is going away.
class TDataComponent : public TLoggingComponent {
public:
    TDataComponent(TComponent* AOwner, const std::string& AName)
        : TLoggingComponent(AOwner, AName), data_(std::make_unique<std::string>("payload"))
    {
    }
    ~TDataComponent() override
    {
        BeforeDestruction();
        data_.reset();
    }
    const std::string& Data() const { return *data_; }

private:
    std::unique_ptr<std::string> data_;
};

class TWatcher : public TComponent {
public:
    explicit TWatcher(TComponent* AOwner) : TComponent(AOwner) {}
    TDataComponent* Watched = nullptr;
    std::string SeenData;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Watched) {
            SeenData = Watched->Data();
            Watched = nullptr;
        }
    }
};

// Overrides Notification without passing it on to the base.
class TRudeComponent : public TComponent {
public:
    using TComponent::TComponent;
    int Removals = 0;

protected:
    void Notification(TComponent*, TOperation Operation) override
    {
        if (Operation == opRemove)
            ++Removals;
    }
};

}  // namespace

TEST(ComponentTest, OwnerFreesOwnedComponentsInReverseOrder)
{
    g_log.clear();
    {
        TLoggingComponent owner(nullptr, "owner");
        new TLoggingComponent(&owner, "a");
        new TLoggingComponent(&owner, "b");
        new TLoggingComponent(&owner, "c");
        ASSERT_EQ(owner.ComponentCount(), 3);
        EXPECT_EQ(owner.Components(1)->Name(), "b");
        EXPECT_THROW(owner.Components(3), EListError);
        g_log.clear();
    }
    const std::vector<std::string> expected{"free c", "free b", "free a", "free owner"};
    EXPECT_EQ(g_log, expected);
}

TEST(ComponentTest, InsertAndRemoveNotifyTheOwnerAndItsComponents)
{
    g_log.clear();
    TLoggingComponent owner(nullptr, "owner");
    auto* first = new TLoggingComponent(&owner, "first");
    g_log.clear();
    auto* second = new TLoggingComponent(&owner, "second");
    // The newcomer is announced from its constructor, before it has a name.
    EXPECT_EQ(g_log, (std::vector<std::string>{"first insert ", "owner insert "}));

    g_log.clear();
    delete first;
    EXPECT_EQ(g_log, (std::vector<std::string>{"second remove first", "first remove first",
                                               "owner remove first", "free first"}));
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), second);
}

TEST(ComponentTest, InsertComponentMovesItFromItsOldOwner)
{
    TComponent oldOwner(nullptr);
    TComponent newOwner(nullptr);
    auto* child = new TComponent(&oldOwner);
    newOwner.InsertComponent(child);
    EXPECT_EQ(child->Owner(), &newOwner);
    EXPECT_EQ(oldOwner.ComponentCount(), 0);
    EXPECT_EQ(newOwner.ComponentCount(), 1);
    newOwner.RemoveComponent(child);
    EXPECT_EQ(child->Owner(), nullptr);
    delete child;
}

TEST(ComponentTest, WatchersAreNotifiedWhileTheDyingComponentIsWhole)
{
    TComponent form(nullptr);
    auto* watcher = new TWatcher(&form);
    auto* outsider = new TWatcher(nullptr);
    auto* data = new TDataComponent(&form, "data");
    watcher->Watched = data;
    outsider->Watched = data;
    data->FreeNotification(outsider);

    delete data;
    // The owner passes the removal on to its components; the outsider asked for it.
    EXPECT_EQ(watcher->SeenData, "payload");
    EXPECT_EQ(outsider->SeenData, "payload");
    EXPECT_EQ(watcher->Watched, nullptr);
    EXPECT_EQ(outsider->Watched, nullptr);
    delete outsider;
}

TEST(ComponentTest, FreeNotificationLinkGoesWhenEitherSideDies)
{
    g_log.clear();
    auto* a = new TLoggingComponent(nullptr, "a");
    auto* b = new TLoggingComponent(nullptr, "b");
    a->FreeNotification(b);
    delete b;  // a hears of it and forgets b; a's later death must not touch b
    EXPECT_EQ(g_log, (std::vector<std::string>{"a remove b", "free b"}));
    g_log.clear();
    delete a;
    EXPECT_EQ(g_log, (std::vector<std::string>{"free a"}));

    g_log.clear();
    auto* c = new TLoggingComponent(nullptr, "c");
    auto* d = new TLoggingComponent(nullptr, "d");
    c->FreeNotification(d);
    c->RemoveFreeNotification(d);
    delete c;
    delete d;
    EXPECT_EQ(g_log, (std::vector<std::string>{"free c", "free d"}));
}

TEST(ComponentTest, NotificationOverrideThatSkipsTheBaseDoesNotLoop)
{
    auto* rude = new TRudeComponent(nullptr);
    auto* other = new TComponent(nullptr);
    other->FreeNotification(rude);
    delete other;
    EXPECT_EQ(rude->Removals, 1);
    delete rude;
}

TEST(ComponentTest, LoadingEndsWithLoaded)
{
    TComponent component(nullptr);
    component.BeginLoading();
    EXPECT_TRUE(component.HasState(csLoading) && component.HasState(csReading));
    component.EndLoading();
    EXPECT_EQ(component.ComponentState(), 0u);
}

// ---------------------------------------------------------------------------------------

TEST(ListTest, IndexErrorsNameTheIndex)
{
    TList list;
    int a = 1;
    list.Add(&a);
    try {
        list.Get(5);
        FAIL() << "no error";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index out of bounds (5)");
    }
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(2, &a), EListError);
    EXPECT_THROW(list.Move(0, 1), EListError);
    EXPECT_THROW(list.SetCapacity(0), EListError);
    EXPECT_EQ(list.Count(), 1);
    TList empty;
    EXPECT_THROW(empty.SetCapacity(-1), EListError);
}

// ---------------------------------------------------------------------------------------

namespace {

class TNamedItem : public TCollectionItem {
public:
    explicit TNamedItem(TCollection* Collection) : TCollectionItem(Collection) {}
    std::string Text;
    void Assign(TPersistent* Source) override
    {
        if (auto* item = dynamic_cast<TNamedItem*>(Source))
            Text = item->Text;
        else
            TCollectionItem::Assign(Source);
    }
    void Touch() { Changed(false); }
};

class TCountingCollection : public TCollection {
public:
    TCountingCollection() : TCollection(CollectionItemClass<TNamedItem>) {}
    int Updates = 0;
    TCollectionItem* LastItem = nullptr;

protected:
    void Update(TCollectionItem* Item) override
    {
        ++Updates;
        LastItem = Item;
    }
};

std::string Texts(const TCollection& Collection)
{
    std::string all;
    for (int i = 0; i < Collection.Count(); ++i)
        all += static_cast<TNamedItem*>(Collection.Items(i))->Text;
    return all;
}

}  // namespace

TEST(CollectionTest, ItemsKeepTheirIdWhenMovedAndRemoveThemselves)
{
    TCountingCollection collection;
    for (const char* text : {"a", "b", "c"})
        static_cast<TNamedItem*>(collection.Add())->Text = text;
    auto* c = collection.Items(2);
    EXPECT_EQ(c->ID(), 2);
    c->SetIndex(0);
    EXPECT_EQ(Texts(collection), "cab");
    EXPECT_EQ(c->Index(), 0);
    EXPECT_EQ(collection.FindItemID(2), c);
    EXPECT_THROW(c->SetIndex(3), EListError);

    delete collection.Items(1);  // "a" leaves on its own
    EXPECT_EQ(Texts(collection), "cb");
    static_cast<TNamedItem*>(collection.Insert(1))->Text = "x";
    EXPECT_EQ(Texts(collection), "cxb");
    EXPECT_EQ(collection.Items(1)->ID(), 3);  // identifiers are never reused
    EXPECT_THROW(collection.Delete(3), EListError);
}

TEST(CollectionTest, UpdateIsHeldBackWhileUpdating)
{
    TCountingCollection collection;
    auto* item = static_cast<TNamedItem*>(collection.Add());
    collection.Updates = 0;
    item->Touch();
    EXPECT_EQ(collection.Updates, 1);
    EXPECT_EQ(collection.LastItem, item);

    collection.BeginUpdate();
    collection.Add();
    collection.Add();
    item->Touch();
    EXPECT_EQ(collection.Updates, 1);
    collection.EndUpdate();
    EXPECT_EQ(collection.Updates, 2);
    EXPECT_EQ(collection.LastItem, nullptr);
    collection.EndUpdate();  // unbalanced: ignored
    EXPECT_EQ(collection.UpdateCount(), 0);
}

namespace {

TEST(ComponentTest, FindComponentMatchesOwnedNamesInAnyLetterCase)
{
    TComponent owner(nullptr);
    auto* first = new TComponent(&owner);
    first->SetName("mnuFile");
    auto* second = new TComponent(first);
    second->SetName("mnuFileOpen");
    EXPECT_EQ(owner.FindComponent("MNUFILE"), first);
    EXPECT_EQ(owner.FindComponent("mnuFileOpen"), nullptr);  // owned by first, not owner
    EXPECT_EQ(first->FindComponent("mnufileopen"), second);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_EQ(owner.FindComponent("mnuFil"), nullptr);
}

}  // namespace
