// A text with a gap: random erasures, insertions (with blanks before them) and reads at
// random places give what the same edits give a plain string, also when the gap must
// grow; and runs of edits as undo and redo replay them (texts put back before one another
// or after one another at one place, Deletes and Backspaces) move little.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "qvedit/core/QvGapText.h"

namespace {

TEST(GapText, EditsAnywhereGiveWhatAPlainStringGives)
{
    std::mt19937 pick(7);
    const auto below = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(pick); };
    for (int round = 0; round < 200; ++round) {
        std::string model(below(300), 'm');
        for (char& c : model)
            c = static_cast<char>('a' + below(25));
        TQvGapText text;
        text.Assign(model, below(model.size() + 10), below(3));
        for (int edit = 0; edit < 60; ++edit) {
            const std::size_t pos = below(model.size() + 5);
            switch (below(2)) {
            case 0: {
                const std::size_t count = below(20);
                text.Erase(pos, count);
                if (pos < model.size())
                    model.erase(pos, count);
                break;
            }
            case 1: {
                const std::string inserted(below(40), static_cast<char>('A' + below(25)));
                const std::size_t blanks = below(3);
                const std::size_t at = std::min(pos, model.size());
                text.Insert(at, blanks, inserted);
                model.insert(at, std::string(blanks, ' ') + inserted);
                break;
            }
            default:
                break;
            }
            ASSERT_EQ(text.Size(), model.size());
            const std::size_t from = below(model.size() + 2);
            const std::size_t count = below(50);
            ASSERT_EQ(text.Substr(from, count), from <= model.size() ? model.substr(from, count) : "");
        }
        ASSERT_EQ(text.Take(), model);
        EXPECT_EQ(text.Size(), 0u);
    }
}

TEST(GapText, RunsOfEditsAtOnePlaceMoveLittle)
{
    const std::string line(1'000'000, 'x');
    TQvGapText text;
    text.Assign(line, 500'000, 4096);
    for (int i = 0; i < 1000; ++i)
        text.Insert(500'000, 0, "b");  // each before the one put back last
    for (int i = 0; i < 1000; ++i)
        text.Insert(500'000 + 1000 + i, 0, "a");  // each after the one typed last
    for (int i = 0; i < 1000; ++i)
        text.Erase(502'000 - 1 - i, 1);  // Backspaces
    for (int i = 0; i < 1000; ++i)
        text.Erase(500'000, 1);  // Deletes
    // Going from one place to the next moves what lies between, and a typed text moves
    // the one before it: nothing like a thousand times a thousand bytes.
    EXPECT_LE(text.BytesMoved(), 4000u);
    EXPECT_EQ(text.Take(), line);
}

}  // namespace
