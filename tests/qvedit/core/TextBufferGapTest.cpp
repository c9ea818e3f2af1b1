// Lines inserted and deleted anywhere in the buffer: every line keeps its text and record
// wherever the room among the records was opened, and a run of changes walking through
// the text moves each record a bounded number of times.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

// What a line of the buffer should hold.
struct TModelLine {
    std::string Text;
    Integer Range = 0;
    TObject* Object = nullptr;
    bool TrimPending = false;
};

void ExpectSame(const TQvEditStringList& List, const std::vector<TModelLine>& Model, int Step)
{
    ASSERT_EQ(List.Count(), static_cast<int>(Model.size())) << "step " << Step;
    for (int i = 0; i < List.Count(); ++i) {
        const TModelLine& m = Model[static_cast<std::size_t>(i)];
        ASSERT_EQ(List.Get(i), m.Text) << "line " << i << ", step " << Step;
        ASSERT_EQ(List.GetView(i), m.Text) << "line " << i << ", step " << Step;
        ASSERT_EQ(List.GetRange(i), m.Range) << "line " << i << ", step " << Step;
        ASSERT_EQ(List.GetObject(i), m.Object) << "line " << i << ", step " << Step;
        ASSERT_EQ(List.GetFlags(i).Contains(sfTrimPending), m.TrimPending) << "line " << i << ", step " << Step;
    }
}

// Thousands of changes at random places, loaded lines (whose text stays in the loaded
// block) among them, compared line by line with a plain list after every one.
TEST(TextBufferGap, LinesKeepTheirRecordsThroughChangesAnywhere)
{
    std::mt19937 random(20240611);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    TObject objects[3];
    TQvEditStringList list;
    TStringStream file("loaded one\r\nloaded line two, longer than a short text\r\n\r\nthree\r\n");
    list.LoadFromStream(&file);
    std::vector<TModelLine> model;
    for (int i = 0; i < list.Count(); ++i) {
        model.push_back({list.Get(i), NoRange});
        list.PutRange(i, NoRange);
    }
    for (int step = 0; step < 4000; ++step) {
        const int count = list.Count();
        const std::string text = "line " + std::to_string(step) + std::string(static_cast<std::size_t>(pick(3)) * 7, '.');
        switch (pick(9)) {
        case 0: {
            const int at = pick(count + 1);
            list.Insert(at, text);
            model.insert(model.begin() + at, {text, NoRange});
            break;
        }
        case 1: {
            const int at = pick(count + 1);
            const int n = 1 + pick(5);
            list.InsertLines(at, n);
            model.insert(model.begin() + at, static_cast<std::size_t>(n), TModelLine{});
            break;
        }
        case 2:
            if (count > 0) {
                const int at = pick(count);
                list.Delete(at);
                model.erase(model.begin() + at);
            }
            break;
        case 3: {
            const int at = pick(count + 1);
            const int n = 1 + pick(6);
            list.DeleteLines(at, n);
            model.erase(model.begin() + at, model.begin() + std::min(at + n, count));
            break;
        }
        case 4:
            if (count > 0) {
                const int at = pick(count);
                list.Put(at, text);
                model[static_cast<std::size_t>(at)].Text = text;
            }
            break;
        case 5:
            if (count > 1) {
                const int a = pick(count);
                const int b = pick(count);
                list.Exchange(a, b);
                std::swap(model[static_cast<std::size_t>(a)], model[static_cast<std::size_t>(b)]);
            }
            break;
        case 6:
            if (count > 0) {
                const int at = pick(count);
                list.PutRange(at, step);
                list.PutObject(at, &objects[step % 3]);
                model[static_cast<std::size_t>(at)].Range = step;
                model[static_cast<std::size_t>(at)].Object = &objects[step % 3];
            }
            break;
        case 7:
            if (count > 0) {
                const int at = pick(count);
                const bool pending = pick(2) == 0;
                list.SetTrimPending(at, pending);
                model[static_cast<std::size_t>(at)].TrimPending = pending;
            }
            break;
        default:
            // Room is given back or taken at once; the lines stay as they are.
            list.SetCapacity(count + pick(40));
            list.Add(text);
            model.push_back({text, NoRange});
            break;
        }
        ExpectSame(list, model, step);
        if (HasFatalFailure())
            return;
    }
    TStringStream saved("");
    list.SaveToStream(&saved);
    std::string expected;
    for (const TModelLine& m : model)
        expected += m.Text + "\r\n";
    EXPECT_EQ(saved.DataString(), expected);
}

// Lines inserted one after another while walking down the text (a replace-all that adds a
// line break at each match), and deleted again walking up (its undo): each record is
// moved a few times at most, not once per line inserted above it.
TEST(TextBufferGap, ChangesWalkingThroughTheTextMoveEachRecordABoundedNumberOfTimes)
{
    constexpr int Lines = 20000;
    TQvEditStringList list;
    for (int i = 0; i < Lines; ++i)
        list.Add("a x b");
    const std::size_t before = list.RecordsMoved();
    for (int i = 0; i < Lines; ++i) {
        list.Put(2 * i, "a");
        list.Insert(2 * i + 1, " b");
    }
    ASSERT_EQ(list.Count(), 2 * Lines);
    EXPECT_EQ(list.Get(2 * Lines - 2), "a");
    EXPECT_EQ(list.Get(2 * Lines - 1), " b");
    const std::size_t inserting = list.RecordsMoved() - before;
    // One record a line, and the lines after the gap each time the array grows by a quarter.
    EXPECT_LE(inserting, static_cast<std::size_t>(5 * Lines)) << "records moved by " << Lines << " insertions";

    for (int i = Lines - 1; i >= 0; --i) {
        list.DeleteLines(2 * i + 1, 1);
        list.Put(2 * i, "a x b");
    }
    ASSERT_EQ(list.Count(), Lines);
    for (int i = 0; i < Lines; i += 997)
        EXPECT_EQ(list.Get(i), "a x b");
    const std::size_t deleting = list.RecordsMoved() - before - inserting;
    EXPECT_LE(deleting, static_cast<std::size_t>(2 * Lines)) << "records moved by " << Lines << " deletions";
}

}  // namespace
