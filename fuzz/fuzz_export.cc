// Fuzz target: whole runs of the tool on arbitrary export bytes, with a fixed
// output root and its dhe folder, in both file modes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_sandbox.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static tallora::fuzz::Sandbox sandbox;
  static const bool settings_written = [] {
    sandbox.Put("tallora.ini", "out\\\r\n");
    return true;
  }();
  (void)settings_written;

  sandbox.Put("sqlline.txt",
              std::string_view(reinterpret_cast<const char*>(data), size));
  sandbox.MakeFolders("out/dhe");
  sandbox.RunAndCheck({"sqlline.txt", "tallora.ini"}, {"out"});
  return 0;
}
