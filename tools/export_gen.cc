#include "tools/export_gen.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tallora {
namespace {

// Mix per block (both mixes: 1-6 segments, uniform):
//
//   typical (default, 40 units x 7 dates): 30-50 events, mean 40:
//     PTO switch pairs    0-4 pairs, engage then disengage       ~10%
//     PTO durations       0-2 "PTO HH:MM:SS Manual"              ~2.5%
//     location moves      2-6 "Location A -> B" over the unit's
//                         own round of 5 of the 48 places        ~10%
//     routes              1-2 "Route X"                          ~3%
//     periodic            30% "Periodic ..." (dropped by readers)
//     others              the rest: ignition on first, ignition
//                         off last, braking, speeding, idling    ~45%
//
//   location-heavy (400 units x 7 dates): 150-250 events, mean 200:
//     location moves      80% over all 48 places, so each date
//                         gets a node file per unit and per place
//     PTO switch pairs    0-2 pairs                              ~1%
//     PTO durations       0-1                                    ~0.3%
//     routes              1-2                                    ~1%
//     periodic            10%
//     others              the rest                               ~8%
//
//   places-5000 (400 units x 7 dates): location-heavy, with the moves over
//     5000 places instead of 48, so each date gets node files for thousands
//     of places; the names have the lengths of the 48, so blocks keep their
//     size and line count.
//
// A typical block is about 4.3 kB, a location-heavy one about 12 kB. One
// block in 40 carries a header line 160 of 1000 to 1996 characters.
//
// A fixed event count (events_per_block) takes the location-heavy shares,
// scaled: 80% location moves, 1% PTO switches in pairs, 0.3% PTO durations,
// 1% routes, 10% periodic, the rest others.

constexpr int kHeaderLines = 207;
constexpr int kSegmentLines = 37;

// splitmix64: tiny, fast and fully specified, so a seed gives the same stream
// everywhere.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    state_ += 0x9e3779b97f4a7c15u;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
    return z ^ (z >> 31);
  }

  // A value in [0, n); 0 when n is 0 or less.
  int Below(int n) {
    if (n <= 0) {
      return 0;
    }
    return static_cast<int>(Next() % static_cast<std::uint64_t>(n));
  }

  bool Percent(int p) { return Below(100) < p; }

 private:
  std::uint64_t state_;
};

// The text of an export being written, with the line ends it was asked for.
class ExportText {
 public:
  ExportText(bool crlf, std::string* out) : crlf_(crlf), out_(out) {}

  void Text(std::string_view text) { out_->append(text); }

  void Char(char c) { out_->push_back(c); }

  void Number(std::uint64_t value) {
    char digits[20];
    std::size_t n = sizeof digits;
    do {
      digits[--n] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value != 0);
    Text(std::string_view(digits + n, sizeof digits - n));
  }

  // Writes `value` with at least `width` digits, zero padded.
  // REQUIRES: width <= 20.
  void Padded(std::uint64_t value, int width) {
    char digits[20];
    std::size_t n = sizeof digits;
    do {
      digits[--n] = static_cast<char>('0' + value % 10);
      value /= 10;
      --width;
    } while (value != 0 || width > 0);
    Text(std::string_view(digits + n, sizeof digits - n));
  }

  void EndLine() { Text(crlf_ ? std::string_view("\r\n") : "\n"); }

  void Line(std::string_view text) {
    Text(text);
    EndLine();
  }

  void NumberLine(std::uint64_t value) {
    Number(value);
    EndLine();
  }

 private:
  bool crlf_;
  std::string* out_;
};

struct Date {
  int day;
  int month;
  int year;
};

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

Date NextDay(Date date) {
  static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30,
                                       31, 31, 30, 31, 30, 31};
  int length = kMonthDays[date.month - 1];
  if (date.month == 2 && IsLeapYear(date.year)) {
    ++length;
  }
  if (++date.day > length) {
    date.day = 1;
    if (++date.month > 12) {
      date.month = 1;
      ++date.year;
    }
  }
  return date;
}

void WriteDate(ExportText* out, const Date& date) {
  out->Padded(static_cast<std::uint64_t>(date.day), 2);
  out->Char('/');
  out->Padded(static_cast<std::uint64_t>(date.month), 2);
  out->Char('/');
  out->Padded(static_cast<std::uint64_t>(date.year), 4);
}

