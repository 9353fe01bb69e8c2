// The file window opened on a directory of 100,000 files with the filter *.txt, and on one of
// 100,000 subdirectories (the drive, directory and file lists filled and the window shown),
// against a bare readdir + fnmatch loop over the same directory in the same run.
#include "filedialog/frmFileInOut.h"
#include "toolkit/FileSystemLists.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <dirent.h>
#include <fnmatch.h>

namespace {

enum class Entries { Files, Directories };

// Half the files end in .txt; made once and kept in the build folder.
std::string benchDirectory(int count, Entries entries)
{
    const std::string kind = entries == Entries::Files ? "/files-" : "/folders-";
    const std::string path = std::string(VELMARITH_BENCH_DATA_DIR) + kind + std::to_string(count);
    const std::string done = path + ".done";
    if (!std::filesystem::exists(done)) {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        for (int i = 0; i < count; ++i) {
            if (entries == Entries::Directories) {
                std::filesystem::create_directory(path + "/目录" + std::to_string(i));
                continue;
            }
            const char *extension = i % 2 == 0 ? ".txt" : ".dat";
            std::ofstream(path + "/报表" + std::to_string(i) + extension);
        }
        std::ofstream{done};
    }
    return path;
}

int bareLoop(const std::string &path)
{
    struct Closer {
        void operator()(DIR *directory) const { closedir(directory); }
    };
    const std::unique_ptr<DIR, Closer> directory(opendir(path.c_str()));
    int matched = 0;
    while (const dirent *entry = readdir(directory.get())) {
        if (entry->d_type == DT_DIR || (entry->d_type == DT_REG && fnmatch("*.txt", entry->d_name, FNM_CASEFOLD) == 0))
            ++matched;
    }
    return matched;
}

void BM_FileWindowAgainstBareLoop(benchmark::State &state, Entries entries)
{
    const std::string path = benchDirectory(int(state.range(0)), entries);
    using Clock = std::chrono::steady_clock;
    Clock::duration bare{};
    Clock::duration window{};
    int listed = 0;
    for (auto _ : state) {
        const auto bareStart = Clock::now();
        benchmark::DoNotOptimize(bareLoop(path));
        bare += Clock::now() - bareStart;

        const auto windowStart = Clock::now();
        velmarith::frmFileInOut form;
        form.FilePattern = QStringLiteral("Load");
        form.FilePlace = QStringLiteral("File");
        form.FilePath = QString::fromStdString(path);
        form.FileFileName = QStringLiteral("*.txt");
        form.ensureLoaded();
        form.window()->show();
        QApplication::processEvents();
        const Clock::duration elapsed = Clock::now() - windowStart;
        window += elapsed;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
        listed = form.controlAs<velmarith::toolkit::FileList>(QStringLiteral("fle文件")).ListCount() +
                 int(form.controlAs<velmarith::toolkit::DirList>(QStringLiteral("dir目录")).entries().size());
        form.window()->hide();
    }
    const double iterations = double(state.iterations());
    state.counters["bare_ms"] = std::chrono::duration<double, std::milli>(bare).count() / iterations;
    state.counters["ratio"] = double(window.count()) / double(bare.count());
    state.counters["listed"] = listed;
}

} // namespace

BENCHMARK_CAPTURE(BM_FileWindowAgainstBareLoop, files, Entries::Files)
    ->Arg(100000)
    ->ArgName("entries")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
BENCHMARK_CAPTURE(BM_FileWindowAgainstBareLoop, directories, Entries::Directories)
    ->Arg(100000)
    ->ArgName("entries")
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10);
