#pragma once
#include <string>

// Keeps a second copy of the game from starting: an advisory lock (flock) on a file in the
// user's data directory. The lock belongs to the open file, so it dies with the process and
// a crash never blocks the next start. The file is opened close-on-exec, so programs the
// game starts do not inherit the lock. The lock never writes through a link: a link planted
// at its name is replaced by a lock file of the game's own, and a directory, FIFO or device
// there is left alone (the game then runs without the lock).
class TwInstanceLock {
public:
    TwInstanceLock() = default;
    ~TwInstanceLock();
    TwInstanceLock(const TwInstanceLock&) = delete;
    TwInstanceLock& operator=(const TwInstanceLock&) = delete;

    // Takes the lock on TwDataDir()/zorbit-volley.lock, writing `key` (window class and
    // title) into it. False only when another process holds it; when the file cannot be
    // created at all the game is allowed to run (true).
    bool Acquire(const std::string& key);
    // Same, on an explicit file.
    bool AcquireFile(const std::string& path, const std::string& key);
    void Release();
    bool Held() const { return fd_ >= 0; }

    static std::string DefaultPath();

private:
    enum class Outcome { Locked, HeldElsewhere, Failed, Replaced };
    // Locks the open regular file `fd` (closing it unless it is kept as the lock).
    Outcome LockOpenFile(int fd, const std::string& path);
    void WriteKey(const std::string& key);

    int fd_ = -1;
};
