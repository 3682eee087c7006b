#include "command_help.h"

#include <algorithm>
#include <cctype>
#include <span>
#include <utility>

namespace tavelo::help {

namespace {

constexpr size_t kLineWidth = 78;
// The furthest right that the summaries of a list of entries start.
constexpr size_t kSummaryColumn = 32;

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  while (!text.empty()) {
    size_t end = text.find(separator);
    std::string_view part = text.substr(0, end);
    if (!part.empty()) parts.push_back(part);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return parts;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  for (std::string_view line : Split(text, '\n')) {
    for (std::string_view word : Split(line, ' ')) words.push_back(word);
  }
  return words;
}

// Paragraphs are separated by blank lines; a single line break is a space.
std::vector<std::string_view> Paragraphs(std::string_view text) {
  std::vector<std::string_view> paragraphs;
  while (!text.empty()) {
    size_t end = text.find("\n\n");
    std::string_view paragraph = text.substr(0, end);
    if (!Words(paragraph).empty()) paragraphs.push_back(paragraph);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 2);
  }
  return paragraphs;
}

// Fills the words of `text` into lines of at most kLineWidth columns, the
// first continuing `out` (already `column` wide), the rest starting at `indent`.
void Fill(std::string& out, size_t column, std::string_view text, size_t indent) {
  bool lineStart = true;
  for (std::string_view word : Words(text)) {
    if (!lineStart && column + 1 + word.size() > kLineWidth) {
      out += '\n';
      out.append(indent, ' ');
      column = indent;
      lineStart = true;
    }
    if (!lineStart) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    lineStart = false;
  }
  out += '\n';
}

std::string Joined(std::string_view a, std::string_view b) {
  std::string joined(a);
  if (!a.empty() && !b.empty()) joined += ' ';
  joined += b;
  return joined;
}

// "  head  summary" rows, the summaries in one column: two spaces after the
// longest head, but no further right than kSummaryColumn; a longer head has
// its summary on the next line.
void AppendList(std::string& out, const std::vector<std::pair<std::string, std::string_view>>& rows) {
  size_t column = 0;
  for (const auto& [head, summary] : rows) {
    if (2 + head.size() + 2 <= kSummaryColumn) column = std::max(column, 2 + head.size() + 2);
  }
  for (const auto& [head, summary] : rows) {
    std::string row = "  " + head;
    if (row.size() + 2 > column) {
      out += row + '\n';
      row.clear();
    }
    row.resize(column, ' ');
    out += row;
    Fill(out, column, summary, column);
  }
}

// The rows of a list for the usages of `entries`.
std::vector<std::pair<std::string, std::string_view>> UsageRows(std::span<const Entry> entries) {
  std::vector<std::pair<std::string, std::string_view>> rows;
  for (const Entry& entry : entries) {
    for (const Usage& usage : entry.usages) rows.emplace_back(Joined(entry.name, usage.arguments), usage.summary);
  }
  return rows;
}

void AppendParagraphs(std::string& out, std::string_view text) {
  for (std::string_view paragraph : Paragraphs(text)) {
    out += '\n';
    Fill(out, 0, paragraph, 0);
  }
}

// Text as man(7) source: backslashes and hyphens escaped, and a leading
// control character defused.
std::string Roff(std::string_view text) {
  std::string out;
  if (text.starts_with('.') || text.starts_with('\'')) out = "\\&";
  for (char c : text) {
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else if (c == '\n') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

bool IsPlaceholder(std::string_view word) {
  return std::any_of(word.begin(), word.end(), [](char c) { return std::isupper(static_cast<unsigned char>(c)); }) &&
         std::none_of(word.begin(), word.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)); });
}

// Argument words for a manual page: placeholders in italics, words typed as
// they stand in bold, brackets plain.
std::string RoffArguments(std::string_view arguments) {
  std::string out;
  for (std::string_view word : Words(arguments)) {
    if (!out.empty()) out += ' ';
    while (word.starts_with('[')) {
      word.remove_prefix(1);
      out += '[';
    }
    size_t closing = 0;
    while (word.ends_with(']')) {
      word.remove_suffix(1);
      ++closing;
    }
    out += (IsPlaceholder(word) ? "\\fI" : "\\fB") + Roff(word) + "\\fR";
    out.append(closing, ']');
  }
  return out;
}

