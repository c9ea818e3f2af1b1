// What the safe writer's units share: its errors and checked writes. Not for use
// outside the safe writer.
#pragma once

#include <cstddef>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace SafeWriteParts {

// "Cannot create file "<Path>". <reason>" (EFCreateError).
[[noreturn]] void RaiseCreate(const std::string& Path, int Error);
// "Cannot write file "<Path>". <reason>" (EWriteError).
[[noreturn]] void RaiseWrite(const std::string& Path, int Error);

// Writes Count bytes at Offset, going on after short writes and interruptions. Returns
// 0, or the reason the write stopped (ENOSPC when the system wrote nothing and said
// nothing); Written, when given, receives how many bytes were written.
int WriteAt(int Fd, const char* Data, std::size_t Count, off_t Offset, std::size_t* Written = nullptr);

// Writes Text in place over the existing file Name of the folder open as Folder (named
// Path in messages), taking its space first; see SafeWrite.h. Only the file Checked
// describes is written: a name that now stands for another file, a link, a pipe or a
// device fails the save with nothing written.
void WriteInPlace(int Folder, const std::string& Name, const struct stat& Checked, const std::string& Path,
                  const std::string& Text);

}  // namespace SafeWriteParts
