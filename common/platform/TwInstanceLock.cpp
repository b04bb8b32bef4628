#include "platform/TwInstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/TwUserFiles.h"

TwInstanceLock::~TwInstanceLock() {
    Release();
}

std::string TwInstanceLock::DefaultPath() {
    return TwDataDir() + "/zorbit-volley.lock";
}

bool TwInstanceLock::Acquire(const std::string& key) {
    TwMakeDirs(TwDataDir());
    return AcquireFile(DefaultPath(), key);
}

bool TwInstanceLock::AcquireFile(const std::string& path, const std::string& key) {
    Release();
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        // No place for the lock (read-only home, ...): better to run than to refuse.
        return true;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool heldElsewhere = (errno == EWOULDBLOCK);
        ::close(fd);
        return !heldElsewhere;
    }
    fd_ = fd;
    // The key names who holds the lock, for anyone looking at the file.
    if (::ftruncate(fd_, 0) == 0) {
        const std::string line = key + "\n";
        [[maybe_unused]] const ssize_t written = ::write(fd_, line.data(), line.size());
    }
    return true;
}

void TwInstanceLock::Release() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}
