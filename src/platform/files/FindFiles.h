// Directory search and the process's current folder.
//
// Masks follow the classic wildcard rules rather than the shell's: '*' is any run of
// characters, '?' one character, letters match in either case, and a mask ending in ".*"
// also matches a name without any extension (so "*.*" matches every name). A mask list
// separates masks with ';' and ignores blanks around each ("*.php; *.htm*").
//
// File names are the bytes the file system holds (UTF-8 on this system); they are
// compared by character, not by byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Whether Name matches one mask.
bool MatchesMask(std::string_view Name, std::string_view Mask);
// The masks of a ';'-separated list, blanks around each removed, empty ones left out.
std::vector<std::string> SplitMaskList(std::string_view MaskList);
// Whether Name matches any mask of a ';'-separated list; an empty list matches nothing.
bool MatchesMaskList(std::string_view Name, std::string_view MaskList);

// The plain files of Folder ("" = the current folder) whose names match MaskList: no
// folders, no hidden files (names starting with '.'), no sockets or devices. A link counts
// as what it points to. Names only, without the folder, in name order (letters compared
// in either case, ties by bytes) so that every run lists them alike. An unreadable or
// missing folder gives an empty list.
std::vector<std::string> FindFiles(const std::string& Folder, const std::string& MaskList);

// The subfolders of Folder ("" = the current folder), hidden ones and "." and ".." left
// out, in the same order as FindFiles.
std::vector<std::string> FindFolders(const std::string& Folder);

// The process's current folder, without a trailing separator (except for the root "/").
std::string GetCurrentDir();
// Makes Dir the current folder; false (and nothing changed) when it cannot.
bool SetCurrentDir(const std::string& Dir);
