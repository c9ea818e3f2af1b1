// Loading texts larger than one read chunk: they are read on a thread of their own and
// split behind the reading, so line ends that straddle a chunk border, listeners and a
// read failing part way are checked here.
#include "qvedit/core/QvEditTextBuffer.h"

#include "platform/runtime/Streams.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t Chunk = std::size_t{4} << 20;  // the size the loader reads at a time

// The lines of a text by the loading rules, one byte at a time: CR, LF or NUL ends a
// line; an LF right after a CR, and a NUL right after either, belong to the same end.
std::vector<std::string> ReferenceLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c != '\r' && c != '\n' && c != '\0') {
            line += c;
            ++i;
            continue;
        }
        lines.push_back(line);
        line.clear();
        ++i;
        if (c == '\r' && i < text.size() && text[i] == '\n')
            ++i;
        if (i < text.size() && text[i] == '\0')
            ++i;
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// Where the list first differs from the expected lines, or "same".
std::string FirstDifference(TQvEditStringList& list, const std::vector<std::string>& expected)
{
    if (static_cast<std::size_t>(list.Count()) != expected.size())
        return "count " + std::to_string(list.Count()) + " instead of " + std::to_string(expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        if (list.Strings(static_cast<int>(i)) != expected[i])
            return "line " + std::to_string(i) + ": \"" + list.Strings(static_cast<int>(i)) + "\"";
    return "same";
}

// Lines of varied length up to Size bytes, the last one cut wherever Size falls.
std::string Filler(std::size_t size)
{
    std::string text;
    text.reserve(size);
    for (int i = 0; text.size() < size; ++i)
        text += std::string(static_cast<std::size_t>(i % 37), 'a' + static_cast<char>(i % 26)) + "\n";
    text.resize(size);
    return text;
}

class TLineCounter : public TObject {
public:
    void Added(Integer Index, std::string_view S)
    {
        inOrder = inOrder && Index == count;
        ++count;
        last = S;
    }
    Integer count = 0;
    bool inOrder = true;
    std::string last;
};

// Delivers everything after the first chunk late, so that the split reaches the chunk
// border before the bytes behind it are there.
class TSlowStream : public TStringStream {
public:
    explicit TSlowStream(const std::string& Text) : TStringStream(Text) {}
    Int64 Read(void* Buffer, Int64 Count) override
    {
        if (static_cast<std::size_t>(Position()) >= Chunk)
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return TStringStream::Read(Buffer, Count);
    }
};

// Delivers its text until the reading passes the first chunk, then fails.
class TFailingLaterStream : public TStringStream {
public:
    explicit TFailingLaterStream(const std::string& Text) : TStringStream(Text) {}
    Int64 Read(void* Buffer, Int64 Count) override
    {
        if (static_cast<std::size_t>(Position()) >= Chunk)
            throw EReadError("Cannot read file \"big.php\". Input/output error");
        return TStringStream::Read(Buffer, Count);
    }
};

}  // namespace

// A CR LF NUL and an LF CR whose first byte lies a little before, at or after the chunk
// border; one case each, so that they load side by side.
struct TBorderCase {
    std::string End;
    int Shift;
};

class TextBufferLoadBorder : public ::testing::TestWithParam<TBorderCase> {};

TEST_P(TextBufferLoadBorder, LineEndsAroundAChunkBorderSplitAsInOnePiece)
{
    const std::string& end = GetParam().End;
    std::string text = Filler(Chunk + static_cast<std::size_t>(GetParam().Shift));
    text += end + "tail";
    TQvEditStringList list;
    TSlowStream in(text);
    list.LoadFromStream(&in);
    EXPECT_EQ(FirstDifference(list, ReferenceLines(text)), "same");
    EXPECT_EQ(list.GetFileFormat(), sffDos);
}

std::vector<TBorderCase> BorderCases()
{
    std::vector<TBorderCase> cases;
    for (const std::string& end : {std::string("\r\n\0", 3), std::string("\n\r")})
        for (int shift = -3; shift <= 1; ++shift)
            cases.push_back({end, shift});
    return cases;
}

std::string BorderCaseName(const ::testing::TestParamInfo<TBorderCase>& Info)
{
    const std::string end = Info.param.End.size() == 3 ? "CrLfNul" : "LfCr";
    const int shift = Info.param.Shift;
    return end + (shift < 0 ? "Before" + std::to_string(-shift) : shift == 0 ? "At" : "After" + std::to_string(shift));
}

// Printed in the test's listing, which CTest takes the test's name from: the same every run.
void PrintTo(const TBorderCase& Case, std::ostream* Out)
{
    *Out << BorderCaseName({Case, 0});
}

INSTANTIATE_TEST_SUITE_P(TextBufferLoad, TextBufferLoadBorder, ::testing::ValuesIn(BorderCases()), BorderCaseName);