// HH:MM:SS; also serves durations, which stay below 100 hours here.
void WriteClock(ExportText* out, int seconds) {
  const auto s = static_cast<std::uint64_t>(seconds);
  out->Padded(s / 3600, 2);
  out->Char(':');
  out->Padded(s / 60 % 60, 2);
  out->Char(':');
  out->Padded(s % 60, 2);
}

void WriteStamp(ExportText* out, const Date& date, int seconds) {
  WriteDate(out, date);
  out->Char(' ');
  WriteClock(out, seconds);
}

// Single words, so that they survive "Location %s -> %s" and name folders.
constexpr std::string_view kPlaces[] = {
    "Depot",      "Quarry",      "NorthYard",   "SouthYard",  "Harbour",
    "Landfill",   "CementWorks", "Sawmill",     "Brickworks", "RailHead",
    "Wharf",      "Airfield",    "Hospital",    "Stadium",    "TownHall",
    "Market",     "Reservoir",   "PumpStation", "Substation", "Dairy",
    "GrainStore", "FuelStop",    "Weighbridge", "Workshop",   "WashBay",
    "Compound",   "Laydown",     "Warehouse",   "TipFace",    "AsphaltPlant",
    "SandPit",    "Mill",        "Foundry",     "Sidings",    "Terminal",
    "Marina",     "Bypass",      "RingRoad",    "Viaduct",    "Tunnel",
    "EastGate",   "WestGate",    "Riverside",   "Hilltop",    "Meadow",
    "Orchard",    "Kiln",        "Refinery"};

constexpr int kManyPlaces = 5000;

// Place `index` of the places-5000 mix: a made-up word, a capital and then
// consonants and vowels in turn, as long as place index % 48 of kPlaces. The
// first four letters spell the index, so no two names are equal, not even
// when letter case is ignored.
// REQUIRES: 0 <= index < 10000.
std::string ManyPlaceName(int index) {
  static constexpr std::string_view kConsonants = "bcdfghjklmnprstvwxyz";
  static constexpr std::string_view kVowels = "aeiou";
  const std::size_t length =
      kPlaces[static_cast<std::size_t>(index) % std::size(kPlaces)].size();
  const auto i = static_cast<std::size_t>(index);
  std::string name = {kConsonants[i % 20], kVowels[i / 20 % 5],
                      kConsonants[i / 100 % 20], kVowels[i / 2000 % 5]};
  name[0] = static_cast<char>(name[0] - 'a' + 'A');
  for (std::size_t k = name.size(); k < length; ++k) {
    name.push_back(k % 2 == 0 ? kConsonants[(i * 7 + k * 3) % 20]
                              : kVowels[(i + k) % 5]);
  }
  return name;
}

constexpr std::string_view kPlaceSuffixes[] = {
    "", "", " Gate 2", " Weighbridge", " Loading Bay 4", " Main Entrance"};
constexpr std::string_view kRoutes[] = {
    "North",  "South", "East", "West",   "Coastal", "Ring",
    "Valley", "Hill",  "City", "Quarry", "Harbour", "Airport"};
constexpr std::string_view kUnitKinds[] = {"TRK", "VAN", "TIP", "CRN"};
constexpr std::string_view kBodyTypes[] = {"Rigid", "Van", "Tipper", "Crane"};
constexpr std::string_view kDrivers[] = {"Adams", "Baker",  "Clarke", "Davies",
                                         "Evans", "Foster", "Green",  "Hughes",
                                         "Irwin", "Jones",  "Khan",   "Lewis"};
constexpr std::string_view kWeekdays[] = {"Monday",   "Tuesday", "Wednesday",
                                          "Thursday", "Friday",  "Saturday",
                                          "Sunday"};

constexpr int kRoundSize = 5;

struct Unit {
  std::string label;
  std::string number;
  std::string plate;
  int kind;
  int driver;
  int round[kRoundSize];
  std::uint64_t odometer_m;
  std::uint64_t fuel_ml;
};

enum class EventKind {
  kIgnitionOn,
  kIgnitionOff,
  kPtoSwitch,
  kPtoDuration,
  kLocation,
  kRoute,
  kPeriodic,
  kOther
};

}  // namespace

