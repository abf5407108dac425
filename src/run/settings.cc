#include "run/settings.h"

#include <cstdio>

namespace tallora {

OutputRoot ReadSettings(LineReader* in) {
  OutputRoot root;
  in->SkipIfNext(kUtf8Mark);
  if (!in->eof()) {
    in->ReadField(300, &root);
  }
  return root;
}

Settings LoadSettings(const char* path) {
  Settings settings;
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    return settings;
  }
  settings.found = true;
  LineReader in(file);
  settings.utf16 = in.NextIs("\xFF\xFE") || in.NextIs("\xFE\xFF");
  settings.root = ReadSettings(&in);
  if (in.error()) {
    settings.read_error = in.error_number();
  }
  (void)std::fclose(file);  // read only: nothing can be lost
  return settings;
}

}  // namespace tallora
