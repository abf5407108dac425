#include "compute/pto_account.h"

#include <string_view>

#include "compute/wrapping.h"
#include "input/text_scan.h"
#include "input/text_slot.h"
#include "timecalc/duration.h"
#include "timecalc/timestamp.h"

namespace tallora {

PtoTotals AccountPto(const EventList& events) {
  PtoTotals totals;
  std::int32_t engaged_at = 0;
  std::int32_t start_odometer = 0;
  std::int32_t start_fuel = 0;
  std::int32_t end_odometer = 0;
  std::int32_t end_fuel = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const EventView event = events[i];
    const std::string_view t = event.text;
    if (!CharAt(t, 0, 'P') || !CharAt(t, 1, 'T')) {
      continue;
    }
    std::string_view token;
    if (CharAt(t, 5, 'n') || CharAt(t, 8, 'n')) {
      // The open-or-closed state alone decides whether this switch event
      // engages or disengages, whatever its words say.
      if (engaged_at == 0) {
        ScanText(t,
                 "PTO Engaged at %s with an odometer of %ld and fuel count %ld",
                 {&token, &start_odometer, &start_fuel});
        engaged_at = TimestampToSeconds(event.timestamp);
      } else {
        ScanText(
            t,
            "PTO Disengaged at %s with an odometer of %ld and fuel count %ld",
            {&token, &end_odometer, &end_fuel});
        totals.seconds = WrappingAdd(
            totals.seconds,
            WrappingSub(TimestampToSeconds(event.timestamp), engaged_at));
        totals.fuel =
            WrappingAdd(totals.fuel, WrappingSub(end_fuel, start_fuel));
        totals.distance = WrappingAdd(
            totals.distance, WrappingSub(end_odometer, start_odometer));
        start_odometer = 0;
        start_fuel = 0;
        engaged_at = 0;
      }
      continue;
    }
    std::string_view second;
    if (ScanText(t, "PTO %s %s", {&token, &second}) == 0) {
      continue;
    }
    if (token.size() >= 8 && token.size() <= 10) {
      totals.seconds = WrappingAdd(totals.seconds, DurationToSeconds(token));
    }
  }
  return totals;
}

}  // namespace tallora
