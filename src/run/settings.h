// The settings file: the output root every report path starts with.
#ifndef TALLORA_RUN_SETTINGS_H_
#define TALLORA_RUN_SETTINGS_H_

#include <string_view>

#include "input/line_reader.h"
#include "text/line_end.h"
#include "text/text_slot.h"

namespace tallora {

// A raw prefix of every output path: "D:\Reports\" gives "D:\Reports\Shift",
// while "D:\Reports" would give "D:\ReportsShift". Empty means the working
// directory.
using OutputRoot = TextSlot<300>;

// The output root from the first line of the settings read by `in` (limit
// 300, cut at line end), after a UTF-8 byte-order mark at the very start;
// empty when there is no line. Further lines are ignored.
OutputRoot ReadSettings(LineReader* in);

struct Settings {
  OutputRoot root;
  // False when there is no settings file to open.
  bool found = false;
  // True iff the file starts with a UTF-16 byte-order mark: it is then read
  // as 8-bit text all the same, which gives no usable root.
  bool utf16 = false;
  // The errno value of a failed read of a file that opened (a folder in its
  // place, say), else 0; the root then holds what was read before it.
  int read_error = 0;
};

// The settings from the file at `path`; an empty root when the file cannot
// be opened.
Settings LoadSettings(const char* path);

}  // namespace tallora

#endif  // TALLORA_RUN_SETTINGS_H_
