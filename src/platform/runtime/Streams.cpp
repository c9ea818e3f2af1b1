// The abstract stream, file streams over POSIX descriptors, memory and string streams,
// and the little-endian helpers.
#include "platform/runtime/Streams.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/runtime/FileCalls.h"
#include "platform/runtime/SafeWrite.h"

Int64 TStream::Size()
{
    const Int64 position = Seek(0, soFromCurrent);
    const Int64 size = Seek(0, soFromEnd);
    Seek(position, soFromBeginning);
    return size;
}

void TStream::ReadBuffer(void* Buffer, Int64 Count)
{
    if (Count < 0)
        throw EReadError("Stream read error");
    const Int64 done = Count == 0 ? 0 : Read(Buffer, Count);
    if (done != Count)
        RaiseShortRead(done, Count);
}

void TStream::RaiseShortRead(Int64, Int64)
{
    throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* Buffer, Int64 Count)
{
    if (Count < 0 || (Count != 0 && Write(Buffer, Count) != Count))
        throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream* Source, Int64 Count)
{
    if (Count < 0)
        throw EReadError("Stream read error");
    if (Count == 0) {
        Source->SetPosition(0);
        Count = Source->Size();
    }
    constexpr Int64 kChunk = 64 * 1024;
    std::vector<Byte> buffer(static_cast<std::size_t>(std::min(Count, kChunk)));
    Int64 left = Count;
    while (left > 0) {
        const Int64 n = std::min(left, kChunk);
        Source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return Count;
}

// ---------------------------------------------------------------------------------------

namespace {

std::string Reason(int Error)
{
    return std::strerror(Error);
}

int OpenFlags(Word Mode)
{
    if (Mode == fmCreate)
        return O_RDWR | O_CREAT | O_TRUNC;
    switch (Mode & 0x0003) {
    case fmOpenWrite:
        return O_WRONLY;
    case fmOpenReadWrite:
        return O_RDWR;
    default:
        return O_RDONLY;
    }
}

[[noreturn]] void RaiseOpenError(const std::string& FileName, Word Mode, const std::string& Why)
{
    if (Mode == fmCreate)
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + Why);
    throw EFOpenError("Cannot open file \"" + FileName + "\". " + Why);
}

[[noreturn]] void RaiseOpenError(const std::string& FileName, Word Mode, int Error)
{
    RaiseOpenError(FileName, Mode, Reason(Error));
}

[[noreturn]] void RaiseNotRegular(const std::string& FileName, Word Mode, mode_t Type)
{
    if (S_ISDIR(Type))
        RaiseOpenError(FileName, Mode, EISDIR);
    RaiseOpenError(FileName, Mode, "It is not a regular file");
}

}  // namespace

void CheckFileName(const std::string& FileName, Word Mode)
{
    if (NameHoldsNul(FileName))
        RaiseOpenError(ShownFileName(FileName), Mode, std::string(NulInNameReason));
}