class ExportGenerator::Impl {
 public:
  Impl(const ExportShape& shape, int units)
      : mix_(shape.mix),
        crlf_(shape.crlf),
        events_per_block_(shape.events_per_block),
        segments_per_block_(shape.segments_per_block),
        rng_(shape.seed) {
    if (mix_ == ExportMix::kPlaces5000) {
      for (int p = 0; p < kManyPlaces; ++p) {
        places_.push_back(ManyPlaceName(p));
      }
    } else {
      places_.assign(std::begin(kPlaces), std::end(kPlaces));
    }
    Date date = {6, 6, 2022};
    for (int d = 0; d < shape.dates; ++d) {
      dates_.push_back(date);
      date = NextDay(date);
    }
    units_.resize(static_cast<std::size_t>(units));
    for (int u = 0; u < units; ++u) {
      InitUnit(u, &units_[static_cast<std::size_t>(u)]);
    }
  }

  void AppendBlock(std::string* text) {
    ExportText out(crlf_, text);
    WriteBlock(next_block_++, &out);
  }

 private:
  void WriteBlock(std::uint64_t index, ExportText* out) {
    const auto unit_count = static_cast<std::uint64_t>(units_.size());
    Unit& unit = units_[static_cast<std::size_t>(index % unit_count)];
    const auto date_index =
        static_cast<std::size_t>(index / unit_count % dates_.size());
    const Date& date = dates_[date_index];
    const int weekday = static_cast<int>(date_index % 7);
    const int shift_start = 5 * 3600 + rng_.Below(3 * 3600);
    const int shift_end = shift_start + 8 * 3600 + rng_.Below(4 * 3600);
    const int segments =
        segments_per_block_ != 0 ? segments_per_block_ : 1 + rng_.Below(6);
    PlanEvents();

    // A marker line has "tr" at its start and 'h' at position 4.
    out->Line("tripheader");
    WriteHeader(unit, date, weekday, shift_start, segments, out);
    WriteSegments(unit, date, shift_start, shift_end, segments, out);
    out->Text("Admin ");
    out->NumberLine(kinds_.size());
    WriteEvents(&unit, date, shift_start, shift_end, out);
  }

  void InitUnit(int u, Unit* unit) {
    const auto id = static_cast<std::uint64_t>(u) + 1;
    unit->kind = u % static_cast<int>(std::size(kUnitKinds));
    unit->label =
        std::string(kUnitKinds[unit->kind]) + " " + std::to_string(id);
    std::string number = std::to_string(id);
    if (number.size() < 4) {
      number.insert(0, 4 - number.size(), '0');
    }
    unit->number = number;
    unit->plate.clear();
    for (int i = 0; i < 8; ++i) {
      const bool digit = i == 2 || i == 3;
      unit->plate.push_back(i == 4  ? ' '
                            : digit ? static_cast<char>('0' + rng_.Below(10))
                                    : static_cast<char>('A' + rng_.Below(26)));
    }
    unit->driver = rng_.Below(static_cast<int>(std::size(kDrivers)));
    // Every round starts at the depot; the other four places differ.
    unit->round[0] = 0;
    for (int i = 1; i < kRoundSize; ++i) {
      bool taken = true;
      while (taken) {
        unit->round[i] = 1 + rng_.Below(PlaceCount() - 1);
        taken = false;
        for (int j = 1; j < i; ++j) {
          taken = taken || unit->round[j] == unit->round[i];
        }
      }
    }
    unit->odometer_m =
        20000000 + static_cast<std::uint64_t>(rng_.Below(400000)) * 1000;
    unit->fuel_ml =
        5000000 + static_cast<std::uint64_t>(rng_.Below(200000)) * 1000;
  }

