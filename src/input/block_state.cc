#include "input/block_state.h"

#include <cassert>

namespace tallora {

void EventList::Append(const TextSlot<kEventTimestampWidth>& timestamp,
                       const TextSlot<kEventTextWidth>& text) {
  entries_.push_back({bytes_.size(), timestamp.size(), text.size()});
  bytes_.insert(bytes_.end(), timestamp.view().begin(), timestamp.view().end());
  bytes_.insert(bytes_.end(), text.view().begin(), text.view().end());
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
