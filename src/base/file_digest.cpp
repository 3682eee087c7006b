#include "base/file_digest.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "base/file_handle.h"
#include "text/text_buffer.h"

namespace tavelo {

int DigestFileHex(const std::string& path, std::string& out) {
  FileHandle file(OpenRegularFile(path));
  if (!file.Valid()) return -1;
  std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return -1;

  posix_fadvise(file.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  std::vector<unsigned char> chunk(1 << 17);
  for (;;) {
    ssize_t got = read(file.Get(), chunk.data(), chunk.size());
    if (got < 0 && errno == EINTR) continue;
    // A digest of part of the file would pass for the digest of another file.
    if (got < 0) return -1;
    if (got == 0) break;
    EVP_DigestUpdate(context.get(), chunk.data(), static_cast<size_t>(got));
  }
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return -1;

  static constexpr char kHex[] = "0123456789abcdef";
  for (unsigned int i = 0; i < length; ++i) {
    out.push_back(kHex[digest[i] >> 4]);
    out.push_back(kHex[digest[i] & 0x0F]);
  }
  return 0;
}

}  // namespace tavelo
