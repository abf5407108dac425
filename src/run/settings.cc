#include "run/settings.h"

#include <cstdio>

namespace tallora {

OutputRoot ReadSettings(LineReader* in) {
  OutputRoot root;
  if (!in->eof()) {
    in->ReadField(300, &root);
  }
  return root;
}

OutputRoot LoadSettings(const char* path, int* read_error) {
  if (read_error != nullptr) {
    *read_error = 0;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    return {};
  }
  LineReader in(file);
  const OutputRoot root = ReadSettings(&in);
  if (read_error != nullptr && in.error()) {
    *read_error = in.error_number();
  }
  (void)std::fclose(file);  // read only: nothing can be lost
  return root;
}

}  // namespace tallora
