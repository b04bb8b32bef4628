#include "TestSupport.h"
#include "data/TwResourceManager.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

struct RunResult {
    int exitCode = -1;
    std::string output; // standard output only
};

std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (const char c : arg) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

RunResult Twpack(const std::vector<std::string>& args) {
    std::string command = Quote(zvtest::BinaryDir() + "/twpack");
    for (const std::string& arg : args) {
        command += " " + Quote(arg);
    }
    command += " 2>/dev/null";
    RunResult result;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return result;
    }
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) {
        result.output.append(buf, n);
    }
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string Bytes(std::size_t size, int seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 31 + static_cast<std::size_t>(seed)) & 0xFF);
    }
    return bytes;
}

} // namespace

TEST(TwpackTool, PacksATreeListsAndExtractsIdenticalBytes) {
    zvtest::TempDir tmp;
    const std::string root = tmp.File("tree");
    const std::map<std::string, std::string> files{
        {"Data/Map.Txt", "xMax = 8\n"},
        {"Data/Textures/Bubbles/0.Tga", Bytes(5000, 1)},
        {"Data/Sounds/Pop.Wav", Bytes(2048, 2)},
        {"Data/Empty.Txt", ""},
        {"Data/B.Txt", "b"},
    };
    for (const auto& [name, bytes] : files) {
        zvtest::WriteAll(root + "/" + name, bytes);
    }
    ASSERT_EQ(Twpack({"create", tmp.File("out.Twr"), root}).exitCode, 0);

    // The listing is "size TAB name" per entry.
    const RunResult list = Twpack({"list", tmp.File("out.Twr")});
    ASSERT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.output, "1\tData/B.Txt\n0\tData/Empty.Txt\n9\tData/Map.Txt\n"
                           "2048\tData/Sounds/Pop.Wav\n5000\tData/Textures/Bubbles/0.Tga\n");

    for (const auto& [name, bytes] : files) {
        const std::string out = tmp.File("extracted");
        ASSERT_EQ(Twpack({"extract", tmp.File("out.Twr"), name, out}).exitCode, 0) << name;
        EXPECT_EQ(zvtest::ReadAll(out), bytes) << name;
    }

    // The same tree gives the same bytes, and a list in byte order gives the same pack too.
    ASSERT_EQ(Twpack({"create", tmp.File("again.Twr"), root}).exitCode, 0);
    EXPECT_EQ(zvtest::ReadAll(tmp.File("out.Twr")), zvtest::ReadAll(tmp.File("again.Twr")));
    std::string listFile;
    for (const auto& [name, bytes] : files) {
        listFile += name + "\t" + root + "/" + name + "\n";
    }
    zvtest::WriteAll(tmp.File("list.txt"), listFile + "\n");
    ASSERT_EQ(Twpack({"create", tmp.File("listed.Twr"), "--list", tmp.File("list.txt")}).exitCode,
              0);
    EXPECT_EQ(zvtest::ReadAll(tmp.File("out.Twr")), zvtest::ReadAll(tmp.File("listed.Twr")));
}

TEST(TwpackTool, ReportsErrorsWithAFailingExitCode) {
    zvtest::TempDir tmp;
    EXPECT_EQ(Twpack({"--help"}).exitCode, 0);
    EXPECT_NE(Twpack({"--help"}).output.find("twpack create"), std::string::npos);
    EXPECT_NE(Twpack({}).exitCode, 0);
    EXPECT_NE(Twpack({"frobnicate"}).exitCode, 0);
    EXPECT_NE(Twpack({"list", tmp.File("missing.Twr")}).exitCode, 0);
    EXPECT_NE(Twpack({"create", tmp.File("o.Twr"), tmp.File("no-such-dir")}).exitCode, 0);

    zvtest::WriteAll(tmp.File("bad-list.txt"), "Data/A.Txt without a tab\n");
    EXPECT_NE(Twpack({"create", tmp.File("o.Twr"), "--list", tmp.File("bad-list.txt")}).exitCode,
              0);
    zvtest::WriteAll(tmp.File("missing-source.txt"), "Data/A.Txt\t" + tmp.File("nothing") + "\n");
    EXPECT_NE(
        Twpack({"create", tmp.File("o.Twr"), "--list", tmp.File("missing-source.txt")}).exitCode,
        0);
    zvtest::WriteAll(tmp.File("clash.txt"), "Data/A.Txt\t" + tmp.File("clash.txt") +
                                                "\ndata/a.txt\t" + tmp.File("clash.txt") + "\n");
    EXPECT_NE(Twpack({"create", tmp.File("o.Twr"), "--list", tmp.File("clash.txt")}).exitCode, 0);
    EXPECT_FALSE(zvtest::ReadAll(tmp.File("o.Twr")).size() > 0); // nothing half-written

    zvtest::WriteAll(tmp.File("tree/Data/A.Txt"), "a");
    ASSERT_EQ(Twpack({"create", tmp.File("o.Twr"), tmp.File("tree")}).exitCode, 0);
    EXPECT_NE(Twpack({"extract", tmp.File("o.Twr"), "Data/Nope.Txt", tmp.File("x")}).exitCode, 0);
}
