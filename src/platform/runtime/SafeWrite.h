// Writing whole files safely: the bytes go to a temporary file in the target's folder,
// which is flushed, synced and renamed over the target. On any failure the temporary
// file is removed, the old file is left as it was, and an error names the file and the
// reason (EFCreateError when the file cannot be made, EWriteError when writing fails).
// Replacing the file gives the saved name a new file: other hard links to the old one
// keep the old bytes.
//
// When the folder does not let the user create the temporary file but the existing
// file may be written, the file is written in place instead: the whole text is made
// first, then written over the old bytes, cut to length and synced. Hard links then stay
// linked. This path cannot keep the old file: a write that fails part way (a full disk
// for a text that grew, an I/O error, the program killed) leaves it damaged.
#pragma once

#include <functional>
#include <string>

// Receives chunks of the file's bytes in order; each call writes them all or raises.
using TSafeWriteSink = std::function<void(const void* Data, std::size_t Count)>;

// Writes Bytes as the whole new content of Path. A symbolic link is written through
// (its target is replaced, the link stays a link); an existing file keeps its
// permission bits, a new one gets 0666 less the umask.
void SafeWriteFile(const std::string& Path, const std::string& Bytes);

// The same, for output produced in pieces: Producer is called once and hands its
// bytes to the sink as it makes them. An exception from Producer aborts the write.
void SafeWriteFile(const std::string& Path, const std::function<void(const TSafeWriteSink&)>& Producer);
