// The settings file: the output root every report path starts with.
#ifndef TALLORA_RUN_SETTINGS_H_
#define TALLORA_RUN_SETTINGS_H_

#include "input/line_reader.h"
#include "text/text_slot.h"

namespace tallora {

// A raw prefix of every output path: "D:\Reports\" gives "D:\Reports\Shift",
// while "D:\Reports" would give "D:\ReportsShift". Empty means the working
// directory.
using OutputRoot = TextSlot<300>;

// The output root from the first line of the settings read by `in` (limit
// 300, cut at line end); empty when there is no line. Further lines are
// ignored.
OutputRoot ReadSettings(LineReader* in);

// The output root from the settings file at `path`; empty when the file
// cannot be opened. When `read_error` is given, sets it to the errno value
// of a failed read when the file opened but could not be read (a folder in
// its place, say), else to 0; the root then holds what was read before the
// failure.
OutputRoot LoadSettings(const char* path, int* read_error = nullptr);

}  // namespace tallora

#endif  // TALLORA_RUN_SETTINGS_H_
