// The backup's records as JSON. The writer prints them; the reader rebuilds them from the
// fields it took and compares them with the file, so a readable field that does not agree with
// the fields it was derived from, or a key that does not belong, is found in one place.
#pragma once
#include <nlohmann/json.hpp>

#include "backup/backup.h"

namespace orvu {

using BackupJsonValue = nlohmann::ordered_json;

BackupJsonValue ControllerJson(const Backup& backup);
BackupJsonValue DeviceJson(const BackupDevice& device);
BackupJsonValue RefJson(const BackupRef& ref);
// The decoded fields of a parameter block (type, times, flags, airlock) beside its raw bytes,
// for people who read the file; `show --json` prints the same fields.
BackupJsonValue ParamFieldsJson(const uint8_t* params);
BackupJsonValue PassageJson(const BackupPassage& passage, int number);
BackupJsonValue BackupJson(const Backup& backup);

}  // namespace orvu
