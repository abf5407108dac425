#include "run/settings.h"

#include <cstdio>

namespace tallora {

OutputRoot ReadSettings(LineReader* in) {
  OutputRoot root;
  if (!in->eof()) {
    in->ReadLine(300, &root);
  }
  root.CutAtLineEnd();
  return root;
}

OutputRoot LoadSettings(const char* path, bool* read_failed) {
  if (read_failed != nullptr) {
    *read_failed = false;
  }
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    return {};
  }
  LineReader in(file);
  const OutputRoot root = ReadSettings(&in);
  if (read_failed != nullptr) {
    *read_failed = in.error();
  }
  (void)std::fclose(file);  // read only: nothing can be lost
  return root;
}

}  // namespace tallora
