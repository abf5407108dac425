// Fuzz target: whole runs of the tool on arbitrary settings bytes with a
// small fixed export, in both file modes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_sandbox.h"
#include "input/line_reader.h"
#include "reports/file_system.h"
#include "run/settings.h"

namespace {

// One block with two segments, a route, two location moves, PTO use and a
// non-zero unit number, so that every writer has something to write.
std::string SmallExport() {
  std::string text = "tripheader\r\n";
  for (int line = 1; line <= 207; ++line) {
    const char* value = line == 3                   ? "TRK1"
                        : line == 4                 ? "0042"
                        : line == 7                 ? "15/06/2022"
                        : line >= 18 && line <= 134 ? "00:10:00"
                                                    : "";
    text.append(value).append("\r\n");
  }
  for (const char* dhe_time : {"07:00:00", "13:30:00"}) {
    for (int line = 0; line < 37; ++line) {
      const char* value = line == 0    ? "trip"
                          : line == 6  ? "01:00:00"
                          : line == 11 ? "15/06/2022"
                          : line == 12 ? dhe_time
                          : line == 33 ? "Depot"
                          : line == 34 ? "Quarry"
                          : line == 35 ? "15/06/2022 07:00:00"
                          : line == 36 ? "15/06/2022 13:30:00"
                                       : "1";
      text.append(value).append("\r\n");
    }
  }
  text +=
      "Admin 5\r\n"
      "15/06/2022 07:00:00\r\nRoute North\r\n"
      "15/06/2022 07:10:00\r\nLocation Depot -> Quarry\r\n"
      "15/06/2022 08:00:00\r\n"
      "PTO Engaged at X with an odometer of 100 and fuel count 7\r\n"
      "15/06/2022 09:00:00\r\n"
      "PTO Disengaged at X with an odometer of 130 and fuel count 9\r\n"
      "16/06/2022 01:00:00\r\nLocation Quarry -> Depot\r\n";
  return text;
}

// A root that names a folder above or beside the working folder is a
// legitimate choice of the user, not a fault, and would let the fuzzer write
// anywhere: such inputs are left out.
bool StaysInWorkingFolder(std::string_view root) {
  return root.find("..") == std::string_view::npos && !root.starts_with('/') &&
         !root.starts_with('\\');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static tallora::fuzz::Sandbox sandbox;
  static const bool export_written = [] {
    sandbox.Put("sqlline.txt", SmallExport());
    return true;
  }();
  (void)export_written;

  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  tallora::LineReader reader(bytes);
  const tallora::OutputRoot root = tallora::ReadSettings(&reader);
  if (!StaysInWorkingFolder(root.view())) {
    return -1;
  }
  sandbox.Put("tallora.ini", bytes);
  sandbox.MakeFolders(tallora::NativePath(std::string(root.view()) + "dhe"));
  sandbox.RunAndCheck({"sqlline.txt", "tallora.ini"});
  return 0;
}
