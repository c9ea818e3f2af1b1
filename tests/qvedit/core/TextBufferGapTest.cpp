// Lines inserted and deleted anywhere in the buffer: every line keeps its text and record
// wherever the room among the records was opened, and a run of changes walking through
// the text moves each record a bounded number of times.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Thousands of changes at random places, loaded lines and lines put in bulk (whose text
// stays in a block of the list) among them, compared line by line with a plain list after
// every one; the blocks go with their lines.
TEST(TextBufferGap, LinesKeepTheirRecordsThroughChangesAnywhere)
{
    std::mt19937 random(20240611);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    TObject objects[3];
    TQvEditStringList list;
    std::string loaded = "loaded one\r\nloaded line two, longer than a short text\r\n\r\nthree\r\n";
    for (int i = 0; i < 300; ++i)
        loaded += "loaded line " + std::to_string(i) + std::string(static_cast<std::size_t>(i % 40), '~') + "\n";
    TStringStream file(loaded);
    list.LoadFromStream(&file);
    std::vector<TModelLine> model;
    for (int i = 0; i < list.Count(); ++i) {
        model.push_back({list.Get(i), NoRange});
        list.PutRange(i, NoRange);
    }
    // Puts N lines from At on at once: up to a few hundred, short and long, with every kind
    // of line end.
    const auto putLines = [&](int At, int N, const std::string& Text) {
        const char* const ends[] = {"\r\n", "\n", "\r"};
        std::string lines;
        for (int k = 0; k < N; ++k) {
            const std::string longer = Text + " put at once" + std::string(static_cast<std::size_t>(pick(60)), '-');
            std::string line = pick(3) == 0 ? "" : longer.substr(0, static_cast<std::size_t>(pick(static_cast<int>(longer.size()) + 1)));
            model[static_cast<std::size_t>(At + k)].Text = line;
            // A lone CR before an empty line and an LF would be one CR LF.
            lines += (k > 0 ? ends[pick(line.empty() ? 2 : 3)] : "") + line;
        }
        return list.PutLines(At, {}, lines, {}) == N;
    };
    for (int step = 0; step < 4000; ++step) {
        int count = list.Count();
        const std::string text = "line " + std::to_string(step) + std::string(static_cast<std::size_t>(pick(3)) * 7, '.');
        switch (pick(11)) {
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
        case 8:
            if (count > 0) {
                const int n = 1 + pick(std::min(count, 300));
                ASSERT_TRUE(putLines(pick(count - n + 1), n, text));
            }
            break;
        case 9:
            // Now and then every line of a few hundred is put at once, a few anew one by one,
            // and all but a few lines go: what they held is found from those that stay, or,
            // when a line put anew is among them, from every line that goes.
            if (pick(25) == 0) {
                if (count < 200) {
                    list.InsertLines(count, 200 - count);
                    model.resize(200);
                    count = 200;
                }
                ASSERT_TRUE(putLines(0, count, text));
                for (int k = pick(3); k > 0; --k) {
                    const int at = pick(count);
                    list.Put(at, text + " put anew, longer than a record holds");
                    model[static_cast<std::size_t>(at)].Text = text + " put anew, longer than a record holds";
                }
                const int keep = pick(5);
                const int at = pick(keep + 1);
                list.DeleteLines(at, count - keep);
                model.erase(model.begin() + at, model.begin() + at + (count - keep));
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
    for (int i = 0; i < list.Count(); ++i)
        list.Put(i, list.Get(i) + ".");
    EXPECT_EQ(list.TextBlockCount(), 0u);
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
