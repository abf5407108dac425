// Replays fuzz inputs through a fuzz target without the fuzzing engine: each
// argument is a file, or a folder whose files are run in name order. Any
// fault aborts, as under the engine.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size);

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> inputs;
  for (int i = 1; i < argc; ++i) {
    std::error_code ec;
    if (!std::filesystem::is_directory(argv[i], ec)) {
      inputs.emplace_back(argv[i]);
      continue;
    }
    std::vector<std::filesystem::path> found;
    for (std::filesystem::directory_iterator it(argv[i], ec), end;
         !ec && it != end; it.increment(ec)) {
      if (it->is_regular_file(ec)) {
        found.push_back(it->path());
      }
    }
    std::sort(found.begin(), found.end());
    inputs.insert(inputs.end(), found.begin(), found.end());
  }
  for (const std::filesystem::path& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "replay: cannot read %s\n", input.c_str());
      return 1;
    }
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           bytes.size());
  }
  std::printf("replay: %zu inputs, no fault\n", inputs.size());
  return 0;
}
