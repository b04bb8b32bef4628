// twpack: builds the game's resource packs and looks inside them.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "platform/os/TwUserFiles.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "Usage:\n"
    "  twpack create <out.Twr> <root-dir>\n"
    "      Packs every regular file under <root-dir>. Entry names are the paths relative\n"
    "      to <root-dir> with '/' between folders (e.g. Data/Map.Txt), in byte order, so\n"
    "      the same tree always gives the same pack.\n"
    "  twpack create <out.Twr> --list <list-file>\n"
    "      Packs the files a list names, in the list's order. Each line holds\n"
    "      <entry-name> TAB <source-path>; empty lines are ignored; relative source\n"
    "      paths are taken from the current directory.\n"
    "  twpack list <pack>\n"
    "      Prints one line per entry: its size in bytes, a TAB, its name.\n"
    "  twpack extract <pack> <entry-name> <out-file>\n"
    "      Writes one entry's bytes to <out-file> (names ignore letter case).\n"
    "  twpack --help\n"
    "      Shows this text.\n"
    "\n"
    "The exit code is 0 on success and 1 on any error, with a message on standard error.\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "twpack: %s\n", message.c_str());
    return 1;
}

int Usage() {
    std::fputs(kUsage, stderr);
    return 1;
}

// Every regular file under root, with its name relative to root, sorted byte-wise.
bool CollectTree(const fs::path& root, const fs::path& outFile,
                 std::vector<std::pair<std::string, std::string>>& files, std::string& error) {
    std::error_code ec;
    if (!fs::is_directory(root, ec)) {
        error = "'" + root.string() + "' is not a directory";
        return false;
    }
    fs::recursive_directory_iterator it(root, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        std::error_code statError;
        if (!it->is_regular_file(statError)) {
            continue;
        }
        // A pack written into the tree it packs must not swallow itself on the next run.
        if (fs::exists(outFile, statError) && fs::equivalent(it->path(), outFile, statError)) {
            continue;
        }
        files.emplace_back(it->path().lexically_relative(root).generic_string(),
                           it->path().string());
    }
    if (ec) {
        error = "cannot walk '" + root.string() + "': " + ec.message();
        return false;
    }
    std::sort(files.begin(), files.end());
    return true;
}

bool ReadList(const std::string& listFile, std::vector<std::pair<std::string, std::string>>& files,
              std::string& error) {
    std::string text;
    if (!TwReadFile(listFile, text)) {
        error = "cannot read list '" + listFile + "'";
        return false;
    }
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            continue;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos || tab == 0 || tab + 1 == line.size()) {
            error = listFile + ":" + std::to_string(lineNumber) +
                    ": expected <entry-name> TAB <source-path>";
            return false;
        }
        files.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    return true;
}

int Create(const std::vector<std::string>& args) {
    std::vector<std::pair<std::string, std::string>> files;
    std::string error;
    const std::string& out = args[0];
    const bool fromList = args.size() == 3 && args[1] == "--list";
    if (!(fromList || args.size() == 2)) {
        return Usage();
    }
    const bool collected =
        fromList ? ReadList(args[2], files, error) : CollectTree(args[1], out, files, error);
    if (!collected) {
        return Fail(error);
    }
    TwPackWriter writer;
    for (const auto& [name, source] : files) {
        if (!writer.AddFile(name, source)) {
            return Fail(writer.Error());
        }
    }
    if (!writer.Write(out)) {
        return Fail(writer.Error());
    }
    return 0;
}

int List(const std::string& pack) {
    TwResourceManager packs;
    if (!packs.OpenPack(pack)) {
        return Fail("cannot open pack '" + pack + "'");
    }
    for (const TwResourceManager::Item& item : packs.Entries()) {
        std::printf("%u\t%s\n", static_cast<unsigned>(item.dataSize), item.name.c_str());
    }
    return std::fflush(stdout) == 0 ? 0 : Fail("cannot write the listing");
}

int Extract(const std::string& pack, const std::string& name, const std::string& out) {
    TwResourceManager packs;
    if (!packs.OpenPack(pack)) {
        return Fail("cannot open pack '" + pack + "'");
    }
    std::string bytes;
    const int size = packs.GetResource(name, bytes);
    if (size < 0) {
        return Fail("no entry '" + name + "' in '" + pack + "'");
    }
    if (!TwWriteFileAtomic(out, bytes)) {
        return Fail("cannot write '" + out + "'");
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        return Usage();
    }
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "create" && rest.size() >= 2) {
        return Create(rest);
    }
    if (command == "list" && rest.size() == 1) {
        return List(rest[0]);
    }
    if (command == "extract" && rest.size() == 3) {
        return Extract(rest[0], rest[1], rest[2]);
    }
    return Usage();
}
