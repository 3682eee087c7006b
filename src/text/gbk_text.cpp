#include "text/gbk_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavelo {

namespace {

bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

bool IsTrimSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsTrimSpace(text[begin])) ++begin;
  while (end > begin && IsTrimSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

namespace {

// Lowers the letters of eight ASCII bytes at once: a byte is a capital when
// adding (0x80 - 'A') sets its top bit and adding (0x80 - 'Z' - 1) does not.
uint64_t LowerAsciiWord(uint64_t word) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL;
  const uint64_t aboveA = word + kOnes * (0x80 - 'A');
  const uint64_t aboveZ = word + kOnes * (0x80 - 'Z' - 1);
  const uint64_t capitals = (aboveA ^ aboveZ) & (kOnes * 0x80);
  return word | (capitals >> 2);
}

}  // namespace

void LowerGbkInPlace(char* text, size_t size) {
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  size_t i = 0;
  while (i < size) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      // The trail byte may look like a letter; it is not one.
      i += IsLeadByte(c) && i + 1 < size ? 2 : 1;
      continue;
    }
    // On a character boundary, eight ASCII bytes in a row are eight
    // single-byte characters: lower them at once.
    uint64_t word;
    if (i + sizeof word <= size) {
      std::memcpy(&word, text + i, sizeof word);
      if ((word & kHighBits) == 0) {
        word = LowerAsciiWord(word);
        std::memcpy(text + i, &word, sizeof word);
        i += sizeof word;
        continue;
      }
    }
    text[i] = LowerAscii(static_cast<char>(c));
    ++i;
  }
}

void LowerGbkInPlace(std::string& text) { LowerGbkInPlace(text.data(), text.size()); }

std::string LowerGbk(std::string_view text) {
  std::string lowered(text);
  LowerGbkInPlace(lowered);
  return lowered;
}

bool EqualsIgnoreCaseGbk(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (LowerAscii(a[i]) != LowerAscii(b[i])) {
      return false;
    }
  }
  return true;
}

size_t FindGbk(std::string_view text, std::string_view part, size_t from) {
  if (part.empty()) return std::string_view::npos;
  for (size_t i = from; i < text.size();) {
    if (text.substr(i, part.size()) == part) return i;
    i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  return std::string_view::npos;
}

size_t FindBytes(std::string_view text, std::string_view part, size_t from) {
#if defined(__SSE2__)
  constexpr size_t kLanes = 16;
  const size_t last = part.size() - 1;
  if (part.size() >= 2) {
    const __m128i first = _mm_set1_epi8(part.front());
    const __m128i final = _mm_set1_epi8(part.back());
    for (; from + last + kLanes <= text.size(); from += kLanes) {
      const char* at = text.data() + from;
      __m128i starts = _mm_cmpeq_epi8(first, _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
      __m128i ends = _mm_cmpeq_epi8(final, _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + last)));
      for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(starts, ends))); mask != 0;
           mask &= mask - 1) {
        const size_t lane = static_cast<size_t>(__builtin_ctz(mask));
        if (std::memcmp(at + lane + 1, part.data() + 1, last - 1) == 0) return from + lane;
      }
    }
  }
#endif
  return text.find(part, from);
}

size_t FindBytesFollowedBy(std::string_view text, std::string_view part, std::string_view next, size_t from) {
  if (next.empty()) return std::string_view::npos;
#if defined(__SSE2__)
  constexpr size_t kLanes = 16;
  const size_t last = part.size() - 1;
  if (part.size() >= 2 && next.size() <= 4) {
    const __m128i first = _mm_set1_epi8(part.front());
    const __m128i final = _mm_set1_epi8(part.back());
    __m128i followers[4];
    for (size_t i = 0; i < 4; ++i) followers[i] = _mm_set1_epi8(next[std::min(i, next.size() - 1)]);
    for (; from + part.size() + kLanes <= text.size(); from += kLanes) {
      const char* at = text.data() + from;
      const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + part.size()));
      const __m128i followed = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(after, followers[0]), _mm_cmpeq_epi8(after, followers[1])),
                                            _mm_or_si128(_mm_cmpeq_epi8(after, followers[2]), _mm_cmpeq_epi8(after, followers[3])));
      const __m128i starts = _mm_cmpeq_epi8(first, _mm_loadu_si128(reinterpret_cast<const __m128i*>(at)));
      const __m128i ends = _mm_cmpeq_epi8(final, _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + last)));
      for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_and_si128(starts, ends), followed)));
           mask != 0; mask &= mask - 1) {
        const size_t lane = static_cast<size_t>(__builtin_ctz(mask));
        if (std::memcmp(at + lane + 1, part.data() + 1, last - 1) == 0) return from + lane;
      }
    }
  }
#endif
  for (size_t hit = FindBytes(text, part, from); hit != std::string_view::npos; hit = FindBytes(text, part, hit + 1)) {
    if (hit + part.size() < text.size() && next.find(text[hit + part.size()]) != std::string_view::npos) return hit;
  }
  return std::string_view::npos;
}

std::string ReplaceAllGbk(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t hit = FindGbk(text, from); hit != std::string_view::npos; hit = FindGbk(text, from, start)) {
    result.append(text.substr(start, hit - start));
    result.append(to);
    start = hit + from.size();
  }
  result.append(text.substr(start));
  return result;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t hit = text.find(from); hit != std::string_view::npos; hit = text.find(from, start)) {
    result.append(text.substr(start, hit - start));
    result.append(to);
    start = hit + from.size();
  }
  result.append(text.substr(start));
  return result;
}

}  // namespace tavelo
