#include "text/encoding.h"

#include <dlfcn.h>
#include <iconv.h>
#include <opencc/opencc.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <type_traits>

namespace tavelo {

namespace {

constexpr const char* kGbk = "CP936";
constexpr const char* kBig5 = "CP950";
constexpr const char* kUtf8 = "UTF-8";
constexpr const char* kUcs4 = "UCS-4LE";
constexpr char32_t kReplacement = U'?';

class IconvHandle {
 public:
  IconvHandle(const char* to, const char* from) : handle_(iconv_open(to, from)) {
    if (handle_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~IconvHandle() { iconv_close(handle_); }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  // Runs iconv over the whole input. When a character cannot be taken,
  // `skipInput` bytes of input are dropped and `replacement` is written instead.
  std::string Convert(std::string_view input, size_t skipInput, std::string_view replacement) {
    std::string output;
    Run(input, output, [&](char*& in, size_t& inLeft, std::string& out, size_t& written) {
      if (out.size() - written < replacement.size()) out.resize(out.size() * 2);
      out.replace(written, replacement.size(), replacement);
      written += replacement.size();
      size_t skip = std::min(skipInput, inLeft);
      in += skip;
      inLeft -= skip;
      return true;
    });
    return output;
  }

  // The whole input converted, or nothing when any part of it cannot be.
  std::optional<std::string> ConvertExact(std::string_view input) {
    std::string output;
    if (!Run(input, output, [](char*&, size_t&, std::string&, size_t&) { return false; })) return std::nullopt;
    return output;
  }

 private:
  // `onBadInput` handles an invalid or truncated sequence, or one the target
  // lacks; it returns false to give up.
  template <typename OnBadInput>
  bool Run(std::string_view input, std::string& output, OnBadInput onBadInput) {
    output.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    size_t written = 0;
    iconv(handle_, nullptr, nullptr, nullptr, nullptr);
    while (inLeft > 0) {
      char* out = output.data() + written;
      size_t outLeft = output.size() - written;
      size_t result = iconv(handle_, &in, &inLeft, &out, &outLeft);
      written = output.size() - outLeft;
      if (result != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        output.resize(output.size() * 2);
        continue;
      }
      if (!onBadInput(in, inLeft, output, written)) return false;
    }
    output.resize(written);
    return true;
  }

  iconv_t handle_;
};

std::string_view ReplacementUcs4() {
  static const char32_t replacement[] = {kReplacement};
  return {reinterpret_cast<const char*>(replacement), sizeof(char32_t)};
}

// Decoding goes through UCS-4 so that a bad source byte and a character the
// target lacks are each replaced exactly once, whatever their width.
std::string Decode(const char* from, std::string_view bytes) {
  IconvHandle decoder(kUcs4, from);
  return decoder.Convert(bytes, 1, ReplacementUcs4());
}

std::string Encode(const char* to, std::string_view ucs4) {
  IconvHandle encoder(to, kUcs4);
  return encoder.Convert(ucs4, sizeof(char32_t), "?");
}

std::string Recode(const char* from, const char* to, std::string_view bytes) {
  return Encode(to, Decode(from, bytes));
}

// The OpenCC functions a conversion takes, from the library loaded on first
// use; null when it cannot be loaded.
struct OpenccFunctions {
  opencc_t (*open)(const char* configFile);
  char* (*convert)(opencc_t converter, const char* input, size_t length);
  void (*free)(char* converted);
};

const OpenccFunctions* Opencc() {
  static const OpenccFunctions* const functions = []() -> const OpenccFunctions* {
    void* library = dlopen(TAVELO_OPENCC_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return nullptr;
    static OpenccFunctions loaded;
    auto find = [&](auto& function, const char* name) {
      function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(library, name));
      return function != nullptr;
    };
    if (!find(loaded.open, "opencc_open") || !find(loaded.convert, "opencc_convert_utf8") ||
        !find(loaded.free, "opencc_convert_utf8_free")) {
      return nullptr;
    }
    return &loaded;
  }();
  return functions;
}

// OpenCC's dictionaries take a while to load, so one converter serves the process.
std::string TraditionalToSimplified(const std::string& utf8) {
  static std::mutex mutex;
  static const OpenccFunctions* const opencc = Opencc();
  static opencc_t converter = opencc ? opencc->open("t2s.json") : reinterpret_cast<opencc_t>(-1);
  std::lock_guard lock(mutex);
  if (converter == reinterpret_cast<opencc_t>(-1)) return utf8;
  std::unique_ptr<char, void (*)(char*)> simplified(opencc->convert(converter, utf8.data(), utf8.size()), opencc->free);
  if (!simplified) return utf8;
  return simplified.get();
}

}  // namespace

std::string Utf8ToGbk(std::string_view utf8) { return Recode(kUtf8, kGbk, utf8); }

std::string GbkToUtf8(std::string_view gbk) { return Recode(kGbk, kUtf8, gbk); }

std::string Big5ToGbk(std::string_view big5) {
  std::string utf8 = Recode(kBig5, kUtf8, big5);
  return Utf8ToGbk(TraditionalToSimplified(utf8));
}

std::string Utf8ToBig5(std::string_view utf8) { return Recode(kUtf8, kBig5, utf8); }

std::string GbkToCodeset(std::string_view gbk, const std::string& codeset) {
  return Recode(kGbk, codeset.c_str(), gbk);
}

std::optional<std::string> Utf8ToGbkExact(std::string_view utf8) {
  IconvHandle converter(kGbk, kUtf8);
  return converter.ConvertExact(utf8);
}

std::optional<std::string> GbkToUtf8Exact(std::string_view gbk) {
  IconvHandle converter(kUtf8, kGbk);
  return converter.ConvertExact(gbk);
}

std::string Gbk(std::string_view utf8Literal) { return Utf8ToGbk(utf8Literal); }

}  // namespace tavelo