  // Fills kinds_ with the block's events in file order.
  void PlanEvents() {
    int total, switches, durations, locations, routes, periodic;
    if (events_per_block_ != 0) {
      // Shares of what is left after the two ignition events, so that even
      // a block of 3 events adds up.
      total = events_per_block_;
      const int rest = total - 2;
      switches = 2 * (rest / 200);
      durations = rest / 300;
      locations = rest * 8 / 10;
      routes = 1 + rest / 100;
      periodic = rest / 10;
    } else if (mix_ == ExportMix::kTypical) {
      total = 30 + rng_.Below(21);
      switches = 2 * rng_.Below(5);
      durations = rng_.Below(3);
      locations = 2 + rng_.Below(5);
      routes = 1 + (rng_.Below(4) == 0 ? 1 : 0);
      periodic = total * 3 / 10;
    } else {
      total = 150 + rng_.Below(101);
      switches = 2 * rng_.Below(3);
      durations = rng_.Below(2);
      locations = total * 8 / 10;
      routes = 1 + rng_.Below(2);
      periodic = total / 10;
    }
    const int others =
        total - switches - durations - locations - routes - periodic - 2;
    kinds_.clear();
    kinds_.insert(kinds_.end(), static_cast<std::size_t>(switches),
                  EventKind::kPtoSwitch);
    kinds_.insert(kinds_.end(), static_cast<std::size_t>(durations),
                  EventKind::kPtoDuration);
    kinds_.insert(kinds_.end(), static_cast<std::size_t>(locations),
                  EventKind::kLocation);
    kinds_.insert(kinds_.end(), static_cast<std::size_t>(routes),
                  EventKind::kRoute);
    kinds_.insert(kinds_.end(), static_cast<std::size_t>(periodic),
                  EventKind::kPeriodic);
    kinds_.insert(kinds_.end(), static_cast<std::size_t>(others),
                  EventKind::kOther);
    for (std::size_t i = kinds_.size(); i > 1; --i) {
      const auto j = static_cast<std::size_t>(rng_.Below(static_cast<int>(i)));
      std::swap(kinds_[i - 1], kinds_[j]);
    }
    kinds_.insert(kinds_.begin(), EventKind::kIgnitionOn);
    kinds_.push_back(EventKind::kIgnitionOff);
  }

  void WriteHeader(const Unit& unit, const Date& date, int weekday,
                   int shift_start, int segments, ExportText* out) {
    const bool early = shift_start < 6 * 3600;
    for (int line = 1; line <= kHeaderLines; ++line) {
      if (line == 1) {
        out->Text("1 ");
        out->Number(static_cast<std::uint64_t>(segments));
        out->Char(' ');
        out->Number(kinds_.size());
        out->Text(" 0");
        out->EndLine();
      } else if (line == 2) {
        out->Line("Fleet export 3.2");
      } else if (line == 3) {
        out->Line(unit.label);
      } else if (line == 4) {
        out->Line(unit.number);
      } else if (line == 5) {
        out->Line(kBodyTypes[unit.kind]);
      } else if (line == 6) {
        out->Line(unit.plate);
      } else if (line == 7) {
        WriteDate(out, date);
        out->EndLine();
      } else if (line == 8) {
        out->Line(kWeekdays[weekday]);
      } else if (line == 9) {
        out->Char('D');
        out->Padded(static_cast<std::uint64_t>(unit.driver) * 37 + 100, 4);
        out->EndLine();
      } else if (line == 10) {
        out->Line(kDrivers[unit.driver]);
      } else if (line == 11) {
        out->Line(early ? "Early" : "Day");
      } else if (line == 13) {
        out->NumberLine(static_cast<std::uint64_t>(60 + rng_.Below(240)));
      } else if (line == 18) {
        for (int row = 0; row < 13; ++row) {
          WriteGridRow(out);
        }
        line = 134;
      } else if (line >= 149 && line <= 152) {
        out->NumberLine(static_cast<std::uint64_t>(rng_.Below(30)));
      } else if (line == 159) {
        out->NumberLine(static_cast<std::uint64_t>(rng_.Below(500)));
      } else if (line == 160) {
        WriteLongLine(out);
      } else if (line == 201) {
        out->Line("build 1187 rev 4");
      } else if (line == 202) {
        out->Line("UTC+00:00");
      } else if (line == 205) {
        out->Line(rng_.Percent(70) ? "107" : "101");
      } else {
        // Lines 164-184, 187-200 and 203-207 have a read limit of 10, so
        // every other line stays within 6 characters.
        out->NumberLine(static_cast<std::uint64_t>(rng_.Below(100)));
      }
    }
  }

  // One row of nine duration cells; the ninth holds the total of the eight
  // before it, as an export's row total would.
  void WriteGridRow(ExportText* out) {
    int total = 0;
    for (int column = 0; column < 8; ++column) {
      const int seconds = rng_.Percent(50) ? 0 : rng_.Below(7200);
      total += seconds;
      WriteClock(out, seconds);
      out->EndLine();
    }
    WriteClock(out, total);
    out->EndLine();
  }