TFileStream::TFileStream(const std::string& FileName, Word Mode) : fileName_(FileName)
{
    CheckFileName(FileName, Mode);
    // Only regular files are taken: a named pipe would block open() until its other end
    // appears, and a device has no end to read to. Such a file is refused at once; the
    // open itself does not wait either, should the name change in between.
    struct stat info {};
    if (::stat(FileName.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        RaiseNotRegular(FileName, Mode, info.st_mode);
    do {
        fd_ = ::open(FileName.c_str(), OpenFlags(Mode) | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        RaiseOpenError(FileName, Mode, errno);
    const bool statted = ::fstat(fd_, &info) == 0;
    if (!statted || !S_ISREG(info.st_mode)) {
        const int error = errno;
        ::close(fd_);
        fd_ = -1;
        if (statted)
            RaiseNotRegular(FileName, Mode, info.st_mode);
        RaiseOpenError(FileName, Mode, error);
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    openedSize_ = static_cast<Int64>(info.st_size);
}

TFileStream::~TFileStream()
{
    if (fd_ >= 0)
        ::close(fd_);
}

Int64 TFileStream::Read(void* Buffer, Int64 Count)
{
    auto* bytes = static_cast<char*>(Buffer);
    Int64 done = 0;
    while (done < Count) {
        const ssize_t n = FileCalls().Read(fd_, bytes + done, static_cast<std::size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw EReadError("Cannot read file \"" + fileName_ + "\". " + Reason(errno));
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

Int64 TFileStream::Write(const void* Buffer, Int64 Count)
{
    const auto* bytes = static_cast<const char*>(Buffer);
    Int64 done = 0;
    while (done < Count) {
        const ssize_t n = ::write(fd_, bytes + done, static_cast<std::size_t>(Count - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw EWriteError("Cannot write file \"" + fileName_ + "\". " +
                              Reason(n < 0 ? errno : ENOSPC));
        done += n;
    }
    return done;
}

void TFileStream::RaiseShortRead(Int64 Done, Int64 Count)
{
    const Int64 ended = Position();
    struct stat info {};
    const bool changed = ::fstat(fd_, &info) != 0 || static_cast<Int64>(info.st_size) != openedSize_;
    throw EReadError("Cannot read file \"" + fileName_ + "\". It ended after " + std::to_string(ended) +
                     " bytes where " + std::to_string(ended - Done + Count) + " were expected" +
                     (changed ? ": it was changed while it was read" : ""));
}

Int64 TFileStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    const int whence = Origin == soFromCurrent ? SEEK_CUR : Origin == soFromEnd ? SEEK_END : SEEK_SET;
    const off_t position = ::lseek(fd_, static_cast<off_t>(Offset), whence);
    if (position < 0)
        throw EStreamError("Cannot seek in file \"" + fileName_ + "\". " + Reason(errno));
    return static_cast<Int64>(position);
}

void TFileStream::SetSize(Int64 NewSize)
{
    if (::ftruncate(fd_, static_cast<off_t>(NewSize)) != 0)
        throw EWriteError("Cannot write file \"" + fileName_ + "\". " + Reason(errno));
    if (Position() > NewSize)
        Seek(NewSize, soFromBeginning);
}

bool TFileStream::SizeIsKnown() const
{
    struct stat info {};
    return ::fstat(fd_, &info) == 0 && info.st_size > 0 && (info.st_blocks > 0 || info.st_size > info.st_blksize);
}

std::string TFileStream::ReadToEnd()
{
    // A file that waits for more instead of ending (the kernel's log in /proc) is not
    // waited for: a read that would wait fails instead.
    struct TNoWaiting {
        int Fd;
        int Flags;
        ~TNoWaiting() { ::fcntl(Fd, F_SETFL, Flags); }
    } noWaiting{fd_, ::fcntl(fd_, F_GETFL)};
    ::fcntl(fd_, F_SETFL, noWaiting.Flags | O_NONBLOCK);
    std::string bytes(static_cast<std::size_t>(std::max<Int64>(openedSize_, 0)) + 1, '\0');
    std::size_t filled = 0;
    // The memory available, asked for only once the guess is passed.
    std::optional<std::uint64_t> most;
    for (;;) {
        if (filled == bytes.size()) {
            if (!most)
                most = FileCalls().AvailableMemory();
            if (filled > *most)
                throw EOutOfResources("Cannot read file \"" + fileName_ + "\". It holds more than the " +
                                      std::to_string(*most) + " bytes of memory available");
            // One byte more than the most it may hold, to find its end.
            const std::uint64_t room = *most == std::numeric_limits<std::uint64_t>::max() ? *most : *most + 1;
            bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(std::uint64_t{bytes.size()} * 2, room)));
        }
        const Int64 n = Read(bytes.data() + filled, static_cast<Int64>(bytes.size() - filled));
        if (n == 0)
            break;
        filled += static_cast<std::size_t>(n);
    }
    bytes.resize(filled);
    return bytes;
}

std::string ReadFileBytes(const std::string& FileName)
{
    TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    return stream.ReadToEnd();
}

// ---------------------------------------------------------------------------------------

Int64 TMemoryStream::Read(void* Buffer, Int64 Count)
{
    const Int64 available = Size() - position_;
    if (Count <= 0 || available <= 0)
        return 0;
    const Int64 n = std::min(Count, available);
    std::memcpy(Buffer, data_.data() + position_, static_cast<std::size_t>(n));
    position_ += n;
    return n;
}

Int64 TMemoryStream::Write(const void* Buffer, Int64 Count)
{
    if (Count <= 0)
        return 0;
    if (Count > std::numeric_limits<Int64>::max() - position_)
        throw EWriteError("Stream write error");
    const Int64 end = position_ + Count;
    if (end > Size())
        SetSize(end);  // a gap left by seeking past the end reads as zeros
    std::memcpy(data_.data() + position_, Buffer, static_cast<std::size_t>(Count));
    position_ = end;
    return Count;
}

Int64 TMemoryStream::Seek(Int64 Offset, TSeekOrigin Origin)
{
    Int64 base = 0;
    if (Origin == soFromCurrent)
        base = position_;
    else if (Origin == soFromEnd)
        base = Size();
    if (Offset < -base || (Offset > 0 && Offset > std::numeric_limits<Int64>::max() - base))
        throw EStreamError("Invalid stream position");
    position_ = base + Offset;
    return position_;
}

void TMemoryStream::SetSize(Int64 NewSize)
{
    if (NewSize < 0)
        throw EStreamError("Invalid stream size");
    try {
        data_.resize(static_cast<std::size_t>(NewSize));
    } catch (const std::exception&) {
        throw EOutOfResources("Out of memory while expanding memory stream");
    }
    position_ = std::min(position_, NewSize);
}

void TMemoryStream::Clear()
{
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* Stream)
{
    Stream->SetPosition(0);
    std::vector<Byte> bytes(static_cast<std::size_t>(Stream->Size()));
    Stream->ReadBuffer(bytes.data(), static_cast<Int64>(bytes.size()));
    data_.swap(bytes);
    position_ = 0;
}

void TMemoryStream::LoadFromFile(const std::string& FileName)
{
    const std::string bytes = ReadFileBytes(FileName);
    data_.assign(bytes.begin(), bytes.end());
    position_ = 0;
}

void TMemoryStream::SaveToStream(TStream* Stream)
{
    Stream->WriteBuffer(data_.data(), Size());
}

void TMemoryStream::SaveToFile(const std::string& FileName)
{
    // Written from where the bytes lie, without a copy.
    SafeWriteFile(FileName, [this](const TSafeWriteSink& sink) {
        if (!data_.empty())
            sink(data_.data(), data_.size());
    });
}

TStringStream::TStringStream(const std::string& Data)
{
    WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
    SetPosition(0);
}

std::string TStringStream::DataString() const
{
    return std::string(Bytes().begin(), Bytes().end());
}

// ---------------------------------------------------------------------------------------

namespace {

std::uint64_t ReadLittleEndian(TStream& Stream, int Bytes)
{
    Byte buffer[8] = {};
    Stream.ReadBuffer(buffer, Bytes);
    std::uint64_t value = 0;
    for (int i = Bytes - 1; i >= 0; --i)
        value = (value << 8) | buffer[i];
    return value;
}

void WriteLittleEndian(TStream& Stream, std::uint64_t Value, int Bytes)
{
    Byte buffer[8] = {};
    for (int i = 0; i < Bytes; ++i)
        buffer[i] = static_cast<Byte>(Value >> (8 * i));
    Stream.WriteBuffer(buffer, Bytes);
}

}  // namespace

Byte ReadByte(TStream& Stream)
{
    return static_cast<Byte>(ReadLittleEndian(Stream, 1));
}

Word ReadLE16(TStream& Stream)
{
    return static_cast<Word>(ReadLittleEndian(Stream, 2));
}

DWORD ReadLE32(TStream& Stream)
{
    return static_cast<DWORD>(ReadLittleEndian(Stream, 4));
}

Int64 ReadLE64(TStream& Stream)
{
    return static_cast<Int64>(ReadLittleEndian(Stream, 8));
}

void WriteByte(TStream& Stream, Byte Value)
{
    WriteLittleEndian(Stream, Value, 1);
}

void WriteLE16(TStream& Stream, Word Value)
{
    WriteLittleEndian(Stream, Value, 2);
}

void WriteLE32(TStream& Stream, DWORD Value)
{
    WriteLittleEndian(Stream, Value, 4);
}

void WriteLE64(TStream& Stream, Int64 Value)
{
    WriteLittleEndian(Stream, static_cast<std::uint64_t>(Value), 8);
}

std::string ReadSizedString(TStream& Stream)
{
    const DWORD length = ReadLE32(Stream);
    if (static_cast<Int64>(length) > Stream.Remaining())
        throw EReadError("Stream read error");
    std::string value(length, '\0');
    Stream.ReadBuffer(value.data(), length);
    return value;
}

void WriteSizedString(TStream& Stream, const std::string& Value)
{
    if (Value.size() > std::numeric_limits<DWORD>::max())
        throw EWriteError("Stream write error");
    WriteLE32(Stream, static_cast<DWORD>(Value.size()));
    Stream.WriteBuffer(Value.data(), static_cast<Int64>(Value.size()));
}
