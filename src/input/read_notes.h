// What reading an export noticed that is read faithfully but plainly is not
// what the export means, counted with the line of the first of each kind.
#ifndef TALLORA_INPUT_READ_NOTES_H_
#define TALLORA_INPUT_READ_NOTES_H_

#include <array>
#include <cstddef>
#include <cstdint>

namespace tallora {

enum class ReadNote {
  kSkippedOutsideBlock,  // a non-blank line before a block marker
  kLineTooLong,          // a line split at its read limit
  kNotAdminLine,         // the line after the segments is not "Admin N"
  kMarkerReadAsEvent,    // an event line that is a block marker
  kEndsInsideBlock,      // the input ended before a block did
  kLocationNotParsed,    // a "Loc..." event not "Location A -> B"
  kMoreWordsThanKept,    // a location or route text with words left over
  kNameCut,              // a name longer than it is kept
  kNodeTableFull,        // a location event past the node table's rows
};
inline constexpr std::size_t kReadNoteKinds =
    static_cast<std::size_t>(ReadNote::kNodeTableFull) + 1;

class ReadNotes {
 public:
  struct Count {
    std::uint64_t count = 0;
    std::uint64_t first_line = 0;  // 1-based input line of the first
  };

  void Note(ReadNote kind, std::uint64_t line) {
    Count& count = counts_[static_cast<std::size_t>(kind)];
    if (count.count++ == 0) {
      count.first_line = line;
    }
  }
  const Count& operator[](ReadNote kind) const {
    return counts_[static_cast<std::size_t>(kind)];
  }
  void Clear() { counts_ = {}; }

 private:
  std::array<Count, kReadNoteKinds> counts_{};
};

}  // namespace tallora

#endif  // TALLORA_INPUT_READ_NOTES_H_
