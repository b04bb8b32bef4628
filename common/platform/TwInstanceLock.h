#pragma once
#include <string>

// Keeps a second copy of the game from starting: an advisory lock (flock) on a file in the
// user's data directory. The lock belongs to the open file, so it dies with the process and
// a crash never blocks the next start. The file is opened close-on-exec, so programs the
// game starts do not inherit the lock.
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
    int fd_ = -1;
};
