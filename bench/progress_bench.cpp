// What following playback costs at 2,000 records, in a folder on the same
// disk as the build. The main loop reads the store when an episode starts
// and hands each reading to the saver; the save itself (read, change,
// replace under the lock, flushed to disk) runs on the saver's thread.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "base/atomic_write.h"
#include "catalogue/progress_store.h"
#include "playback/progress_tracker.h"

namespace tavelo {
namespace {

constexpr int kRecords = 2000;

std::string ShowAddress(int i) { return "http://127.0.0.2:8790/v_show/id_v" + std::to_string(i) + ".html"; }

// A store of kRecords records in a scratch folder that goes with it.
class ScratchStore {
 public:
  ScratchStore() : folder_((std::filesystem::current_path() / "progress-bench-XXXXXX").string()) {
    if (mkdtemp(folder_.data()) == nullptr) return;
    path_ = folder_ + "/progress.dat";
    for (int i = 0; i < kRecords; ++i) {
      records_.push_back({ShowAddress(i) + "e01", ShowAddress(i), "\xb5\xda" "1\xbc\xaf", 600, 2700, 1700000000});
    }
    AtomicWriteFile(path_, ProgressText(records_));
  }
  ~ScratchStore() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& Path() const { return path_; }
  const EpisodeProgress& Middle() const { return records_[kRecords / 2]; }

 private:
  std::string folder_;
  std::string path_;
  std::vector<EpisodeProgress> records_;
};

// On the main loop, once per episode: the store read for its resume position.
void BM_ProgressRead(benchmark::State& state) {
  ScratchStore store;
  for (auto _ : state) {
    std::optional<std::vector<EpisodeProgress>> records = LoadProgress(store.Path());
    benchmark::DoNotOptimize(ResumePosition(FindProgress(*records, store.Middle().address)));
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_ProgressRead)->Unit(benchmark::kMillisecond);

// On the main loop, every tick: the page's answer read and handed to the saver.
void BM_ProgressTick(benchmark::State& state) {
  ScratchStore store;
  EpisodeProgress record = store.Middle();
  // Its thread drains what waits after the timing; a few dozen saves, as
  // the iterations are bounded.
  ProgressSaver saver(store.Path());
  for (auto _ : state) {
    std::optional<VideoState> video = ParseVideoState("754.25\n2700\n0\n0\nhttp://127.0.0.2:8790/player/clip.webm");
    record.position = static_cast<int>(video->position);
    saver.Save(record, [](const ProgressEdit&) {});
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_ProgressTick)->Unit(benchmark::kMillisecond)->Iterations(50);

// On the saver's thread, every tick: the save, flushed to disk.
void BM_ProgressSave(benchmark::State& state) {
  ScratchStore store;
  EpisodeProgress record = store.Middle();
  for (auto _ : state) {
    record.position = (record.position + 1) % 2000;
    benchmark::DoNotOptimize(SaveProgress(store.Path(), record));
  }
  state.counters["records"] = kRecords;
}
BENCHMARK(BM_ProgressSave)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavelo

BENCHMARK_MAIN();
