#include "records/TwDamagedFile.h"

#include <cstdio>
#include <ctime>
#include <sys/stat.h>

#include "data/TwLanguage.h"
#include "platform/os/TwUserFiles.h"
#include "platform/window/TwMessageBox.h"

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

} // namespace

std::string TwDamagedFile::Keep(const std::string& path) {
    std::string bytes;
    if (!TwReadFile(path, bytes)) {
        return {};
    }
    const std::string base = path + ".damaged-" + TimeStamp();
    std::string copy = base;
    for (int n = 2; Exists(copy) && n < 100; ++n) {
        copy = base + "-" + std::to_string(n);
    }
    if (Exists(copy) || !TwWriteFileAtomic(copy, bytes)) {
        return {};
    }
    return copy;
}

void TwDamagedFile::Tell(const std::string& messageKey, const std::string& copyPath) {
    TwLanguage& language = TwLanguage::Instance();
    std::string text = language.GetBoxText(messageKey);
    if (text.empty()) {
        text = "A file of yours was damaged."; // no language pack to word it
    }
    const std::string where =
        copyPath.empty() ? language.GetBoxText("DamagedFileNoCopy") : copyPath;
    TwShowErrorMessage(text + "\n\n" + where);
}

bool TwDamagedFile::KeepAndTell(const std::string& path, const std::string& messageKey) {
    const std::string copy = Keep(path);
    std::fprintf(stderr, "zorbit-volley: %s is damaged; %s\n", path.c_str(),
                 copy.empty() ? "no copy could be made" : ("kept as " + copy).c_str());
    Tell(messageKey, copy);
    return !copy.empty();
}
