// libFuzzer target: any bytes as the progress store, read and then changed
// as a play window changes it; the saved store must read back with the
// records kept plus the new one. The same bytes go to the reader of the
// player page's answers, which must take only sensible positions.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalogue/progress_store.h"
#include "fuzz_scratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  fuzz::SkipFlushes();
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  if (std::optional<VideoState> video = ParseVideoState(bytes)) {
    if (!std::isfinite(video->position) || video->position < 0 || video->position > video->duration) abort();
  }

  const std::string path = fuzz::WriteScratchFile("progress.dat", data, size);
  if (path.empty()) abort();
  std::optional<std::vector<EpisodeProgress>> records = LoadProgress(path);
  if (!records) abort();
  const EpisodeProgress added{"http://v/e\t1", "http://v/s", "label\r\n", 70, 2700, 1};
  size_t expected = 1;
  for (const EpisodeProgress& record : *records) expected += record.address == added.address ? 0 : 1;
  if (expected > kMaxProgressRecords) expected = kMaxProgressRecords;
  if (!SaveProgress(path, added).saved) abort();
  std::optional<std::vector<EpisodeProgress>> reloaded = LoadProgress(path);
  if (!reloaded || reloaded->size() != expected || !(reloaded->back() == added)) abort();
  fuzz::ClearScratchDir();
  return 0;
}
