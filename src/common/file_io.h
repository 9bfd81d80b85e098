// Whole-file reads, appends and replacements that report failures as values, in French.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "common/result.h"

namespace marivent {

// The bytes of a file, or the reason they cannot be read.
Result<std::string> read_file(const std::filesystem::path& path);

// Creates the file empty when it is missing; an existing file is left as it is.
Status ensure_file(const std::filesystem::path& path);

// Appends the bytes in one write, creating the file when missing, and flushes them to the disk
// so that a line reported written survives a power cut. An append that fails part-way (a disk
// that fills) is taken back: the file is left exactly as it was before.
Status append_file(const std::filesystem::path& path, std::string_view bytes);

// Replaces the file's content: written to a temporary file beside it, flushed, then renamed over
// it, so the file is never left half-written.
Status replace_file(const std::filesystem::path& path, std::string_view bytes);

// Whether a file can be created in the folder, found by creating a temporary file there and
// removing it: the rights decide (a read-only attribute on a Windows folder does not), and no
// file of the user's is touched.
Status folder_writable(const std::filesystem::path& folder);

// A short French reason for an errno value.
std::string error_text(int error_number);
// The same for an error of std::filesystem.
std::string error_text(const std::error_code& error);

// The write(2) that every file write goes through. Tests put one that fails part-way, as a disk
// that fills does; nullptr puts back the system's. Returns the one it replaces.
using WriteCall = long (*)(int fd, const void* bytes, std::size_t count);
WriteCall set_write_call(WriteCall call);

} // namespace marivent
