// Output paths under the output root, and the names from the export that
// may become part of them.
#ifndef TALLORA_REPORTS_REPORT_PATH_H_
#define TALLORA_REPORTS_REPORT_PATH_H_

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "text/text_slot.h"

namespace tallora {

// The output root, then `parts` joined by backslashes, in the platform's
// form. The root is a raw prefix: no separator is put after it, so a root
// meant as a folder ends with its separator.
std::string OutputPath(std::string_view root,
                       std::initializer_list<std::string_view> parts);

// The output root as the report paths reach it: the absolute form of the
// folder or prefix it names, in the platform's form.
std::string ResolvedRoot(std::string_view root);

// True iff `name` may be a folder or file name: not empty, not "." or "..",
// and free of bytes below 0x20 and of / \ : * ? " < > |. Anything else could
// leave the output root or reach a special file.
bool IsUsableName(std::string_view name);

// The date folder name DDMMYYYY: characters 0, 1, 3, 4, 6, 7, 8 and 9 of a
// text that starts with a date laid out DD?MM?YYYY. Empty when the text is
// shorter than 10 characters or the name is not usable.
std::optional<TextSlot<9>> DateFolderName(std::string_view text);

}  // namespace tallora

#endif  // TALLORA_REPORTS_REPORT_PATH_H_
