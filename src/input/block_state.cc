#include "input/block_state.h"

#include <cassert>

namespace tallora {

namespace {

// What a slot of width kWidth keeps of `text`.
template <std::size_t kWidth>
std::string_view AsSlotKeeps(std::string_view text) {
  text = text.substr(0, TextSlot<kWidth>::capacity());
  return text.substr(0, text.find('\0'));
}

}  // namespace

void EventList::Append(std::string_view timestamp, std::string_view text) {
  timestamp = AsSlotKeeps<kEventTimestampWidth>(timestamp);
  text = AsSlotKeeps<kEventTextWidth>(text);
  entries_.push_back({bytes_.size(), timestamp.size(), text.size()});
  bytes_.insert(bytes_.end(), timestamp.begin(), timestamp.end());
  bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void EventList::Clear() {
  bytes_.clear();
  entries_.clear();
}

EventView EventList::operator[](std::size_t i) const {
  assert(i < entries_.size());
  const Entry& e = entries_[i];
  const char* base = bytes_.data() + e.offset;
  return {std::string_view(base, e.timestamp_size),
          std::string_view(base + e.timestamp_size, e.text_size)};
}

}  // namespace tallora