  // Header line 160 has a read limit of 2000; most blocks keep it short, a
  // few fill most of it.
  void WriteLongLine(ExportText* out) {
    const int target =
        rng_.Below(40) == 0 ? 1000 + rng_.Below(997) : 20 + rng_.Below(150);
    int length = 0;
    while (length + 5 <= target) {
      const int value = rng_.Below(1000);
      if (length != 0) {
        out->Char(',');
        ++length;
      }
      out->Number(static_cast<std::uint64_t>(value));
      length += value < 10 ? 1 : value < 100 ? 2 : 3;
    }
    out->EndLine();
  }

  int PlaceCount() const { return static_cast<int>(places_.size()); }

  std::string_view Place(int place) const {
    return places_[static_cast<std::size_t>(place)];
  }

  void WritePlace(int place, ExportText* out) {
    out->Text(Place(place));
    out->Text(kPlaceSuffixes[rng_.Below(
        static_cast<int>(std::size(kPlaceSuffixes)))]);
    out->EndLine();
  }

  int NextPlace(const Unit& unit, int from) {
    int to = from;
    while (to == from) {
      to = mix_ == ExportMix::kTypical ? unit.round[rng_.Below(kRoundSize)]
                                       : rng_.Below(PlaceCount());
    }
    return to;
  }

  void WriteSegments(const Unit& unit, const Date& date, int shift_start,
                     int shift_end, int segments, ExportText* out) {
    const int span = shift_end - shift_start;
    const int slice = span / segments;
    int place = unit.round[0];
    for (int s = 0; s < segments; ++s) {
      int start, end;
      if (slice >= 10) {
        start = shift_start + s * slice + rng_.Below(slice / 10);
        end = shift_start + (s + 1) * slice - rng_.Below(slice / 10);
      } else {
        start = shift_start + ShareOf(span, s, segments);
        end = shift_start + ShareOf(span, s + 1, segments);
      }
      const int length = end - start;
      const int drive = length * (55 + rng_.Below(30)) / 100;
      const int idle = length * (3 + rng_.Below(12)) / 100;
      const int work = length - drive - idle;
      const int next_place = NextPlace(unit, place);
      for (int line = 0; line < kSegmentLines; ++line) {
        switch (line) {
          case 0:
            out->Text("trip ");
            out->NumberLine(static_cast<std::uint64_t>(s + 1));
            break;
          case 4:
            out->NumberLine(static_cast<std::uint64_t>(s + 1));
            break;
          case 5:
            out->NumberLine(static_cast<std::uint64_t>(1 + rng_.Below(12)));
            break;
          case 6:
            WriteClock(out, drive);
            out->EndLine();
            break;
          case 7:
            WriteClock(out, idle);
            out->EndLine();
            break;
          case 11:
            WriteDate(out, date);
            out->EndLine();
            break;
          case 12:
            WriteClock(out, start);
            out->EndLine();
            break;
          case 28:
            WriteClock(out, work);
            out->EndLine();
            break;
          case 29:
            out->NumberLine(static_cast<std::uint64_t>(
                drive * (25 + rng_.Below(35)) / 3600));
            break;
          case 33:
            WritePlace(place, out);
            break;
          case 34:
            WritePlace(next_place, out);
            break;
          case 35:
            WriteStamp(out, date, start);
            out->EndLine();
            break;
          case 36:
            WriteStamp(out, date, end);
            out->EndLine();
            break;
          default:
            out->NumberLine(static_cast<std::uint64_t>(rng_.Below(1000)));
            break;
        }
      }
      place = next_place;
    }
  }

