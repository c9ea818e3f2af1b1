#include "platform/runtime/System.h"

#include <gtest/gtest.h>

namespace {

class TKeyTarget : public TObject {
public:
    void ClearKey(Word& key, int /*shift*/) { key = 0; ++calls; }
    void CountKey(Word& key, int shift) { calls += key + shift; }
    int calls = 0;
};

class TDerivedTarget : public TKeyTarget {};

using TKeyEvent = TEvent<void(Word& Key, int Shift)>;

int plainCalls = 0;
void PlainHandler(TObject*) { ++plainCalls; }
void OtherPlainHandler(TObject*) {}

TEST(Event, EqualityByObjectAndOperation)
{
    TKeyTarget a, b;
    EXPECT_EQ(TKeyEvent(&a, &TKeyTarget::ClearKey), TKeyEvent(&a, &TKeyTarget::ClearKey));
    EXPECT_FALSE(TKeyEvent(&a, &TKeyTarget::ClearKey) == TKeyEvent(&b, &TKeyTarget::ClearKey));
    EXPECT_FALSE(TKeyEvent(&a, &TKeyTarget::ClearKey) == TKeyEvent(&a, &TKeyTarget::CountKey));
    EXPECT_FALSE(TKeyEvent(&a, &TKeyTarget::ClearKey) == TKeyEvent());
    EXPECT_EQ(TKeyEvent(), TKeyEvent(nullptr));

    // The untyped reference keeps the identity and calls back through FromRef.
    const TKeyEvent original(&a, &TKeyTarget::CountKey);
    const TKeyEvent restored = TKeyEvent::FromRef(original.Ref());
    EXPECT_EQ(restored, original);
    Word key = 2;
    restored(key, 3);
    EXPECT_EQ(a.calls, 5);
}

// A chain must find a handler whichever pointer type it was bound through.
TEST(Event, SameHandlerThroughDerivedAndBasePointer)
{
    TDerivedTarget d;
    EXPECT_EQ(TKeyEvent(&d, &TKeyTarget::ClearKey),
              TKeyEvent(static_cast<TKeyTarget*>(&d), &TKeyTarget::ClearKey));
}

TEST(Event, PlainFunctions)
{
    const TNotifyEvent first(&PlainHandler);
    EXPECT_EQ(first, TNotifyEvent(&PlainHandler));
    EXPECT_FALSE(first == TNotifyEvent(&OtherPlainHandler));
    EXPECT_EQ(first.Data(), nullptr);
    plainCalls = 0;
    first(nullptr);
    EXPECT_EQ(plainCalls, 1);
}

TEST(Event, AssignedAndReferenceArguments)
{
    TKeyEvent empty;
    EXPECT_FALSE(empty.Assigned());
    EXPECT_FALSE(static_cast<bool>(empty));

    TKeyTarget target;
    TKeyEvent onKeyDown(&target, &TKeyTarget::ClearKey);
    ASSERT_TRUE(onKeyDown);
    Word key = 0x41;
    onKeyDown(key, 0);
    EXPECT_EQ(key, 0);  // the handler wrote through the reference
    EXPECT_EQ(target.calls, 1);
    EXPECT_EQ(onKeyDown.Data(), &target);
}

}  // namespace
