#include "platform/os/TwInstanceLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/os/TwUserFiles.h"

namespace {

// A name that is a link (symbolic or hard) is replaced at most this often before the game
// gives up the lock:
// each replacement only races with another start doing the same.
constexpr int kLinkReplacements = 3;

int OpenWithoutFollowing(const std::string& path) {
    // O_NONBLOCK: opening a FIFO or a device planted at the name must not wait; the
    // descriptor is checked before anything is written through it.
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                  0644);
}

bool IsLink(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

// The open file is still the one the name refers to (another start may have replaced a
// planted link under it meanwhile).
bool StillNamedBy(int fd, const std::string& path) {
    struct stat opened {
    }, named{};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace

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
    for (int attempt = 0; attempt <= kLinkReplacements; ++attempt) {
        const int fd = OpenWithoutFollowing(path);
        if (fd < 0) {
            if (errno == ELOOP && IsLink(path) && attempt < kLinkReplacements) {
                // A link planted at the lock's name: the link goes (never what it points
                // at) and a lock file of the game's own takes its place.
                ::unlink(path.c_str());
                continue;
            }
            // No place for the lock (read-only home, ...): better to run than to refuse.
            return true;
        }
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            // A directory, FIFO or device at the name is left as it is; the game runs
            // without the lock, as on a read-only folder.
            ::close(fd);
            return true;
        }
        switch (LockOpenFile(fd, path)) {
        case Outcome::Locked:
            if (info.st_nlink > 1) {
                // A second name of some other file (a hard link): only this name goes,
                // and a lock file of the game's own takes its place.
                const bool replace = attempt < kLinkReplacements;
                if (replace) {
                    ::unlink(path.c_str()); // while still locked: no other start takes it
                }
                Release();
                if (replace) {
                    continue;
                }
                return true;
            }
            WriteKey(key);
            return true;
        case Outcome::HeldElsewhere:
            return false;
        case Outcome::Failed:
            return true;
        case Outcome::Replaced:
            break; // the name points at another file now: lock that one
        }
    }
    return true;
}

TwInstanceLock::Outcome TwInstanceLock::LockOpenFile(int fd, const std::string& path) {
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool heldElsewhere = (errno == EWOULDBLOCK);
        ::close(fd);
        return heldElsewhere ? Outcome::HeldElsewhere : Outcome::Failed;
    }
    if (!StillNamedBy(fd, path)) {
        ::close(fd);
        return Outcome::Replaced;
    }
    fd_ = fd;
    return Outcome::Locked;
}

void TwInstanceLock::WriteKey(const std::string& key) {
    // The key names who holds the lock, for anyone looking at the file. The descriptor is a
    // regular file of the game's own (checked above), never a link's target.
    if (::ftruncate(fd_, 0) == 0) {
        const std::string line = key + "\n";
        [[maybe_unused]] const ssize_t written = ::pwrite(fd_, line.data(), line.size(), 0);
    }
}

void TwInstanceLock::Release() {
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}
