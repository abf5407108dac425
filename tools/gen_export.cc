// Synthetic export generator: writes a telematics export (sqlline.txt) of any
// size for load and layout tests, byte for byte the same for the same options
// on every platform.
//
// Every block is a marker line, the 207 header lines, 1 to 6 segments of 37
// lines, an "Admin N" line and N two-line events, each line shorter than its
// read limit minus one even with CRLF line ends. Blocks cycle over
// K units x D consecutive dates from 06/06/2022: block b is unit b % K on
// date (b / K) % D, and each unit's odometer and fuel count keep rising
// from one of its blocks to the next. Event timestamps rise strictly within
// a block and stay on the block's date.
//
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
// A typical block is about 4.3 kB, a location-heavy one about 12 kB. One
// block in 40 carries a header line 160 of 1000 to 1996 characters.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr std::string_view kUsage =
    "usage: gen_export --out FILE [--seed N] (--size-mb M | --blocks N)\n"
    "                  [--mix typical|location-heavy] [--crlf] [--units K]\n"
    "                  [--dates D]\n"
    "\n"
    "Writes a synthetic telematics export. The same options give the same\n"
    "bytes on every platform.\n"
    "\n"
    "  --out FILE      file to write (replaced)\n"
    "  --seed N        random seed, default 1\n"
    "  --size-mb M     write whole blocks until M x 1000000 bytes are reached\n"
    "  --blocks N      write exactly N blocks\n"
    "  --mix NAME      typical (default) or location-heavy\n"
    "  --crlf          end lines with CR LF instead of LF\n"
    "  --units K       units cycled over, default 40 (location-heavy: 400)\n"
    "  --dates D       consecutive dates from 06/06/2022, default 7\n"
    "\n"
    "Block b is unit b % K on date (b / K) % D. Each block has 1-6\n"
    "segments. Events per block:\n"
    "  typical         30-50 (mean 40): 0-4 PTO engage/disengage pairs\n"
    "                  (~10%), 0-2 PTO durations, 2-6 location moves over\n"
    "                  the unit's round of 5 places (~10%), 1-2 routes,\n"
    "                  30% periodic, the rest ignition, braking, speeding\n"
    "                  and idling (~45%)\n"
    "  location-heavy  150-250 (mean 200): 80% location moves over 48\n"
    "                  places, 0-2 PTO pairs, 0-1 PTO durations, 1-2\n"
    "                  routes, 10% periodic, the rest others (~8%)\n";

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

// Buffered output file. Every write error is kept and reported by Close().
class Output {
 public:
  explicit Output(bool crlf) : crlf_(crlf), buffer_(kBufferSize) {}
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  ~Output() {
    if (file_ != nullptr) {
      std::fclose(file_);
    }
  }

  // True iff `path` was opened for writing; otherwise fills *err.
  bool Open(const char* path, std::string* err) {
    file_ = std::fopen(path, "wb");
    if (file_ == nullptr) {
      *err = std::string("open: ") + path + ": " + std::strerror(errno);
      return false;
    }
    path_ = path;
    return true;
  }

  void Text(std::string_view text) {
    if (used_ + text.size() > buffer_.size()) {
      Drain();
    }
    std::memcpy(buffer_.data() + used_, text.data(), text.size());
    used_ += text.size();
  }

  void Char(char c) { Text(std::string_view(&c, 1)); }

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

  bool failed() const { return failed_; }
  std::uint64_t bytes() const { return drained_ + used_; }

  // Writes out the buffer and closes the file. True iff every write and the
  // close succeeded; otherwise fills *err.
  bool Close(std::string* err) {
    Drain();
    std::FILE* file = file_;
    file_ = nullptr;
    if (std::fclose(file) != 0 && !failed_) {
      failed_ = true;
      errno_ = errno;
    }
    if (failed_) {
      *err = "write: " + path_ + ": " + std::strerror(errno_);
      return false;
    }
    return true;
  }

 private:
  static constexpr std::size_t kBufferSize = std::size_t{8} << 20;

  void Drain() {
    if (used_ != 0 && !failed_ &&
        std::fwrite(buffer_.data(), 1, used_, file_) != used_) {
      failed_ = true;
      errno_ = errno;
    }
    drained_ += used_;
    used_ = 0;
  }

