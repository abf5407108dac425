#include "compute/pto_account.h"

#include <string_view>

#include "text/text_scan.h"
#include "text/text_slot.h"
#include "text/wrapping.h"
#include "timecalc/duration.h"
#include "timecalc/timestamp.h"

namespace tallora {

void PtoAccount::Add(const EventRecord& event) {
  const std::string_view t = event.text;
  if (!CharAt(t, 0, 'P') || !CharAt(t, 1, 'T')) {
    return;
  }
  const std::string_view line = event.text_line;
  std::string_view token;
  if (CharAt(t, 5, 'n') || CharAt(t, 8, 'n')) {
    // The open-or-closed state alone decides whether this switch event
    // engages or disengages, whatever its words say.
    if (engaged_at_ == 0) {
      TextScan(line)
          .Expect("PTO Engaged at ")
          .ReadWord(&token)
          .Expect(" with an odometer of ")
          .ReadNumber(&start_odometer_)
          .Expect(" and fuel count ")
          .ReadNumber(&start_fuel_);
      engaged_at_ = TimestampToSeconds(event.timestamp);
    } else {
      TextScan(line)
          .Expect("PTO Disengaged at ")
          .ReadWord(&token)
          .Expect(" with an odometer of ")
          .ReadNumber(&end_odometer_)
          .Expect(" and fuel count ")
          .ReadNumber(&end_fuel_);
      totals_.seconds = WrappingAdd(
          totals_.seconds,
          WrappingSub(TimestampToSeconds(event.timestamp), engaged_at_));
      totals_.fuel =
          WrappingAdd(totals_.fuel, WrappingSub(end_fuel_, start_fuel_));
      totals_.distance = WrappingAdd(
          totals_.distance, WrappingSub(end_odometer_, start_odometer_));
      start_odometer_ = 0;
      start_fuel_ = 0;
      engaged_at_ = 0;
    }
    return;
  }
  if (!TextScan(line).Expect("PTO ").ReadWord(&token).ok()) {
    return;
  }
  if (token.size() >= 8 && token.size() <= 10) {
    totals_.seconds = WrappingAdd(totals_.seconds, DurationToSeconds(token));
  }
}

}  // namespace tallora
