// The pointer list and the abstract string list, whose operations are all built on
// the line hooks of a descendant.
#include "platform/runtime/Classes.h"

#include <algorithm>
#include <utility>

#include "platform/runtime/SafeWrite.h"
#include "platform/runtime/Streams.h"
#include "platform/runtime/SysUtils.h"

namespace {

// The message of a list error: Format with its "%d" replaced by Data.
std::string ListMessage(std::string Format, int Data)
{
    const auto at = Format.find("%d");
    if (at != std::string::npos)
        Format.replace(at, 2, std::to_string(Data));
    return Format;
}

[[noreturn]] void ListError(const char* Format, int Data)
{
    throw EListError(ListMessage(Format, Data));
}

}  // namespace

void TList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= Count())
        ListError("List index out of bounds (%d)", Index);
}

int TList::Add(void* Item)
{
    items_.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item)
{
    if (Index < 0 || Index > Count())
        ListError("List index out of bounds (%d)", Index);
    items_.insert(items_.begin() + Index, Item);
}

void TList::Delete(int Index)
{
    CheckIndex(Index);
    items_.erase(items_.begin() + Index);
}

int TList::Remove(void* Item)
{
    const int index = IndexOf(Item);
    if (index >= 0)
        Delete(index);
    return index;
}

int TList::IndexOf(void* Item) const
{
    const auto it = std::find(items_.begin(), items_.end(), Item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    std::swap(items_[Index1], items_[Index2]);
}

void TList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    CheckIndex(NewIndex);
    void* item = items_[CurIndex];
    items_.erase(items_.begin() + CurIndex);
    items_.insert(items_.begin() + NewIndex, item);
}

void TList::Clear()
{
    items_.clear();
    items_.shrink_to_fit();
}

