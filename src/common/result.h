// What a call that can fail gives back: its value, or why it failed, in French (UTF-8), for a
// message to the user. A call with nothing to give back gives a Status.
//
//     const Result<std::string> bytes = read_file(path);
//     if (!bytes) return failure("illisible (" + bytes.why() + ")");
//     use(*bytes);
//
// An outcome that carries more than a failure (notices, a count, what was written) holds the
// failure as a Status among its other fields.
#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <utility>

namespace marivent {

// A failure on its way into a Result or a Status.
struct Failure {
    std::string why;
};
inline Failure failure(std::string why) {
    return Failure{std::move(why)};
}

template <class T> class Result {
  public:
    Result(T value) : value_(std::move(value)) {}
    Result(Failure f) : why_(std::move(f.why)) {}
    // A text is never taken for a value: failures go through failure().
    template <std::size_t N> Result(const char (&)[N]) = delete;

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    // The value, when ok().
    T& operator*() & { return *value_; }
    const T& operator*() const& { return *value_; }
    T&& operator*() && { return std::move(*value_); }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }

    // Why it failed; empty when ok().
    const std::string& why() const { return why_; }

  private:
    std::optional<T> value_;
    std::string why_;
};

template <> class Result<void> {
  public:
    Result() = default;
    Result(Failure f) : ok_(false), why_(std::move(f.why)) {}

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& why() const { return why_; }

  private:
    bool ok_ = true;
    std::string why_;
};

using Status = Result<void>;

} // namespace marivent
