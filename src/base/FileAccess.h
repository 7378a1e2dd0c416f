#pragma once
// Reading and replacing the program's own files safely: only regular files of a bounded size
// are read (a FIFO or a device never blocks or floods the program), and a file is replaced
// through a temporary file, renamed into place and synced, so a crash never leaves half a file.
// Error texts are Russian, in cp1251, and name the file.
#include <sys/types.h>

#include <cstdio>
#include <string>
#include <string_view>

namespace zorvan {

// The operating system's error as a Russian text (cp1251).
std::string SystemErrorText(int error);

// A file name (UTF-8 on this system) as it appears inside a cp1251 message: in quotes.
std::string QuotedPath(const std::string& path);

enum class TReadResult { Ok, Missing, Failed };

// Reads a regular file of at most maxBytes. Missing: no such file (error left empty).
TReadResult ReadRegularFile(const std::string& path, std::size_t maxBytes, std::string& bytes, std::string& error);

// Replaces the file's contents: a symbolic link is followed and its target replaced; an existing
// file keeps its permissions, a new one gets newFileMode. Fails (and leaves the old file as it
// was) when the target is not a regular file or anything cannot be written.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& error, mode_t newFileMode = 0600);

// Opens a file for appending; a new file is created readable by its owner only.
std::FILE* OpenForAppend(const std::string& path, std::string& error);

// The path a chain of symbolic links ends at (the path itself when it is no link).
std::string FollowLinks(const std::string& path);

}  // namespace zorvan