  void WriteEvents(Unit* unit, const Date& date, int shift_start, int shift_end,
                   ExportText* out) {
    const int count = static_cast<int>(kinds_.size());
    const int speed_kmh = 25 + rng_.Below(35);
    // More events than seconds in the shift: they share its seconds evenly.
    const int span = shift_end - shift_start;
    const bool crowded = count > span;
    int time = shift_start - 1;
    bool pto_on = false;
    int place = unit->round[0];
    for (int i = 0; i < count; ++i) {
      int step;
      if (crowded) {
        step = shift_start + ShareOf(span, i, count) - time;
      } else {
        // Spreads the remaining events evenly over what is left of the
        // shift while keeping one second free for each of them.
        const int remaining = count - i;
        const int slack = shift_end - time - remaining;
        step = 1 + rng_.Below(std::min(slack, 2 * slack / remaining) + 1);
      }
      const auto elapsed = static_cast<std::uint64_t>(step);
      time += step;
      // With the PTO on the unit mostly stands, at most creeping along.
      unit->odometer_m +=
          pto_on
              ? elapsed / 2 * static_cast<std::uint64_t>(rng_.Below(2))
              : elapsed * static_cast<std::uint64_t>(speed_kmh) * 1000 / 3600;
      unit->fuel_ml += elapsed * (pto_on ? 4000u : 11000u) / 3600;

      WriteStamp(out, date, time);
      out->EndLine();
      switch (kinds_[static_cast<std::size_t>(i)]) {
        case EventKind::kIgnitionOn:
          out->Text("Ignition On");
          break;
        case EventKind::kIgnitionOff:
          out->Text("Ignition Off");
          break;
        case EventKind::kPtoSwitch:
          out->Text(pto_on ? "PTO Disengaged at " : "PTO Engaged at ");
          WriteClock(out, time);
          out->Text(" with an odometer of ");
          out->Number(unit->odometer_m / 1000);
          out->Text(" and fuel count ");
          out->Number(unit->fuel_ml / 1000);
          pto_on = !pto_on;
          break;
        case EventKind::kPtoDuration:
          out->Text("PTO ");
          WriteClock(out, 60 * (5 + rng_.Below(86)));
          out->Text(" Manual");
          break;
        case EventKind::kLocation: {
          const int to = NextPlace(*unit, place);
          out->Text("Location ");
          out->Text(Place(place));
          out->Text(" -> ");
          out->Text(Place(to));
          place = to;
          break;
        }
        case EventKind::kRoute:
          out->Text("Route ");
          out->Text(kRoutes[rng_.Below(static_cast<int>(std::size(kRoutes)))]);
          break;
        case EventKind::kPeriodic:
          out->Text("Periodic position ");
          out->Number(static_cast<std::uint64_t>(rng_.Below(90)));
          out->Text(" km/h heading ");
          out->Number(static_cast<std::uint64_t>(rng_.Below(360)));
          break;
        case EventKind::kOther:
          WriteOtherEvent(out);
          break;
      }
      out->EndLine();
    }
  }

  void WriteOtherEvent(ExportText* out) {
    switch (rng_.Below(5)) {
      case 0:
        out->Text("Harsh Braking");
        break;
      case 1:
        out->Text("Harsh Acceleration");
        break;
      case 2:
        out->Text("Speeding ");
        out->Number(static_cast<std::uint64_t>(70 + rng_.Below(40)));
        out->Text(" km/h");
        break;
      case 3:
        out->Text("Idle ");
        out->Number(static_cast<std::uint64_t>(2 + rng_.Below(28)));
        out->Text(" min");
        break;
      default:
        out->Text("Door Open");
        break;
    }
  }

  // Part `k` of `parts` of `span` seconds, rounded down.
  static int ShareOf(int span, int k, int parts) {
    return static_cast<int>(static_cast<std::int64_t>(span) * k / parts);
  }

  ExportMix mix_;
  bool crlf_;
  int events_per_block_;
  int segments_per_block_;
  Rng rng_;
  std::uint64_t next_block_ = 0;
  std::vector<Date> dates_;
  std::vector<Unit> units_;
  std::vector<std::string> places_;
  std::vector<EventKind> kinds_;
};

ExportGenerator::ExportGenerator(const ExportShape& shape) {
  const int units = shape.units != 0                   ? shape.units
                    : shape.mix == ExportMix::kTypical ? 40
                                                       : 400;
  impl_ = std::make_unique<Impl>(shape, units);
}

ExportGenerator::~ExportGenerator() = default;

void ExportGenerator::AppendBlock(std::string* out) {
  impl_->AppendBlock(out);
}

std::string GenerateExport(const ExportShape& shape, std::uint64_t blocks) {
  ExportGenerator generator(shape);
  std::string text;
  for (std::uint64_t i = 0; i < blocks; ++i) {
    generator.AppendBlock(&text);
  }
  return text;
}

}  // namespace tallora
