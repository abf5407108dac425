#include "compute/pto_account.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tallora {
namespace {

struct Event {
  std::string stamp;
  std::string text;
};

PtoTotals Account(const std::vector<Event>& events) {
  PtoAccount account;
  for (const Event& e : events) {
    const std::string stamp = e.stamp + "\r\n";
    const std::string text = e.text + "\r\n";
    account.Add({stamp, e.stamp, text, e.text});
  }
  return account.totals();
}

std::string Engage(int odometer, int fuel) {
  return "PTO Engaged at 08:00:00 with an odometer of " +
         std::to_string(odometer) + " and fuel count " + std::to_string(fuel);
}

std::string Disengage(int odometer, int fuel) {
  return "PTO Disengaged at 08:30:00 with an odometer of " +
         std::to_string(odometer) + " and fuel count " + std::to_string(fuel);
}

TEST(AccountPto, AddsPeriodsAndDurations) {
  const struct Case {
    const char* name;
    std::vector<Event> events;
    PtoTotals totals;
  } kCases[] = {
      {"one period",
       {{"15/06/2022 08:00:00", Engage(1000, 50)},
        {"15/06/2022 08:30:00", Disengage(1012, 57)}},
       {1800, 12, 7}},
      {"two engages in a row: the second closes",
       {{"15/06/2022 08:00:00", Engage(1000, 50)},
        {"15/06/2022 08:10:00", Engage(1005, 52)}},
       {600, 0 - 1000, 0 - 50}},
      {"engage without disengage adds nothing",
       {{"15/06/2022 08:00:00", Engage(1000, 50)}},
       {0, 0, 0}},
      {"period across midnight",
       {{"15/06/2022 23:50:00", Engage(1000, 50)},
        {"16/06/2022 00:20:00", Disengage(1030, 60)}},
       {1800, 30, 10}},
      {"1970 stamp opens no period",
       {{"00/01/1970 00:00:00", Engage(1, 1)},
        {"15/06/2022 08:00:00", Engage(1000, 50)},
        {"15/06/2022 09:00:00", Disengage(1010, 55)}},
       {3600, 10, 5}},
      {"durations of 7 to 11 characters",
       {{"15/06/2022 08:00:00", "PTO 1:00:00 Manual"},
        {"15/06/2022 08:00:00", "PTO 01:00:00 Manual"},
        {"15/06/2022 08:00:00", "PTO 100:00:00 Manual"},
        {"15/06/2022 08:00:00", "PTO 1000:00:00 Manual"},
        {"15/06/2022 08:00:00", "PTO 10000:00:00 Manual"}},
       {3600 + 360000 + 3600000, 0, 0}},
      {"duration alone on its line",
       {{"15/06/2022 08:00:00", "PTO 00:10:00"}},
       {600, 0, 0}},
      // No first word: nothing is added, not the previous word again.
      {"no token adds nothing",
       {{"15/06/2022 08:00:00", "PTO 00:10:00 Manual"},
        {"15/06/2022 08:00:00", "PTO"},
        {"15/06/2022 08:00:00", "PTX 00:10:00"}},
       {600, 0, 0}},
      {"other texts are passed over",
       {{"15/06/2022 08:00:00", "Power on"},
        {"15/06/2022 08:00:00", "Location A -> B"}},
       {0, 0, 0}},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const PtoTotals totals = Account(c.events);
    EXPECT_EQ(totals.seconds, c.totals.seconds);
    EXPECT_EQ(totals.distance, c.totals.distance);
    EXPECT_EQ(totals.fuel, c.totals.fuel);
  }
}

TEST(AccountPto, EndReadingsStartAtZeroAndCarryBetweenPeriods) {
  // The second disengage supplies no readings, so its period reuses the end
  // readings of the first.
  const PtoTotals totals =
      Account({{"15/06/2022 08:00:00", Engage(100, 10)},
               {"15/06/2022 08:10:00", Disengage(150, 20)},
               {"15/06/2022 09:00:00", Engage(150, 20)},
               {"15/06/2022 09:10:00", "PTO Disengaged at 09:10:00"}});
  EXPECT_EQ(totals.seconds, 1200);
  EXPECT_EQ(totals.distance, 50);
  EXPECT_EQ(totals.fuel, 10);

  const PtoTotals fresh = Account({{"15/06/2022 08:00:00", Engage(100, 10)},
                                   {"15/06/2022 08:10:00", "PTO Disengaged"}});
  EXPECT_EQ(fresh.distance, -100);
  EXPECT_EQ(fresh.fuel, -10);
}

TEST(AccountPto, SumsWrapInsteadOfOverflowing) {
  const PtoTotals totals =
      Account({{"15/06/2022 08:00:00", Engage(-2147483647 - 1, 0)},
               {"15/06/2022 08:10:00", Disengage(2147483647, 0)}});
  EXPECT_EQ(totals.distance, -1);
}

}  // namespace
}  // namespace tallora
