// file_io.h on Windows: wide paths (a path is UTF-16 there), the C run-time's descriptors so the
// write seam is the same as elsewhere, FlushFileBuffers through _commit, and MoveFileExW to put a
// new file in place, since a rename does not replace an existing file there.
#include "file_io.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include "win32_error.h"

namespace marivent {

namespace {

Failure system_failure(int error_number) {
    return failure(error_text(error_number));
}

long system_write(int fd, const void* bytes, std::size_t count) {
    return ::_write(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(count, INT_MAX)));
}

WriteCall write_call = system_write;

bool write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const long n = write_call(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

constexpr int read_only = _O_RDONLY | _O_BINARY | _O_NOINHERIT;
constexpr int write_only = _O_WRONLY | _O_BINARY | _O_NOINHERIT;
constexpr int user_rights = _S_IREAD | _S_IWRITE;

// A name of its own beside `path` for a temporary file, different at each call.
std::filesystem::path temporary_beside(const std::filesystem::path& path) {
    static std::atomic<unsigned long long> calls{0};
    unsigned long long n = ::GetTickCount64() * 1000003ull + ::GetCurrentProcessId() * 7919ull +
                           calls.fetch_add(1) * 104729ull;
    std::wstring suffix = L".marivent-";
    for (int k = 0; k < 6; ++k, n /= 36)
        suffix += L"0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
    return std::filesystem::path(path.native() + suffix);
}

} // namespace

WriteCall set_write_call(WriteCall call) {
    const WriteCall before = write_call;
    write_call = call ? call : system_write;
    return before;
}

Result<std::string> read_file(const std::filesystem::path& path) {
    const int fd = ::_wopen(path.c_str(), read_only);
    if (fd < 0) return system_failure(errno);
    std::string out;
    struct _stat64 st {};
    if (::_fstat64(fd, &st) == 0 && (st.st_mode & _S_IFREG) && st.st_size > 0)
        out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const int n = ::_read(fd, buf, sizeof buf);
        if (n < 0) {
            const int e = errno;
            ::_close(fd);
            return system_failure(e);
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::_close(fd);
    return out;
}

Status ensure_file(const std::filesystem::path& path) {
    const int fd = ::_wopen(path.c_str(), write_only | _O_CREAT, user_rights);
    if (fd < 0) return system_failure(errno);
    ::_close(fd);
    return {};
}

Status append_file(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = ::_wopen(path.c_str(), write_only | _O_CREAT | _O_APPEND, user_rights);
    if (fd < 0) return system_failure(errno);
    const long long before = ::_filelengthi64(fd);
    if (before < 0) {
        const int e = errno;
        ::_close(fd);
        return system_failure(e);
    }
    if (!write_all(fd, bytes) || ::_commit(fd) != 0) {
        // Taken back, as on the other systems: no half line stays for the next append to follow.
        const int e = errno;
        if (::_chsize_s(fd, before) == 0) ::_commit(fd);
        ::_close(fd);
        return system_failure(e);
    }
    if (::_close(fd) != 0) return system_failure(errno);
    return {};
}

Status replace_file(const std::filesystem::path& path, std::string_view bytes) {
    // A file the user made read-only stays as it is.
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return system_failure(EACCES);
    std::filesystem::path temp;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < 100; ++tries) {
        temp = temporary_beside(path);
        fd = ::_wopen(temp.c_str(), write_only | _O_CREAT | _O_EXCL, user_rights);
        if (fd < 0 && errno != EEXIST) return system_failure(errno);
    }
    if (fd < 0) return system_failure(EEXIST);
    if (!write_all(fd, bytes) || ::_commit(fd) != 0) {
        const int e = errno;
        ::_close(fd);
        ::DeleteFileW(temp.c_str());
        return system_failure(e);
    }
    if (::_close(fd) != 0) {
        const int e = errno;
        ::DeleteFileW(temp.c_str());
        return system_failure(e);
    }
    // WRITE_THROUGH: the call returns once the new name is on the disk too.
    if (!::MoveFileExW(temp.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD e = ::GetLastError();
        ::DeleteFileW(temp.c_str());
        return failure(win32_error_text(e));
    }
    return {};
}

Status folder_writable(const std::filesystem::path& folder) {
    const std::filesystem::path base = folder / L".marivent";
    for (int tries = 0; tries < 100; ++tries) {
        const std::filesystem::path temp = temporary_beside(base);
        const int fd = ::_wopen(temp.c_str(), write_only | _O_CREAT | _O_EXCL, user_rights);
        if (fd >= 0) {
            ::_close(fd);
            ::DeleteFileW(temp.c_str());
            return {};
        }
        if (errno != EEXIST) return system_failure(errno);
    }
    return system_failure(EEXIST);
}

} // namespace marivent
