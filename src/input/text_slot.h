// Fixed-width text field as read from the export.
#ifndef TALLORA_INPUT_TEXT_SLOT_H_
#define TALLORA_INPUT_TEXT_SLOT_H_

#include <cstddef>
#include <string_view>
#include <type_traits>

namespace tallora {

// Text of at most kWidth-1 bytes, always NUL-terminated, never heap-allocated.
// kWidth is the field's width with its terminator, as the export layout
// gives it. Nothing is ever written outside the slot.
template <std::size_t kWidth>
class TextSlot {
  static_assert(kWidth >= 1);

 public:
  TextSlot() = default;
  explicit TextSlot(std::string_view text) { Assign(text); }

  // Stores `text` up to its first NUL byte and keeps at most kWidth-1 bytes
  // of it; the rest is dropped.
  void Assign(std::string_view text) {
    std::size_t n = 0;
    while (n < text.size() && n < kWidth - 1 && text[n] != '\0') {
      data_[n] = text[n];
      ++n;
    }
    data_[n] = '\0';
    size_ = n;
  }

  // Truncates the text at its first carriage return or line feed, whichever
  // comes first; a text without either is unchanged.
  void CutAtLineEnd() {
    for (std::size_t i = 0; i < size_; ++i) {
      if (data_[i] == '\r' || data_[i] == '\n') {
        data_[i] = '\0';
        size_ = i;
        return;
      }
    }
  }

  void Clear() { Assign({}); }

  std::string_view view() const { return {data_, size_}; }
  const char* c_str() const { return data_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  static constexpr std::size_t capacity() { return kWidth - 1; }

 private:
  char data_[kWidth] = {};
  std::size_t size_ = 0;
};

template <std::size_t kWidth>
bool operator==(const TextSlot<kWidth>& slot, std::string_view text) {
  return slot.view() == text;
}

// The text up to its first carriage return or line feed.
inline std::string_view CutAtLineEnd(std::string_view text) {
  std::size_t end = 0;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') {
    ++end;
  }
  return text.substr(0, end);
}

// True iff `text` has `c` at position `pos`; a position beyond the end of the
// text never matches.
inline bool CharAt(std::string_view text, std::size_t pos, char c) {
  return pos < text.size() && text[pos] == c;
}

static_assert(std::is_trivially_copyable_v<TextSlot<20>>);

}  // namespace tallora

#endif  // TALLORA_INPUT_TEXT_SLOT_H_
