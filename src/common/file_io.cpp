#include "file_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marivent {

namespace {

Failure system_failure(int error_number) {
    return failure(error_text(error_number));
}

long system_write(int fd, const void* bytes, std::size_t count) {
    return ::write(fd, bytes, count);
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

} // namespace

WriteCall set_write_call(WriteCall call) {
    const WriteCall before = write_call;
    write_call = call ? call : system_write;
    return before;
}

Result<std::string> read_file(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return system_failure(errno);
    std::string out;
    // Room for a regular file's bytes at once, rather than a string that grows and is copied.
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        out.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int e = errno;
            ::close(fd);
            return system_failure(e);
        }
        if (n == 0) break;
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return out;
}

Status ensure_file(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return system_failure(errno);
    ::close(fd);
    return {};
}

Status append_file(const std::filesystem::path& path, std::string_view bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return system_failure(errno);
    struct stat before {};
    if (::fstat(fd, &before) != 0) {
        const int e = errno;
        ::close(fd);
        return system_failure(e);
    }
    if (!write_all(fd, bytes) || ::fsync(fd) != 0) {
        // The bytes that went out are taken back, so no half line stays for the next append to
        // follow; the caller keeps the whole lines and writes them again later.
        const int e = errno;
        if (::ftruncate(fd, before.st_size) == 0) ::fsync(fd);
        ::close(fd);
        return system_failure(e);
    }
    if (::close(fd) != 0) return system_failure(errno);
    return {};
}

Status replace_file(const std::filesystem::path& path, std::string_view bytes) {
    // A file the user made read-only stays as it is, though the rename below could replace it.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return system_failure(errno);
    // A temporary name of its own beside the file, so no file of the user's is overwritten.
    std::string temp_name = path.string() + ".marivent-XXXXXX";
    const int fd = ::mkstemp(temp_name.data());
    if (fd < 0) return system_failure(errno);
    ::fchmod(fd, 0644);
    const std::filesystem::path temp = temp_name;
    if (!write_all(fd, bytes) || ::fsync(fd) != 0) {
        const int e = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return system_failure(e);
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(temp.c_str());
        return system_failure(e);
    }
    return {};
}

Status folder_writable(const std::filesystem::path& folder) {
    std::string temp_name = (folder / ".marivent-XXXXXX").string();
    const int fd = ::mkstemp(temp_name.data());
    if (fd < 0) return system_failure(errno);
    ::close(fd);
    ::unlink(temp_name.c_str());
    return {};
}

} // namespace marivent