// Paragraphs of a manual page section.
std::string RoffParagraphs(std::string_view text) {
  std::string out;
  for (std::string_view paragraph : Paragraphs(text)) {
    if (!out.empty()) out += ".PP\n";
    out += Roff(paragraph) + '\n';
  }
  return out;
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

std::string_view EntriesTitle(const ProgramHelp& program) {
  return program.kind == EntryKind::kCommands ? "Commands" : "Options";
}

}  // namespace

bool AsksForHelp(std::string_view argument) { return argument == "--help" || argument == "-h"; }

const Entry* FindEntry(const ProgramHelp& program, std::string_view name) {
  for (const Entry& entry : program.entries) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

ArgumentCount CountArguments(const Entry& entry) {
  ArgumentCount count{SIZE_MAX, 0};
  for (const Usage& usage : entry.usages) {
    size_t required = 0, all = 0;
    int depth = 0;
    for (std::string_view word : Words(usage.arguments)) {
      if (depth == 0 && !word.starts_with('[')) ++required;
      ++all;
      depth += static_cast<int>(std::count(word.begin(), word.end(), '['));
      depth -= static_cast<int>(std::count(word.begin(), word.end(), ']'));
    }
    count.least = std::min(count.least, required);
    count.most = std::max(count.most, all);
  }
  if (entry.usages.empty()) count.least = 0;
  return count;
}

std::string ProgramUsage(const ProgramHelp& program) {
  std::string out = "usage: " + Joined(program.name, program.synopsis) + '\n';
  AppendParagraphs(out, program.description);
  out += '\n' + std::string(EntriesTitle(program)) + ":\n";
  AppendList(out, UsageRows(program.entries));
  if (program.kind == EntryKind::kCommands) {
    out += "\n\"" + std::string(program.name) + " COMMAND --help\" tells more about one command.\n";
  }
  return out;
}

std::string EntryUsageLines(const ProgramHelp& program, const Entry& entry) {
  std::string out;
  for (const Usage& usage : entry.usages) {
    out += out.empty() ? "usage: " : "       ";
    out += Joined(Joined(program.name, entry.name), usage.arguments) + '\n';
  }
  return out;
}

std::string EntryUsage(const ProgramHelp& program, const Entry& entry) {
  std::string out = EntryUsageLines(program, entry) + '\n';
  AppendList(out, UsageRows({&entry, 1}));
  AppendParagraphs(out, entry.details);
  return out;
}

std::string ManPage(const ProgramHelp& program, std::string_view version) {
  std::string out = ".TH \"" + Roff(Upper(program.name)) + "\" 1 \"\" \"Tavelo " + Roff(version) +
                    "\" \"Tavelo\"\n";
  out += ".SH NAME\n" + Roff(program.name) + " \\- " + Roff(program.purpose) + '\n';
  out += ".SH SYNOPSIS\n\\fB" + Roff(program.name) + "\\fR";
  if (!program.synopsis.empty()) out += ' ' + RoffArguments(program.synopsis);
  out += '\n';
  out += ".SH DESCRIPTION\n" + RoffParagraphs(program.description);
  if (!program.entries.empty()) out += ".SH " + Upper(EntriesTitle(program)) + '\n';
  for (const Entry& entry : program.entries) {
    for (const Usage& usage : entry.usages) {
      out += ".TP\n\\fB" + Roff(entry.name) + "\\fR";
      if (!usage.arguments.empty()) out += ' ' + RoffArguments(usage.arguments);
      out += '\n' + Roff(usage.summary) + '\n';
    }
    for (std::string_view paragraph : Paragraphs(entry.details)) out += ".IP\n" + Roff(paragraph) + '\n';
  }
  if (!Paragraphs(program.exitStatus).empty()) out += ".SH \"EXIT STATUS\"\n" + RoffParagraphs(program.exitStatus);
  if (!program.seeAlso.empty()) {
    out += ".SH \"SEE ALSO\"\n";
    for (size_t i = 0; i < program.seeAlso.size(); ++i) {
      std::string_view page = program.seeAlso[i];
      size_t section = page.find('(');
      out += ".BR " + Roff(page.substr(0, section)) + ' ' + std::string(page.substr(std::min(section, page.size())));
      out += i + 1 < program.seeAlso.size() ? " ,\n" : "\n";
    }
  }
  return out;
}

}  // namespace tavelo::help
