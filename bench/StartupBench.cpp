// Start-up: the real program from process entry to its first playable menu frame, and the
// share of it that goes into making the pictures.
#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "LiveGame.h"
#include "data/TwResourceManager.h"
#include "gfx/TwRenderDevice.h"
#include "platform/picture/TwPicture.h"

extern char** environ;

namespace {

// Starts the game binary of the build tree with the start-up trace on; returns its process id
// and the reading end of its standard error, or -1.
pid_t SpawnGame(int& errorPipe) {
    int fds[2];
    if (::pipe(fds) != 0) {
        return -1;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // The game looks for its packs in the current directory first, as when started there.
    posix_spawn_file_actions_addchdir_np(&actions, ZV_BINARY_DIR);
    const std::string game = std::string(ZV_BINARY_DIR) + "/zorbit-volley";
    char* argv[] = {const_cast<char*>(game.c_str()), nullptr};
    pid_t pid = -1;
    if (posix_spawn(&pid, game.c_str(), &actions, nullptr, argv, environ) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    errorPipe = fds[0];
    if (pid < 0) {
        ::close(fds[0]);
    }
    return pid;
}

// Reads the game's standard error until it reports its first frame. False if it ended first.
bool WaitForFirstFrame(int errorPipe) {
    std::string seen;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::read(errorPipe, buffer, sizeof buffer);
        if (n <= 0) {
            return false;
        }
        seen.append(buffer, static_cast<std::size_t>(n));
        if (seen.find("first frame shown") != std::string::npos) {
            return true;
        }
    }
}

void BM_StartToFirstMenuFrame(benchmark::State& state) {
    zvbench::PlayerFolder();
    ::setenv("ZV_TRACE_STARTUP", "1", 1);
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        int errorPipe = -1;
        const pid_t pid = SpawnGame(errorPipe);
        if (pid < 0) {
            state.SkipWithError("cannot start the game binary");
            break;
        }
        const bool shown = WaitForFirstFrame(errorPipe);
        const auto end = std::chrono::steady_clock::now();
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ::close(errorPipe);
        if (!shown) {
            state.SkipWithError("the game ended without showing a frame");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    ::unsetenv("ZV_TRACE_STARTUP");
}
BENCHMARK(BM_StartToFirstMenuFrame)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// Every picture file of the packs.
std::vector<std::string> PackPictureNames() {
    std::vector<std::string> names;
    for (const auto& item : TwResourceManager::Instance().Entries()) {
        const std::string& name = item.name;
        if (name.rfind("Data/Textures/", 0) == 0 || name.rfind("Data\\Textures\\", 0) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

// Making a texture of every picture in the packs, from pictures already decoded.
void BM_CreateEveryPackTexture(benchmark::State& state) {
    zvbench::PlayerFolder();
    TwRenderDevice& device = TwRenderDevice::Instance();
    if (!zvbench::OpenBuiltPacks() || !device.CreateHeadless()) {
        state.SkipWithError("no packs or no renderer");
        return;
    }
    std::vector<TwPicture> pictures;
    std::int64_t bytes = 0;
    for (const std::string& name : PackPictureNames()) {
        std::string file;
        TwPicture picture;
        if (TwResourceManager::Instance().GetResource(name, file) > 0 &&
            TwDecodePicture(file, picture)) {
            bytes += static_cast<std::int64_t>(picture.rgba.size());
            pictures.push_back(std::move(picture));
        }
    }
    std::vector<TwTexture*> textures(pictures.size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            textures[i] = device.CreateTexture(pictures[i].width, pictures[i].height,
                                               pictures[i].rgba.data());
        }
        state.PauseTiming();
        for (TwTexture* texture : textures) {
            device.DestroyTexture(texture);
        }
        state.ResumeTiming();
    }
    state.counters["pictures"] = static_cast<double>(pictures.size());
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_CreateEveryPackTexture)->Unit(benchmark::kMillisecond);

// The whole way from pack to texture for every picture: read, decode, upload.
void BM_LoadEveryPackPicture(benchmark::State& state) {
    zvbench::PlayerFolder();
    TwRenderDevice& device = TwRenderDevice::Instance();
    if (!zvbench::OpenBuiltPacks() || !device.CreateHeadless()) {
        state.SkipWithError("no packs or no renderer");
        return;
    }
    const std::vector<std::string> names = PackPictureNames();
    for (auto _ : state) {
        for (const std::string& name : names) {
            std::string file;
            TwPicture picture;
            if (TwResourceManager::Instance().GetResource(name, file) > 0 &&
                TwDecodePicture(file, picture)) {
                device.DestroyTexture(
                    device.CreateTexture(picture.width, picture.height, picture.rgba.data()));
            }
        }
    }
    state.counters["pictures"] = static_cast<double>(names.size());
}
BENCHMARK(BM_LoadEveryPackPicture)->Unit(benchmark::kMillisecond);

} // namespace
