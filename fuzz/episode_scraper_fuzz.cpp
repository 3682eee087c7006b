// libFuzzer target: any bytes as a fetched show page, through normalisation
// and the four layout scans, and the same bytes as a video's cached episode
// list. Nothing may crash or hang, and each list keeps its promises: every
// address once, found again by Find, and its first "?" and first "#", if
// any, at its first byte (anything later was cut).

#include <stdlib.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "fuzz_scratch.h"
#include "content/episode_cache.h"
#include "content/episode_scraper.h"
#include "text/page_normalizer.h"

namespace {

constexpr const char* kPrefix = "http://v.test/v_show/id_";
constexpr const char* kShowPage = "http://v.test/v_show/id_show.html";

// A program folder with its tavelo/ folder in the scratch folder: the cache
// file is rewritten for every input.
const tavelo::ProgramPaths& ScratchProgram() {
  static const tavelo::ProgramPaths paths = [] {
    tavelo::ProgramPaths made{tavelo::fuzz::ScratchDir()};
    if (mkdir(made.In(tavelo::kEpisodeCacheFolder).c_str(), 0755) != 0) abort();
    return made;
  }();
  return paths;
}

bool FirstAtStartOrAbsent(const std::string& text, char mark) {
  size_t at = text.find(mark);
  return at == std::string::npos || at == 0;
}

void CheckList(const tavelo::EpisodeList& list) {
  std::set<std::string> seen;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string& address = list.Rows()[static_cast<size_t>(i)].address;
    if (!seen.insert(address).second) abort();
    if (list.Find(address) != i) abort();
    if (!FirstAtStartOrAbsent(address, '?') || !FirstAtStartOrAbsent(address, '#')) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  const std::string bytes(reinterpret_cast<const char*>(data), size);

  EpisodeList scraped(kPrefix);
  ScrapeShowPage(NormalizePage(bytes), kShowPage, scraped);
  CheckList(scraped);

  const EpisodeFiles files(ScratchProgram(), kShowPage);
  FILE* cache = std::fopen(files.ListPath().c_str(), "wb");
  if (cache == nullptr) abort();
  if (size > 0 && std::fwrite(data, 1, size, cache) != size) abort();
  std::fclose(cache);
  EpisodeList restored(kPrefix);
  files.LoadList(restored);
  CheckList(restored);
  return 0;
}
