// libFuzzer target: template sections and line lists. The input's first
// line is the key, its second the end marker and the rest the template
// text, which also goes through the line reader, the field splitters and
// the keyed scrambling.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/splitters.h"
#include "text/template_file.h"
#include "text/text_buffer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tavelo;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t position = 0;
  const std::string key(NextLineAt(input, position).value_or(""));
  const std::string endMarker(NextLineAt(input, position).value_or(""));
  const std::string text(input.substr(position));

  TemplateFile file;
  file.SetText(text);
  file.GetValue(key);
  if (file.GetLines(key, endMarker).size() > TemplateFile::kMaxListLines) abort();

  TextBuffer buffer;
  buffer.SetText(text);
  buffer.FindLine(key);
  std::string line;
  while (buffer.NextContentLine(line) == 0) {
    FieldList fields;
    if (fields.Split(line, '\t') > FieldList::kMaxFields) abort();
    TokenArray tokens;
    tokens.Split(line, '|', true);
  }

  std::string scrambled = text;
  KeyedXor(scrambled, key);
  KeyedXor(scrambled, key);
  if (scrambled != text) abort();
  return 0;
}
