#include "base/file_digest.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/opensslv.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <type_traits>
#include <vector>

#include "base/file_handle.h"
#include "text/text_buffer.h"

namespace tavelo {

namespace {

// The libcrypto functions a digest takes. The library is loaded when the
// first digest is taken, not when a program starts: the command-line tool
// runs most of its commands in less time than loading libcrypto takes. In a
// program that has it loaded already, loading finds that copy.
struct Md5Functions {
  EVP_MD_CTX* (*newContext)();
  void (*freeContext)(EVP_MD_CTX*);
  const EVP_MD* (*md5)();
  int (*init)(EVP_MD_CTX*, const EVP_MD*, ENGINE*);
  int (*update)(EVP_MD_CTX*, const void*, size_t);
  int (*final)(EVP_MD_CTX*, unsigned char*, unsigned int*);
};

// The functions, or null when libcrypto cannot be loaded.
const Md5Functions* Md5() {
  static const Md5Functions* const functions = []() -> const Md5Functions* {
    // The library the headers belong to, by the name of its ABI.
    static_assert(OPENSSL_VERSION_MAJOR == 3, "the library name below is that of OpenSSL 3");
    void* library = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    static Md5Functions loaded;
    auto find = [&](auto& function, const char* name) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
      return function != nullptr;
    };
    if (!find(loaded.newContext, "EVP_MD_CTX_new") || !find(loaded.freeContext, "EVP_MD_CTX_free") ||
        !find(loaded.md5, "EVP_md5") || !find(loaded.init, "EVP_DigestInit_ex") ||
        !find(loaded.update, "EVP_DigestUpdate") || !find(loaded.final, "EVP_DigestFinal_ex")) {
      return nullptr;
    }
    return &loaded;
  }();
  return functions;
}

struct ContextDeleter {
  void operator()(EVP_MD_CTX* context) const { Md5()->freeContext(context); }
};
using DigestContext = std::unique_ptr<EVP_MD_CTX, ContextDeleter>;

// A context ready for MD5 input; null when OpenSSL cannot make one.
DigestContext NewMd5Context() {
  const Md5Functions* md5 = Md5();
  if (md5 == nullptr) return nullptr;
  DigestContext context(md5->newContext());
  if (context && md5->init(context.get(), md5->md5(), nullptr) != 1) context.reset();
  return context;
}

bool AppendFinalHex(EVP_MD_CTX* context, std::string& out) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (Md5()->final(context, digest, &length) != 1) return false;
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
    Md5()->update(context.get(), chunk.data(), static_cast<size_t>(got));
  }
  return AppendFinalHex(context.get(), out) ? 0 : -1;
}

std::string DigestHex(std::string_view bytes) {
  std::string out;
  DigestContext context = NewMd5Context();
  // Without a context (OpenSSL out of memory) there is nothing sound to
  // return but the empty text; callers treat it as "no name".
  if (!context) return out;
  Md5()->update(context.get(), bytes.data(), bytes.size());
  AppendFinalHex(context.get(), out);
  return out;
}

}  // namespace tavelo