void TList::Sort(TListSortCompare Compare)
{
    std::stable_sort(items_.begin(), items_.end(),
                     [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

void TList::SetCapacity(int NewCapacity)
{
    if (NewCapacity < 0 || NewCapacity < Count())
        ListError("List capacity out of bounds (%d)", NewCapacity);
    if (NewCapacity > GetCapacity()) {
        items_.reserve(static_cast<std::size_t>(NewCapacity));
    } else if (NewCapacity < GetCapacity()) {
        std::vector<void*> smaller;
        smaller.reserve(static_cast<std::size_t>(NewCapacity));
        smaller.assign(items_.begin(), items_.end());
        items_.swap(smaller);
    }
}

void* TList::Get(int Index) const
{
    CheckIndex(Index);
    return items_[Index];
}

void TList::Put(int Index, void* Item)
{
    CheckIndex(Index);
    items_[Index] = Item;
}

// ---------------------------------------------------------------------------------------
// TStrings

namespace {

// Holds a list's update bracket open for one scope, also when an exception leaves it.
class TUpdateScope {
public:
    explicit TUpdateScope(TStrings& Strings) : strings_(Strings) { strings_.BeginUpdate(); }
    ~TUpdateScope() { strings_.EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TStrings& strings_;
};

// A write-only stream that hands every byte to the safe writer's sink, so a list that
// writes itself to a stream can be saved without holding a second copy of the text.
class TSinkStream : public TStream {
public:
    explicit TSinkStream(const TSafeWriteSink& Sink) : sink_(Sink) {}

    Int64 Read(void*, Int64) override { throw EReadError("Stream read error"); }
    Int64 Write(const void* Buffer, Int64 Count) override
    {
        if (Count <= 0)
            return 0;
        sink_(Buffer, static_cast<std::size_t>(Count));
        written_ += Count;
        return Count;
    }
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override
    {
        if ((Origin == soFromCurrent || Origin == soFromEnd) && Offset == 0)
            return written_;
        if (Origin == soFromBeginning && Offset == written_)
            return written_;
        throw EStreamError("Stream seek error");
    }
    void SetSize(Int64) override { throw EStreamError("Stream seek error"); }

private:
    const TSafeWriteSink& sink_;
    Int64 written_ = 0;
};

bool NeedsQuotes(const std::string& S)
{
    if (S.empty())
        return true;  // an empty item written bare would vanish when read back
    return std::any_of(S.begin(), S.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return b <= ' ' || c == '"' || c == ',';
    });
}

std::string Quoted(const std::string& S)
{
    std::string result = "\"";
    for (char c : S) {
        result += c;
        if (c == '"')
            result += '"';
    }
    result += '"';
    return result;
}

// The text up to its first NUL byte: a NUL ends the text, as it did for C strings.
std::string_view UpToNul(const std::string& Value)
{
    const std::string_view view(Value);
    return view.substr(0, view.find('\0'));
}

bool IsBlankOrControl(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 1 && b <= ' ';
}

}  // namespace

void TStrings::Error(const std::string& Format, int Data) const
{
    throw EStringListError(ListMessage(Format, Data));
}

int TStrings::Add(const std::string& S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const std::string& S, TObject* AObject)
{
    const int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

TObject* TStrings::GetObject(int /*Index*/) const
{
    return nullptr;
}

void TStrings::Put(int Index, const std::string& S)
{
    TObject* object = GetObject(Index);
    TUpdateScope update(*this);
    Delete(Index);
    InsertObject(Index, S, object);
}

void TStrings::PutObject(int /*Index*/, TObject* /*AObject*/) {}

void TStrings::Exchange(int Index1, int Index2)
{
    TUpdateScope update(*this);
    const std::string text = Get(Index1);
    TObject* object = GetObject(Index1);
    Put(Index1, Get(Index2));
    PutObject(Index1, GetObject(Index2));
    Put(Index2, text);
    PutObject(Index2, object);
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    // Both places are checked before the line leaves its old one, so a bad target
    // cannot lose it.
    if (CurIndex < 0 || CurIndex >= GetCount())
        Error("List index out of bounds (%d)", CurIndex);
    if (NewIndex < 0 || NewIndex >= GetCount())
        Error("List index out of bounds (%d)", NewIndex);
    TUpdateScope update(*this);
    const std::string text = Get(CurIndex);
    TObject* object = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, text, object);
}

void TStrings::AddStrings(TStrings* Strings)
{
    TUpdateScope update(*this);
    // Counted first: a list added to itself is doubled, not read while it grows.
    const int count = Strings->Count();
    for (int i = 0; i < count; ++i)
        AddObject(Strings->Strings(i), Strings->Objects(i));
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* strings = dynamic_cast<TStrings*>(Source)) {
        if (strings == this)
            return;
        TUpdateScope update(*this);
        Clear();
        AddStrings(strings);
        return;
    }
    TPersistent::Assign(Source);
}

bool TStrings::Equals(TStrings* Strings) const
{
    if (Strings->Count() != Count())
        return false;
    for (int i = 0; i < Count(); ++i) {
        if (Get(i) != Strings->Strings(i))
            return false;
    }
    return true;
}

int TStrings::IndexOf(const std::string& S) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (AnsiCompareText(Get(i), S) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const
{
    for (int i = 0; i < GetCount(); ++i) {
        const std::string line = Get(i);
        const auto equals = line.find('=');
        if (equals != std::string::npos && AnsiCompareText(line.substr(0, equals), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    for (int i = 0; i < GetCount(); ++i) {
        if (GetObject(i) == AObject)
            return i;
    }
    return -1;
}

std::string TStrings::Names(int Index) const
{
    const std::string line = Get(Index);
    const auto equals = line.find('=');
    return equals == std::string::npos ? std::string() : line.substr(0, equals);
}

std::string TStrings::Values(const std::string& Name) const
{
    const int index = IndexOfName(Name);
    if (index < 0)
        return {};
    const std::string line = Get(index);
    return line.substr(line.find('=') + 1);
}

void TStrings::SetValues(const std::string& Name, const std::string& Value)
{
    const int index = IndexOfName(Name);
    if (!Value.empty()) {
        // A new line is added whole: adding an empty one first and then replacing it
        // would leave the empty line behind in a list that refuses the replacement
        // (a sorted one).
        if (index < 0)
            Add(Name + "=" + Value);
        else
            Put(index, Name + "=" + Value);
    } else if (index >= 0) {
        Delete(index);
    }
}

std::string TStrings::GetText() const
{
    std::string text;
    for (int i = 0; i < GetCount(); ++i) {
        text += Get(i);
        text += "\r\n";
    }
    return text;
}

void TStrings::SetText(const std::string& Value)
{
    const std::string_view text = UpToNul(Value);
    TUpdateScope update(*this);
    Clear();
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        Add(std::string(text.substr(start, end - start)));
        if (end < text.size() && text[end] == '\r')
            ++end;
        if (end < text.size() && text[end] == '\n')
            ++end;
        start = end;
    }
}

std::string TStrings::GetCommaText() const
{
    std::string text;
    for (int i = 0; i < GetCount(); ++i) {
        if (i > 0)
            text += ',';
        const std::string item = Get(i);
        text += NeedsQuotes(item) ? Quoted(item) : item;
    }
    return text;
}

void TStrings::SetCommaText(const std::string& Value)
{
    const std::string_view text = UpToNul(Value);
    TUpdateScope update(*this);
    Clear();
    std::size_t p = 0;
    const auto skipBlanks = [&] {
        while (p < text.size() && IsBlankOrControl(text[p]))
            ++p;
    };
    skipBlanks();
    while (p < text.size()) {
        std::string item;
        if (text[p] == '"') {
            ++p;  // a doubled quote stands for one; an unclosed quote runs to the end
            while (p < text.size()) {
                if (text[p] == '"') {
                    if (p + 1 < text.size() && text[p + 1] == '"') {
                        item += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                item += text[p++];
            }
        } else {
            const std::size_t start = p;
            while (p < text.size() && static_cast<unsigned char>(text[p]) > ' ' && text[p] != ',')
                ++p;
            item = std::string(text.substr(start, p - start));
        }
        Add(item);
        skipBlanks();
        if (p < text.size() && text[p] == ',') {
            ++p;
            skipBlanks();
        }
    }
}

void TStrings::BeginUpdate()
{
    if (updateCount_ == 0)
        SetUpdateState(true);
    ++updateCount_;
}

void TStrings::EndUpdate()
{
    if (updateCount_ == 0)
        return;  // unbalanced: nothing is open
    --updateCount_;
    if (updateCount_ == 0)
        SetUpdateState(false);
}

void TStrings::LoadFromFile(const std::string& FileName)
{
    // Read to its end: a file in /proc reports no size.
    TStringStream whole(ReadFileBytes(FileName));
    LoadFromStream(&whole);
}

void TStrings::LoadFromStream(TStream* Stream)
{
    const Int64 size = Stream->Size() - Stream->Position();
    std::string text(static_cast<std::size_t>(std::max<Int64>(size, 0)), '\0');
    Stream->ReadBuffer(text.data(), static_cast<Int64>(text.size()));
    SetText(text);
}

void TStrings::SaveToFile(const std::string& FileName)
{
    SafeWriteFile(FileName, [this](const TSafeWriteSink& sink) {
        TSinkStream stream(sink);
        SaveToStream(&stream);
    });
}

void TStrings::SaveToStream(TStream* Stream)
{
    const std::string text = GetText();
    Stream->WriteBuffer(text.data(), static_cast<Int64>(text.size()));
}
