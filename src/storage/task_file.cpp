#include "storage/task_file.h"

#include <charconv>
#include <map>
#include <utility>

#include "session/clock.h"
#include "storage/profile_format.h"
#include "storage/profile_text.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"

namespace ordalis {

std::optional<int> TaskKeyNumber(std::string_view key) {
  if (key.size() != 3 || key[0] == '0') return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
  if (error != std::errc{} || end != key.data() + key.size()) return std::nullopt;
  if (number < kFirstTaskKey || number >= kFirstTaskKey + kMaxTasks) return std::nullopt;
  return number;
}

const char kHiddenEntriesText[] =
    "Diese Kategorie enth\xE4lt Eintr\xE4ge, die Ordalis nicht anzeigen kann (etwa mehr als 100 "
    "Aufgaben oder von Hand eingef\xFCgte Zeilen). Sie bleiben unver\xE4ndert in der Datei "
    "erhalten. ";

const char* WriteFailureText(WriteFailure failure) {
  switch (failure) {
    case WriteFailure::kNone: return "";
    case WriteFailure::kFolderNotWritable:
      return "Im Programmordner kann keine Datei angelegt werden: Er ist schreibgesch\xFCtzt "
             "oder Ihnen fehlt dort das Schreibrecht. ";
    case WriteFailure::kDiskFull: return "Auf dem Laufwerk ist kein Speicherplatz mehr frei. ";
    case WriteFailure::kDataFileInUse:
      return "Die Datei ist schreibgesch\xFCtzt oder von einem anderen Programm ge\xF6"
             "ffnet. ";
    case WriteFailure::kDataFileUnreadable: return "Die Datei konnte nicht gelesen werden. ";
    case WriteFailure::kForeignCharacters:
      return "Die Datei wurde als Unicode-Text gespeichert und enth\xE4lt Zeichen, die Ordalis "
             "nicht unver\xE4ndert zur\xFC"
             "ckschreiben kann. ";
    case WriteFailure::kBackupInTheWay:
      return "Vor jeder \xC4nderung legt Ordalis eine Sicherung an. Das geht nicht, weil im "
             "Programmordner ein Ordner \x84Vemra.bak\x93 oder eine Datei \x84Sicherungen\x93 im "
             "Weg "
             "ist. Bitte benennen Sie ihn um oder verschieben Sie ihn. ";
    case WriteFailure::kOther: break;
  }
  return "Die Ursache ist unbekannt. ";
}

namespace {

bool IsComment(const ProfileLine& line) {
  return line.kind == ProfileLine::Kind::kNoEquals && line.name.front() == ';';
}

void LoadSection(std::string_view text, Category category, bool withTime, CategoryLoad& load) {
  const std::string_view section = SectionOf(category);
  const SectionLines lines = FindSection(text, section);
  // By key number; a key that stands twice counts as its first entry, as for
  // the profile reader, and the second one is hidden.
  std::map<int, std::string> stored;
  bool passwordSeen = false;
  for (const ProfileLine& line : lines.first) {
    if (line.kind == ProfileLine::Kind::kBlank || IsComment(line)) continue;
    if (line.kind == ProfileLine::Kind::kEntry) {
      const auto number = TaskKeyNumber(line.name);
      if (number && stored.emplace(*number, ProfileValueAsRead(line.value)).second) continue;
      if (!number && category == Category::Others && line.name == kPasswordKey && !passwordSeen) {
        passwordSeen = true;
        continue;
      }
    }
    ++load.hidden;
  }
  for (const ProfileLine& line : lines.others) {
    if (line.kind != ProfileLine::Kind::kBlank && !IsComment(line)) ++load.hidden;
  }
  for (auto& [number, value] : stored) {
    const std::string key = std::to_string(number);
    DecodedTask decoded = DecodeTask(value);
    if (decoded.status == DecodeStatus::kRefused) {
      load.unreadable.push_back({std::string(section), key, std::move(value)});
    } else if (decoded.status == DecodeStatus::kTask) {
      if (!withTime) decoded.task.time.clear();
      load.rows.push_back({std::move(decoded.task), category, key, std::move(value)});
    }
  }
}

}  // namespace

TaskCount CountTasks(std::string_view text) {
  CategoryLoad load;
  for (Category category : {Category::Important, Category::Others, Category::Done}) {
    LoadSection(text, category, true, load);
  }
  return {load.rows.size(), load.unreadable.size()};
}

CategoryLoad LoadCategoryText(std::string_view text, Category category) {
  CategoryLoad load;
  if (category == Category::All) {
    LoadSection(text, Category::Important, true, load);
    LoadSection(text, Category::Others, false, load);
  } else {
    LoadSection(text, category, true, load);
  }
  // The snoozes belong to the important tasks: a damaged one is told with
  // them, and so is a damaged rule.
  const bool tells = category == Category::Important || category == Category::All;
  if (tells) SnoozesOf(text, &load.unreadable);
  const RepeatRules rules = RepeatRulesOf(text, tells ? &load.unreadable : nullptr);
  for (TaskRow& row : load.rows) {
    const auto rule = rules.find(RepeatKey(row.category, row.key));
    if (rule != rules.end()) row.repeat = rule->second.kind;
  }
  return load;
}

std::optional<std::string> FirstProfileValue(std::string_view text, std::string_view section,
                                             std::string_view key) {
  for (const ProfileLine& line : FindSection(text, section).first) {
    if (line.kind == ProfileLine::Kind::kEntry && SameProfileName(line.name, key)) {
      return ProfileValueAsRead(line.value);
    }
  }
  return std::nullopt;
}

ReminderFlags ReminderFlagsOf(std::string_view text) {
  ReminderFlags flags;
  // A key that stands twice counts as its first entry, as for a single read.
  for (const ProfileLine& line : FindSection(text, kReminderSection).first) {
    if (line.kind != ProfileLine::Kind::kEntry) continue;
    flags.emplace(std::string(line.name),
                  ScrambleText(ProfileValueAsRead(line.value)).value_or(std::string()));
  }
  return flags;
}

namespace {

// "mm-dd-yyyy hh:mm" as a minute number, only for a time that exists.
std::optional<long long> SnoozeMinute(std::string_view text) {
  if (text.size() != 16 || text[2] != '-' || text[5] != '-' || text[10] != ' ' || text[13] != ':') {
    return std::nullopt;
  }
  const auto number = [&](size_t at, size_t count) -> std::optional<int> {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + count, value);
    if (error != std::errc{} || end != text.data() + at + count) return std::nullopt;
    return value;
  };
  LocalTime time;
  const auto month = number(0, 2), day = number(3, 2), year = number(6, 4);
  const auto hour = number(11, 2), minute = number(14, 2);
  if (!month || !day || !year || !hour || !minute) return std::nullopt;
  time.month = *month;
  time.day = *day;
  time.year = *year;
  time.hour = *hour;
  time.minute = *minute;
  const long long at = MinuteNumber(time);
  // Read back, "02-31-2027 08:00" or "25:00" is another time: not this one.
  if (TimeOfMinute(at) != time) return std::nullopt;
  return at;
}

}  // namespace

