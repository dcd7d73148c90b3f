// The settings of one record as a table: each row names its section and key
// and says how one field is read from and written to the stored text.  A
// record's load and save both walk its one table, so a key is spelt once
// and a field can never be saved under another key than it is read from.
//
// Rows are made by the functions below from an accessor, a generic lambda
// that returns the field of a record (`[](auto& r) -> auto& { return
// r.prefs.mailDir; }`), so one accessor serves the load and the save.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "mailstore/UserInteraction.h"
#include "shell/Preferences.h"
#include "shell/SettingsKeys.h"
#include "shell/SettingsStore.h"

namespace shell {

template <class Record>
struct SettingRow {
  const char* section;
  const char* key;
  // Takes the stored text (nothing when the key is absent) into the record.
  // False ends the load of the rows of the same group (the margins).
  std::function<bool(Record&, const std::optional<std::string>& stored)> load;
  std::function<std::string(const Record&)> save;
  int group = 0;  // rows of one non-zero group stop together
};

template <class Record>
using SettingsTable = std::vector<SettingRow<Record>>;

template <class Record>
void LoadTable(const SettingsTable<Record>& table, Record& record, mailstore::UserInteraction& ui) {
  WithSettings(SettingsStore::Purpose::kLoad, ui, [&](SettingsStore& store) {
    int stoppedGroup = 0;
    for (const SettingRow<Record>& row : table) {
      if (row.group != 0 && row.group == stoppedGroup) continue;
      if (!row.load(record, store.ReadOptional(row.section, row.key))) stoppedGroup = row.group;
    }
  });
}

template <class Record>
void SaveTable(const SettingsTable<Record>& table, const Record& record, mailstore::UserInteraction& ui) {
  WithSettings(SettingsStore::Purpose::kSave, ui, [&](SettingsStore& store) {
    for (const SettingRow<Record>& row : table) store.WriteText(row.section, row.key, row.save(record));
  });
}

// --- rows by the type of what is stored ---------------------------------

// A text, as it is.  Absent: `fixed` when given, else the current value.
template <class Record, class Field>
SettingRow<Record> TextRow(const char* section, const char* key, Field field, std::optional<std::string> fixed = {}) {
  return {section, key,
          [field, fixed](Record& r, const std::optional<std::string>& stored) {
            if (stored) field(r) = *stored;
            else if (fixed) field(r) = *fixed;
            return true;
          },
          [field](const Record& r) { return std::string(field(r)); }};
}

// A decimal integer (or "0x" hexadecimal), passed through `take` when
// read.  Absent or not a number: `fixed` when given, else the current value.
template <class Record, class Field>
SettingRow<Record> NumberRow(const char* section, const char* key, Field field, std::optional<int> fixed = {},
                             int (*take)(int) = nullptr) {
  return {section, key,
          [field, fixed, take](Record& r, const std::optional<std::string>& stored) {
            int value = fixed ? *fixed : static_cast<int>(field(r));
            if (stored) ParseStoredNumber(*stored, value);
            field(r) = take ? take(value) : value;
            return true;
          },
          [field](const Record& r) { return std::to_string(static_cast<int>(field(r))); }};
}

// "1" or "0"; read as a number compared with 0.
template <class Record, class Field>
SettingRow<Record> FlagRow(const char* section, const char* key, Field field, std::optional<bool> fixed = {}) {
  return {section, key,
          [field, fixed](Record& r, const std::optional<std::string>& stored) {
            int value = (fixed ? *fixed : static_cast<bool>(field(r))) ? 1 : 0;
            if (stored) ParseStoredNumber(*stored, value);
            field(r) = value != 0;
            return true;
          },
          [field](const Record& r) { return std::string(field(r) ? "1" : "0"); }};
}

// Integers joined by ","; a missing item keeps its current value, an item
// that is not a number gives 0.  `field` returns an array of ints.
template <class Record, class Field>
SettingRow<Record> ListRow(const char* section, const char* key, Field field) {
  return {section, key,
          [field](Record& r, const std::optional<std::string>& stored) {
            if (!stored) return true;
            for (size_t i = 0; i < field(r).size(); ++i)
              field(r)[i] = ToIntOrZero(ListItem(*stored, static_cast<int>(i) + 1, std::to_string(field(r)[i])));
            return true;
          },
          [field](const Record& r) { return JoinNumbers(field(r).data(), field(r).size()); }};
}

// The row of a "WindowPos": `placement` and `screen` are accessors of the
// record's placement and of the screen it is corrected for.
template <class Record, class PlacementField, class ScreenField>
SettingRow<Record> PlacementRow(const char* section, PlacementField placement, ScreenField screen) {
  return {section, keys::kWindowPos,
          [placement, screen](Record& r, const std::optional<std::string>& stored) {
            placement(r) = ReadPlacement(stored ? *stored : PlacementText(placement(r)), placement(r), screen(r));
            return true;
          },
          [placement](const Record& r) { return PlacementText(placement(r)); }};
}

}  // namespace shell
