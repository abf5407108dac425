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

OutputRoot LoadSettings(const char* path) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    return {};
  }
  LineReader in(file);
  const OutputRoot root = ReadSettings(&in);
  std::fclose(file);
  return root;
}

}  // namespace tallora