// The scrambled values of a section by key, each read by `parse`; one it
// cannot read is left out and named in `damaged`.
template <typename Parse>
auto ValuesOf(std::string_view text, std::string_view section, Parse parse,
              std::vector<UnreadableEntry>* damaged) {
  std::map<std::string, typename decltype(parse(std::string_view()))::value_type, std::less<>>
      values;
  for (const ProfileLine& line : FindSection(text, section).first) {
    if (line.kind != ProfileLine::Kind::kEntry) continue;
    const std::string stored = ProfileValueAsRead(line.value);
    const std::optional<std::string> plain = ScrambleText(stored);
    if (const auto value = plain ? parse(*plain) : std::nullopt) {
      values.emplace(std::string(line.name), *value);
    } else if (damaged) {
      damaged->push_back({std::string(section), std::string(line.name), stored});
    }
  }
  return values;
}

Snoozes SnoozesOf(std::string_view text, std::vector<UnreadableEntry>* damaged) {
  return ValuesOf(text, kSnoozeSection, SnoozeMinute, damaged);
}

std::string SnoozeValue(long long minute) {
  const LocalTime time = TimeOfMinute(minute);
  return ScrambleText(FormatDate(time) + " " + FormatTime(time)).value_or(std::string());
}

std::string RepeatKey(Category category, std::string_view key) {
  return std::string(SectionOf(category)) + "." + std::string(key);
}

RepeatRules RepeatRulesOf(std::string_view text, std::vector<UnreadableEntry>* damaged) {
  return ValuesOf(text, kRepeatSection, RepeatRuleFromText, damaged);
}

std::string RepeatValue(const RepeatRule& rule) {
  return ScrambleText(RepeatRuleText(rule)).value_or(std::string());
}

std::string StoredPasswordOf(std::string_view text) {
  return FirstProfileValue(text, SectionOf(Category::Others), kPasswordKey).value_or(std::string());
}

}  // namespace ordalis
