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

namespace {

using DigestContext = std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX*)>;

// A context ready for MD5 input; null when OpenSSL cannot make one.
DigestContext NewMd5Context() {
  DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (context && EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) context.reset();
  return context;
}

bool AppendFinalHex(EVP_MD_CTX* context, std::string& out) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context, digest, &length) != 1) return false;
  static constexpr char kHex[] = "0123456789abcdef";
  for (unsigned int i = 0; i < length; ++i) {
    out.push_back(kHex[digest[i] >> 4]);
    out.push_back(kHex[digest[i] & 0x0F]);
  }
  return true;
}

}  // namespace

int DigestFileHex(const std::string& path, std::string& out) {
  FileHandle file(OpenRegularFile(path));
  if (!file.Valid()) return -1;
  DigestContext context = NewMd5Context();
  if (!context) return -1;

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
  return AppendFinalHex(context.get(), out) ? 0 : -1;
}

std::string DigestHex(std::string_view bytes) {
  std::string out;
  DigestContext context = NewMd5Context();
  // Without a context (OpenSSL out of memory) there is nothing sound to
  // return but the empty text; callers treat it as "no name".
  if (!context) return out;
  EVP_DigestUpdate(context.get(), bytes.data(), bytes.size());
  AppendFinalHex(context.get(), out);
  return out;
}

}  // namespace tavelo
