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

void Diagnostics::FileFailed(std::string_view path, const FileResult& result) {
  std::string what;
  std::string reason = ErrorText(result.error);
  switch (result.failure) {
    case FileResult::Failure::kNone:
      return;
    case FileResult::Failure::kOpen:
      what = "cannot open" + LinesLost(result.lines_lost);
      if (!result.folder.empty()) {
        reason = "cannot make folder " + result.folder + ": " +
                 ErrorText(result.folder_error);
      }
      break;
    case FileResult::Failure::kWrite:
      what = "write failed" + LinesLost(result.lines_lost);
      if (result.part_line_left) {
        what += result.cut_error == 0
                    ? ", part of a line left after lines another process "
                      "appended"
                    : ", part of a line left (cannot cut it off: " +
                          ErrorText(result.cut_error) + ")";
      }
      break;
    case FileResult::Failure::kClose:
      what = "close failed, lines written may be lost";
      break;
  }
  Line(what, path, reason);
}

void Diagnostics::MendedPartLine(std::string_view path) {
  const bool failed = failed_;
  Line("warning: report file ended in part of a line, line end added", path,
       {});
  failed_ = failed;
}

void Diagnostics::UnusableName(std::string_view name) {
  failed_ = true;
  if (rejected_names_.contains(name)) {
    return;
  }
  rejected_names_.emplace(name);
  Line("unusable folder or file name, not written", Quoted(name), {});
}

void Diagnostics::Failure(std::string_view what, std::string_view subject,
                          int error) {
  Line(what, subject, error == 0 ? std::string() : ErrorText(error));
}

void Diagnostics::Line(std::string_view what, std::string_view subject,
                       std::string_view reason) {
  failed_ = true;
  std::string line = "tallora: ";
  line.append(what).append(": ").append(subject);
  if (!reason.empty()) {
    line.append(": ").append(reason);
  }
  line += '\n';
  // A diagnostic that cannot be written has nowhere else to go; the exit
  // status still tells of the failure.
  (void)std::fwrite(line.data(), 1, line.size(), sink_);
  (void)std::fflush(sink_);
}

}  // namespace tallora
