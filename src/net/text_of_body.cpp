// Apart from the downloader, so that a program scraping saved pages links
// without libcurl.

#include <algorithm>
#include <cstring>

#include "net/http_downloader.h"

namespace tavelo {

std::string TextOfBody(std::string body) {
  // Blocks move down in place over the bytes their predecessors dropped.
  size_t kept = 0;
  for (size_t block = 0; block < body.size(); block += HttpDownloader::kTextChunk) {
    size_t length = strnlen(body.data() + block, std::min(HttpDownloader::kTextChunk, body.size() - block));
    if (kept != block) std::memmove(body.data() + kept, body.data() + block, length);
    kept += length;
  }
  body.resize(kept);
  return body;
}

}  // namespace tavelo
