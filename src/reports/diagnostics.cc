#include "reports/diagnostics.h"

#include "reports/file_system.h"

namespace tallora {
namespace {

std::string LinesLost(std::size_t lines) {
  if (lines == 0) {
    return {};
  }
  return ", " + std::to_string(lines) + (lines == 1 ? " line" : " lines") +
         " lost";
}

// What a warning says.
std::string_view WarningText(Warning kind) {
  switch (kind) {
    case Warning::kSkippedOutsideBlock:
      return "non-blank lines outside any block were skipped";
    case Warning::kLineTooLong:
      return "lines longer than their read limit were split, their rest read "
             "as the next line (in a header or segment, every later line of "
             "the block shifts)";
    case Warning::kNotAdminLine:
      return "admin lines not of the form \"Admin N\": the block's events "
             "were not read as events";
    case Warning::kMarkerReadAsEvent:
      return "event lines that are block markers were read as events (an "
             "admin count larger than the events that follow)";
    case Warning::kEndsInsideBlock:
      return "the export ends inside a block, written as read so far";
    case Warning::kLocationNotParsed:
      return "location events not of the form \"Location A -> B\" were "
             "passed over";
    case Warning::kMoreWordsThanKept:
      return "location or route texts have more words than the one-word name "
             "kept";
    case Warning::kNameCut:
      return "names were cut to the width they are kept in (unit label 19, "
             "location 29, route 31 characters), which can merge two of them";
    case Warning::kNodeTableFull:
      return "location transitions past the node table's 5000 rows of a "
             "block were passed over";
    case Warning::kComma:
      return "fields hold a comma, which shifts the columns of their line "
             "(fields are not quoted)";
    case Warning::kFormula:
      return "names start like a formula a spreadsheet would run (=, +, @, "
             "or - not followed by a digit)";
    case Warning::kMendedReportFile:
      return "report files ended in part of a line; a line end was added "
             "before the new lines";
    case Warning::kNoSettings:
      return "no tallora.ini: reports go under the working folder";
    case Warning::kRootEndsInSpace:
      return "the output root in tallora.ini ends in white space";
    case Warning::kRootWithoutSeparator:
      return "the output root in tallora.ini does not end in \\ or /, so it "
             "is a prefix of the report folder names";
  }
  return "";
}

}  // namespace

std::string Quoted(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || c == '"' || c == '\\') {
      out += "\\x";
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string Diagnostics::InputPlace(std::uint64_t line) const {
  std::string place = "sqlline.txt line " + std::to_string(line);
  if (block_line_ != 0) {
    place += " (block of " + Quoted(block_label_) + " on " +
             Quoted(block_date_) + ")";
  }
  return place;
}

void Diagnostics::FileFailed(std::string_view path, const FileResult& result) {
  if (result.mended) {
    Warn(Warning::kMendedReportFile, [&] { return std::string(path); });
  }
  std::string reason = ErrorText(result.error);
  switch (result.failure) {
    case FileResult::Failure::kNone:
      return;
    case FileResult::Failure::kOpen:
      if (hide_open_failures_) {
        failed_ = true;
        return;
      }
      if (!result.folder.empty()) {
        reason = "cannot make folder " + result.folder + ": " +
                 ErrorText(result.folder_error);
      }
      FailureLine("cannot open", "cannot open" + LinesLost(result.lines_lost),
                  path, reason, result.lines_lost);
      return;
    case FileResult::Failure::kWrite: {
      std::string what = "write failed" + LinesLost(result.lines_lost);
      if (result.part_line_left) {
        what += result.cut_error == 0
                    ? ", part of a line left after lines another process "
                      "appended"
                    : ", part of a line left (cannot cut it off: " +
                          ErrorText(result.cut_error) + ")";
      }
      FailureLine("write failed", what, path, reason, result.lines_lost);
      return;
    }
    case FileResult::Failure::kClose:
      FailureLine("close failed", "close failed, lines written may be lost",
                  path, reason);
      return;
  }
}

void Diagnostics::UnusableName(std::string_view name) {
  failed_ = true;
  if (rejected_names_.contains(name)) {
    return;
  }
  rejected_names_.emplace(name);
  constexpr std::string_view kWhat =
      "unusable folder or file name, not written";
  FailureLine(kWhat, kWhat, Quoted(name), {});
}

void Diagnostics::Failure(std::string_view what, std::string_view subject,
                          int error) {
  FailureLine(what, what, subject,
              error == 0 ? std::string() : ErrorText(error));
}

void Diagnostics::FailureLine(std::string_view kind, std::string_view what,
                              std::string_view subject, std::string_view reason,
                              std::size_t lines_lost) {
  failed_ = true;
  auto found = failures_by_kind_.find(kind);
  if (found == failures_by_kind_.end()) {
    found = failures_by_kind_.emplace(std::string(kind), FailureCount()).first;
  }
  if (found->second.lines++ >= kShownPerKind) {
    found->second.hidden_lines_lost += lines_lost;
    return;
  }
  std::string line = "tallora: ";
  line.append(what).append(": ").append(subject);
  if (!reason.empty()) {
    line.append(": ").append(reason);
  }
  Write(std::move(line));
}

void Diagnostics::Finish(std::string_view summary) {
  for (const auto& [kind, count] : failures_by_kind_) {
    if (count.lines > kShownPerKind) {
      Write("tallora: " + kind + ": " +
            std::to_string(count.lines - kShownPerKind) + " more not shown" +
            LinesLost(count.hidden_lines_lost));
    }
  }
  for (std::size_t kind = 0; kind < kWarningKinds; ++kind) {
    const WarningCount& warning = warnings_[kind];
    if (warning.count > 0) {
      Write("tallora: warning: " +
            std::string(WarningText(static_cast<Warning>(kind))) + ": " +
            std::to_string(warning.count) + ", first at " +
            warning.first_place);
    }
  }
  Write("tallora: summary: " + std::string(summary));
}

void Diagnostics::Write(std::string line) {
  line += '\n';
  // A diagnostic that cannot be written has nowhere else to go; the exit
  // status still tells of the failure.
  (void)std::fwrite(line.data(), 1, line.size(), sink_);
  (void)std::fflush(sink_);
}

}  // namespace tallora
