// Whole-file reads, appends and replacements that report failures as values, in French.
#pragma once
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace marivent {

struct IoStatus {
    bool ok = true;
    std::string why; // French, when !ok: what went wrong, for a message to the user
    explicit operator bool() const { return ok; }
};

// The bytes of a file, or nothing with the reason.
std::optional<std::string> read_file(const std::filesystem::path& path, std::string& why);

// Creates the file empty when it is missing; an existing file is left as it is.
IoStatus ensure_file(const std::filesystem::path& path);

// Appends the bytes in one write, creating the file when missing, and flushes them to the disk
// so that a line reported written survives a power cut.
IoStatus append_file(const std::filesystem::path& path, std::string_view bytes);

// Replaces the file's content: written to a temporary file beside it, flushed, then renamed over
// it, so the file is never left half-written.
IoStatus replace_file(const std::filesystem::path& path, std::string_view bytes);

// A short French reason for an errno value.
std::string error_text(int error_number);

} // namespace marivent
