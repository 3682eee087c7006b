#pragma once
// A whole text file in memory with a read position and a line reader. Every
// template and line-oriented data file of the program is read through it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavelo {

// The data-file scrambling: byte i is XORed with key byte (i mod key length).
// Its own inverse; an empty key leaves the bytes unchanged.
void KeyedXor(std::string& bytes, std::string_view key);

// Opens a regular file for reading. -1 for anything else, with errno EISDIR
// for a folder and EINVAL for devices, FIFOs and sockets, whose reads could
// block or never end.
int OpenRegularFile(const std::string& path);

// Reads every byte of a regular file, zero bytes included. False when it
// cannot be opened or read, bytes then empty and errno saying why (ENOENT
// for a missing file, EFBIG for one longer than `limit`, which is read no
// further than that).
bool ReadWholeFile(const std::string& path, std::string& bytes, size_t limit = SIZE_MAX);

// The line reader on its own: the trimmed line that starts at `position`, which
// then moves past the run of CR and LF bytes ending it. Nothing at the end.
std::optional<std::string_view> NextLineAt(std::string_view text, size_t& position);

class TextBuffer {
 public:
  // Reads the whole file, descrambles it with `key` when the key is not empty,
  // and keeps the text up to its first zero byte. 0 on success, 1 when the
  // file cannot be read (the text is then empty and errno says why).
  int LoadFile(const std::string& path, std::string_view key = {});
  void SetText(std::string text);
  void Rewind() { position_ = 0; }

  // 0 with the next trimmed line in `out`; 1 at the end of the text.
  // Runs of CR and LF separate lines, so only a text that starts with a line
  // break yields an empty line from a line break.
  int NextLine(std::string& out);
  std::optional<std::string_view> NextLineView() { return NextLineAt(text_, position_); }
  // Searches onward for a line equal to `key` (letter case ignored); 0 when
  // found, the position then standing after it.
  int FindLine(std::string_view key);
  // Like NextLine, skipping lines that start with "//".
  int NextContentLine(std::string& out);
  // 1 plus the number of LF bytes.
  int CountLines() const;

  const std::string& Text() const { return text_; }
  std::string TakeText();
  size_t Position() const { return position_; }

 private:
  std::string text_;
  size_t position_ = 0;
};

}  // namespace tavelo
