#pragma once
// The two field splitters used on data lines and command addresses.

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace tavelo {

// Up to 100 fields cut from one line at a one-byte separator. Fields are not
// trimmed; two separators in a row give an empty field, a trailing separator
// gives none, and fields past the hundredth are dropped.
class FieldList {
 public:
  static constexpr int kMaxFields = 100;

  int Split(std::string_view text, char separator);
  void Clear();

  int Count() const { return count_; }
  // Slots at and beyond the count read as "".
  std::string_view operator[](int index) const;

 private:
  std::array<std::string_view, kMaxFields> views_{};
  std::string storage_;
  int count_ = 0;
};

// The pieces of a text that each end at a separator; bytes after the last
// separator are dropped. With `trim`, white space is cut from both ends of
// every piece.
class TokenArray {
 public:
  int Split(std::string_view text, char separator, bool trim);

  int Count() const { return static_cast<int>(pieces_.size()); }
  const std::string& operator[](int index) const { return pieces_[static_cast<size_t>(index)]; }
  const std::vector<std::string>& Pieces() const { return pieces_; }

 private:
  std::vector<std::string> pieces_;
};

// Splits without copying: at most `maximum` views into `text`, same rules as FieldList.
int SplitFields(std::string_view text, char separator, std::string_view* fields, int maximum);

}  // namespace tavelo