  bool crlf_;
  std::vector<char> buffer_;
  std::size_t used_ = 0;
  std::uint64_t drained_ = 0;
  std::FILE* file_ = nullptr;
  std::string path_;
  bool failed_ = false;
  int errno_ = 0;
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

void WriteDate(Output* out, const Date& date) {
  out->Padded(static_cast<std::uint64_t>(date.day), 2);
  out->Char('/');
  out->Padded(static_cast<std::uint64_t>(date.month), 2);
  out->Char('/');
  out->Padded(static_cast<std::uint64_t>(date.year), 4);
}

// HH:MM:SS; also serves durations, which stay below 100 hours here.
void WriteClock(Output* out, int seconds) {
  const auto s = static_cast<std::uint64_t>(seconds);
  out->Padded(s / 3600, 2);
  out->Char(':');
  out->Padded(s / 60 % 60, 2);
  out->Char(':');
  out->Padded(s % 60, 2);
}

void WriteStamp(Output* out, const Date& date, int seconds) {
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
constexpr int kPlaceCount = static_cast<int>(std::size(kPlaces));

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

enum class Mix { kTypical, kLocationHeavy };

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

class Generator {
 public:
  Generator(Mix mix, std::uint64_t seed, int units, int dates)
      : mix_(mix), rng_(seed) {
    Date date = {6, 6, 2022};
    for (int d = 0; d < dates; ++d) {
      dates_.push_back(date);
      date = NextDay(date);
    }
    units_.resize(static_cast<std::size_t>(units));
    for (int u = 0; u < units; ++u) {
      InitUnit(u, &units_[static_cast<std::size_t>(u)]);
    }
  }

  void WriteBlock(std::uint64_t index, Output* out) {
    const auto unit_count = static_cast<std::uint64_t>(units_.size());
    Unit& unit = units_[static_cast<std::size_t>(index % unit_count)];
    const auto date_index =
        static_cast<std::size_t>(index / unit_count % dates_.size());
    const Date& date = dates_[date_index];
    const int weekday = static_cast<int>(date_index % 7);
    const int shift_start = 5 * 3600 + rng_.Below(3 * 3600);
    const int shift_end = shift_start + 8 * 3600 + rng_.Below(4 * 3600);
    const int segments = 1 + rng_.Below(6);
    PlanEvents();

    // A marker line has "tr" at its start and 'h' at position 4.
    out->Line("tripheader");
    WriteHeader(unit, date, weekday, shift_start, segments, out);
    WriteSegments(unit, date, shift_start, shift_end, segments, out);
    out->Text("Admin ");
    out->NumberLine(kinds_.size());
    WriteEvents(&unit, date, shift_start, shift_end, out);
  }

 private:
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
        unit->round[i] = 1 + rng_.Below(kPlaceCount - 1);
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
    if (mix_ == Mix::kTypical) {
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
                   int shift_start, int segments, Output* out) {
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
  void WriteGridRow(Output* out) {
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
  void WriteLongLine(Output* out) {
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

  void WritePlace(int place, Output* out) {
    out->Text(kPlaces[place]);
    out->Text(kPlaceSuffixes[rng_.Below(
        static_cast<int>(std::size(kPlaceSuffixes)))]);
    out->EndLine();
  }

  int NextPlace(const Unit& unit, int from) {
    int to = from;
    while (to == from) {
      to = mix_ == Mix::kTypical ? unit.round[rng_.Below(kRoundSize)]
                                 : rng_.Below(kPlaceCount);
    }
    return to;
  }

  void WriteSegments(const Unit& unit, const Date& date, int shift_start,
                     int shift_end, int segments, Output* out) {
    const int slice = (shift_end - shift_start) / segments;
    int place = unit.round[0];
    for (int s = 0; s < segments; ++s) {
      const int start = shift_start + s * slice + rng_.Below(slice / 10);
      const int end = shift_start + (s + 1) * slice - rng_.Below(slice / 10);
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
                   Output* out) {
    const int count = static_cast<int>(kinds_.size());
    const int speed_kmh = 25 + rng_.Below(35);
    int time = shift_start - 1;
    bool pto_on = false;
    int place = unit->round[0];
    for (int i = 0; i < count; ++i) {
      // Spreads the remaining events evenly over what is left of the shift
      // while keeping one second free for each of them.
      const int remaining = count - i;
      const int slack = shift_end - time - remaining;
      const int step =
          1 + rng_.Below(std::min(slack, 2 * slack / remaining) + 1);
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
          out->Text(kPlaces[place]);
          out->Text(" -> ");
          out->Text(kPlaces[to]);
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

  void WriteOtherEvent(Output* out) {
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

  Mix mix_;
  Rng rng_;
  std::vector<Date> dates_;
  std::vector<Unit> units_;
  std::vector<EventKind> kinds_;
};

struct Options {
  const char* out = nullptr;
  std::uint64_t seed = 1;
  double size_mb = 0;
  std::uint64_t blocks = 0;
  Mix mix = Mix::kTypical;
  bool crlf = false;
  std::uint64_t units = 0;
  std::uint64_t dates = 7;
};

// True iff `text` is a decimal number from `min` to `max`.
bool ParseCount(const char* text, std::uint64_t min, std::uint64_t max,
                std::uint64_t* value) {
  if (*text < '0' || *text > '9') {
    return false;
  }
  errno = 0;
  char* end = nullptr;
  const unsigned long long parsed = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || parsed < min || parsed > max) {
    return false;
  }
  *value = parsed;
  return true;
}

// True iff the command line is complete and valid; otherwise fills *err.
bool ParseOptions(int argc, char** argv, Options* options, std::string* err) {
  bool have_size = false;
  bool have_blocks = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view flag = argv[i];
    if (flag == "--crlf") {
      options->crlf = true;
      continue;
    }
    if (i + 1 >= argc) {
      *err = "unknown option or missing value: " + std::string(flag);
      return false;
    }
    const char* value = argv[++i];
    bool ok = true;
    if (flag == "--out") {
      options->out = value;
    } else if (flag == "--seed") {
      ok = ParseCount(value, 0, UINT64_MAX, &options->seed);
    } else if (flag == "--blocks") {
      ok = ParseCount(value, 1, UINT64_MAX, &options->blocks);
      have_blocks = true;
    } else if (flag == "--units") {
      ok = ParseCount(value, 1, 99999, &options->units);
    } else if (flag == "--dates") {
      ok = ParseCount(value, 1, 36500, &options->dates);
    } else if (flag == "--size-mb") {
      char* end = nullptr;
      options->size_mb = std::strtod(value, &end);
      ok = *value != '\0' && *end == '\0' && options->size_mb > 0 &&
           options->size_mb <= 1e7;
      have_size = true;
    } else if (flag == "--mix") {
      const std::string_view name = value;
      ok = name == "typical" || name == "location-heavy";
      options->mix = name == "typical" ? Mix::kTypical : Mix::kLocationHeavy;
    } else {
      *err = "unknown option: " + std::string(flag);
      return false;
    }
    if (!ok) {
      *err = "bad value for " + std::string(flag) + ": " + value;
      return false;
    }
  }
  if (options->out == nullptr) {
    *err = "--out is required";
    return false;
  }
  if (have_size == have_blocks) {
    *err = "give exactly one of --size-mb and --blocks";
    return false;
  }
  if (options->units == 0) {
    options->units = options->mix == Mix::kTypical ? 40 : 400;
  }
  return true;
}

int Run(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
  }
  Options options;
  std::string err;
  if (!ParseOptions(argc, argv, &options, &err)) {
    std::fprintf(stderr, "gen_export: %s (see --help)\n", err.c_str());
    return 2;
  }
  Output out(options.crlf);
  if (!out.Open(options.out, &err)) {
    std::fprintf(stderr, "gen_export: %s\n", err.c_str());
    return 1;
  }
  Generator generator(options.mix, options.seed,
                      static_cast<int>(options.units),
                      static_cast<int>(options.dates));
  const auto target_bytes =
      static_cast<std::uint64_t>(std::ceil(options.size_mb * 1e6));
  for (std::uint64_t block = 0; !out.failed(); ++block) {
    if (options.blocks != 0 ? block >= options.blocks
                            : out.bytes() >= target_bytes) {
      break;
    }
    generator.WriteBlock(block, &out);
  }
  if (!out.Close(&err)) {
    std::fprintf(stderr, "gen_export: %s\n", err.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("gen_export: out of memory\n", stderr);
    return 1;
  }
}
