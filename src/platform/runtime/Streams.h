// Byte streams: the abstract stream, files, memory and strings, plus little-endian
// integer and length-prefixed string helpers.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

class TStream : public TObject {
public:
    ~TStream() override = default;

    // Transfer up to Count bytes; the result is the number moved (0 at the end).
    virtual Int64 Read(void* Buffer, Int64 Count) = 0;
    virtual Int64 Write(const void* Buffer, Int64 Count) = 0;
    // Moves the position and returns the new one; a position before the start raises
    // EStreamError.
    virtual Int64 Seek(Int64 Offset, TSeekOrigin Origin) = 0;

    Int64 Position() { return Seek(0, soFromCurrent); }
    void SetPosition(Int64 Pos) { Seek(Pos, soFromBeginning); }
    virtual Int64 Size();
    virtual void SetSize(Int64 NewSize) = 0;
    Int64 Remaining() { return Size() - Position(); }

    // Whole transfers: a short read raises EReadError (see RaiseShortRead), a short
    // write EWriteError "Stream write error".
    void ReadBuffer(void* Buffer, Int64 Count);
    void WriteBuffer(const void* Buffer, Int64 Count);
    // Copies Count bytes from Source's position; Count 0 copies the whole of Source
    // from its start. Returns the number copied.
    Int64 CopyFrom(TStream* Source, Int64 Count);

protected:
    // The error of a whole read that got Done of the Count bytes asked for: "Stream read
    // error"; a file stream names its file and says where it ended.
    [[noreturn]] virtual void RaiseShortRead(Int64 Done, Int64 Count);
};

// File open modes: one access mode, optionally or-ed with a share mode (accepted and
// ignored: files are not locked).
enum : Word {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,  // creates the file or truncates it, opened for reading and writing
};

// A file opened directly. Writing through it replaces the file in place; whole files
// the system saves go through SafeWriteFile instead.
class TFileStream : public TStream {
public:
    // Raises EFOpenError "Cannot open file "<name>". <reason>" or, with fmCreate,
    // EFCreateError "Cannot create file "<name>". <reason>". Only regular files open: a
    // folder, a named pipe or a device is refused at once.
    TFileStream(const std::string& FileName, Word Mode);
    ~TFileStream() override;

    Int64 Read(void* Buffer, Int64 Count) override;   // an I/O error raises EReadError
    Int64 Write(const void* Buffer, Int64 Count) override;  // raises EWriteError
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    void SetSize(Int64 NewSize) override;
    const std::string& FileName() const { return fileName_; }

    // Whether the size the system reports is what the file holds. Files in /proc report
    // 0 (most of them cannot even seek to their end) and files in /sys a block of which
    // they hold less; their bytes are found only by reading to the end (ReadToEnd). A file
    // reporting at most one block but taking none on the disk is taken for one of them.
    bool SizeIsKnown() const;
    // The bytes from the position to the end, read until a read gives none: the size is
    // a first guess only. A read that would wait for more fails (EReadError) rather than
    // waits. Raises EOutOfResources naming the file when the bytes would take more than
    // the memory available.
    std::string ReadToEnd();

protected:
    // "Cannot read file "<name>". It ended after <n> bytes where <m> were expected", and
    // ": it was changed while it was read" when its size is not the one it had when opened.
    [[noreturn]] void RaiseShortRead(Int64 Done, Int64 Count) override;

private:
    std::string fileName_;
    int fd_ = -1;
    Int64 openedSize_ = 0;
};

class TMemoryStream : public TStream {
public:
    Int64 Read(void* Buffer, Int64 Count) override;
    Int64 Write(const void* Buffer, Int64 Count) override;
    Int64 Seek(Int64 Offset, TSeekOrigin Origin) override;
    Int64 Size() override { return static_cast<Int64>(data_.size()); }
    void SetSize(Int64 NewSize) override;

    // The bytes; valid until the size next changes. nullptr when empty.
    Byte* Memory() { return data_.empty() ? nullptr : data_.data(); }
    const std::vector<Byte>& Bytes() const { return data_; }
    void Clear();
    void LoadFromStream(TStream* Stream);  // the whole of Stream from its start
    void LoadFromFile(const std::string& FileName);
    void SaveToStream(TStream* Stream);  // every byte, written at Stream's position
    void SaveToFile(const std::string& FileName);  // through the safe writer

private:
    std::vector<Byte> data_;
    Int64 position_ = 0;
};

// A memory stream over a string of bytes.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(const std::string& Data = {});
    std::string DataString() const;
};

// Little-endian integers. Reads raise EReadError at the end of the stream.
Byte ReadByte(TStream& Stream);
Word ReadLE16(TStream& Stream);
DWORD ReadLE32(TStream& Stream);
Int64 ReadLE64(TStream& Stream);
void WriteByte(TStream& Stream, Byte Value);
void WriteLE16(TStream& Stream, Word Value);
void WriteLE32(TStream& Stream, DWORD Value);
void WriteLE64(TStream& Stream, Int64 Value);

// The whole content of a file, read up to its end (so a file that grows or shrinks while
// it is read gives what it held at the end, and a file in /proc what it holds). Raises
// EFOpenError, EReadError or EOutOfResources (see TFileStream::ReadToEnd).
std::string ReadFileBytes(const std::string& FileName);

// Raises the error TFileStream raises in Mode for a name no file can have: one holding a
// NUL byte (see NameHoldsNul).
void CheckFileName(const std::string& FileName, Word Mode);

// A string as its 32-bit byte count followed by the bytes. Reading checks the count
// against what the stream holds and raises EReadError when it does not fit.
std::string ReadSizedString(TStream& Stream);
void WriteSizedString(TStream& Stream, const std::string& Value);
