#pragma once
// An open file descriptor owned by one holder and closed with it. The close
// goes through the function given (the plain close by default), and close()
// says whether it succeeded: a write the system held back may fail there.

#include <unistd.h>

#include <utility>

namespace vamu::native {

class UniqueFd {
public:
    using Closer = int (*)(int);

    explicit UniqueFd(int fd = -1, Closer closer = ::close) noexcept : fd_(fd), closer_(closer) {}
    ~UniqueFd() { close(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            close();
            fd_ = std::exchange(other.fd_, -1);
            closer_ = other.closer_;
        }
        return *this;
    }

    int get() const noexcept { return fd_; }
    bool valid() const noexcept { return fd_ >= 0; }
    // Closes now; true where there was nothing to close.
    bool close() noexcept {
        const int fd = std::exchange(fd_, -1);
        return fd < 0 || closer_(fd) == 0;
    }

private:
    int fd_;
    Closer closer_;
};

}  // namespace vamu::native