// The records are sized from the lines of the first chunk; far shorter lines after it
// need more, and far longer ones fewer.
TEST(TextBufferLoad, LinesOfAnotherLengthAfterTheFirstChunkAllArrive)
{
    const std::string longLines = std::string(999, 'L') + "\n";
    const std::string shortLines = "s\n";
    std::string text;
    while (text.size() < Chunk + Chunk / 2)
        text += text.size() < Chunk ? longLines : shortLines;
    TQvEditStringList list;
    TSlowStream in(text);
    list.LoadFromStream(&in);
    EXPECT_EQ(FirstDifference(list, ReferenceLines(text)), "same");

    std::string reversed;
    while (reversed.size() < Chunk + Chunk / 2)
        reversed += reversed.size() < Chunk ? shortLines : longLines;
    TStringStream again(reversed);
    list.LoadFromStream(&again);
    EXPECT_EQ(FirstDifference(list, ReferenceLines(reversed)), "same");
    EXPECT_EQ(list.GetCapacity(), list.Count());
}

// A listener hears every line of a large file in order, and word wrap cuts them.
TEST(TextBufferLoad, ListenersAndWordWrapSeeEveryLineOfALargeFile)
{
    const std::string text = Filler(Chunk + Chunk / 2) + "\nthe last line";
    const std::vector<std::string> expected = ReferenceLines(text);
    TQvEditStringList list;
    TLineCounter counter;
    list.OnAdded = TStringListInsertedEvent(&counter, &TLineCounter::Added);
    TStringStream in(text);
    list.LoadFromStream(&in);
    EXPECT_EQ(FirstDifference(list, expected), "same");
    EXPECT_EQ(static_cast<std::size_t>(counter.count), expected.size());
    EXPECT_TRUE(counter.inOrder);
    EXPECT_EQ(counter.last, "the last line");
    EXPECT_EQ(list.GetFileFormat(), sffUnix);

    TQvEditStringList wrapped;
    wrapped.SetWordWrap(true);
    TStringStream again(text + std::string(200, 'w'));
    wrapped.LoadFromStream(&again);
    // "the last linewww...": cut after "the last ", the rest has no place to break.
    EXPECT_EQ(wrapped.Count(), static_cast<int>(expected.size()) + 1);
    EXPECT_TRUE(wrapped.IsLineWraped(wrapped.Count() - 1));
}

class TLineRecorder : public TObject {
public:
    void Added(Integer, std::string_view S) { Lines.emplace_back(S); }
    std::vector<std::string> Lines;
};

// Each line is told with its own text: a short or empty line after a long one carries
// nothing of it.
TEST(TextBufferLoad, AListenerHearsEachLinesOwnText)
{
    const std::string text = std::string(300, 'L') + "\nshort\n\n" + std::string(40, 'm') + "\r\nx";
    TQvEditStringList list;
    list.Add("an earlier line");
    TLineRecorder recorder;
    list.OnAdded = TStringListInsertedEvent(&recorder, &TLineRecorder::Added);
    TStringStream in(text);
    list.LoadFromStream(&in);
    const std::vector<std::string> expected = {std::string(300, 'L'), "short", "", std::string(40, 'm'), "x"};
    EXPECT_EQ(recorder.Lines, expected);
    EXPECT_EQ(FirstDifference(list, expected), "same");
}

TEST(TextBufferLoad, AReadFailingAfterTheFirstChunkKeepsTheOldLines)
{
    TQvEditStringList list;
    list.Add("kept 1");
    list.Add("kept 2");
    TFailingLaterStream in(Filler(3 * Chunk));
    try {
        list.LoadFromStream(&in);
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), "Cannot read file \"big.php\". Input/output error");
    }
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Strings(0), "kept 1");
    EXPECT_EQ(list.Strings(1), "kept 2");
    EXPECT_EQ(list.UpdateCount(), 0);
}

// A loaded text's records fill their array exactly. The load has the records it fills made
// present in advance. A line added afterwards grows the array by little room, none of it
// made present: the memory in use grows with the lines, not with the text's size. Many
// lines added at once have only their own records made present.
TEST(TextBufferLoad, LinesAddedAfterALoadTakeMemoryForThemselves)
{
    constexpr std::size_t Lines = 400000;
    constexpr std::size_t Record = sizeof(TQvEditStringRec);
    std::string text;
    for (std::size_t i = 0; i < Lines; ++i)
        text += "x\n";
    TQvEditStringList list;
    TStringStream in(text);
    std::size_t before = TQvEditStringList::BytesPrefaulted();
    list.LoadFromStream(&in);
    ASSERT_EQ(list.GetCapacity(), list.Count());
    EXPECT_GE(TQvEditStringList::BytesPrefaulted() - before, Lines * Record / 4) << "the load's own records";

    // The records below the line move into the room, whose pages they write.
    before = TQvEditStringList::BytesPrefaulted();
    list.Insert(static_cast<int>(Lines / 2), "one line");
    EXPECT_EQ(TQvEditStringList::BytesPrefaulted() - before, 0u) << "for one line";
    EXPECT_LE(static_cast<std::size_t>(list.GetCapacity() - list.Count()) * Record, std::size_t{1} << 20);

    constexpr std::size_t Many = 200000;  // more than the room left: the array grows again
    before = TQvEditStringList::BytesPrefaulted();
    list.InsertLines(10, static_cast<Integer>(Many));
    EXPECT_LE(TQvEditStringList::BytesPrefaulted() - before, Many * Record) << "for " << Many << " lines";
    EXPECT_EQ(list.Get(9), "x");
    EXPECT_EQ(list.Get(10), "");
    EXPECT_EQ(list.Count(), static_cast<int>(Lines + 1 + Many));
}
