#include "reports/diagnostics.h"

#include "reports/file_system.h"

namespace tallora {
namespace {

// The name quoted, with bytes that a console would not show as \xNN.
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

}  // namespace

void Diagnostics::CannotOpen(std::string_view path, int error) {
  failed_ = true;
  if (unopened_paths_.contains(path)) {
    return;
  }
  unopened_paths_.emplace(path);
  Line("cannot open", path, ErrorText(error));
}

void Diagnostics::WriteFailed(std::string_view path, int error) {
  Line("write failed, lines lost", path, ErrorText(error));
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
  Line(what, subject, ErrorText(error));
}

void Diagnostics::Line(std::string_view what, std::string_view subject,
                       const std::string& reason) {
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
