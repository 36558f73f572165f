// Reading a backup file. Every value is checked where it is taken; then the records are built
// again from what was taken and must equal the file, key for key, so that no key is unknown,
// missing or repeated and no readable field says something the raw fields do not.
#include <set>
#include <vector>

#include "backup/backup_file.h"
#include "backup/backup_json.h"
#include "comm/identity.h"

namespace orvu {
namespace {

using Json = BackupJsonValue;

constexpr size_t kMaxFileBytes = 1 << 20;  // the largest controller gives about 80 kB

[[noreturn]] void Fail(const std::string& pointer, const std::string& reason) {
  throw BackupFileError(pointer, reason);
}

std::string At(const std::string& pointer, std::string_view key) { return pointer + "/" + PointerToken(key); }
std::string At(const std::string& pointer, size_t index) { return pointer + "/" + std::to_string(index); }

// Finds the first key that appears twice in one object; the DOM keeps only one of them.
class RepeatedKeys : public nlohmann::json_sax<Json> {
 public:
  std::string found;  // the repeated key's pointer; empty while none

  bool null() override { return Value(); }
  bool boolean(bool) override { return Value(); }
  bool number_integer(number_integer_t) override { return Value(); }
  bool number_unsigned(number_unsigned_t) override { return Value(); }
  bool number_float(number_float_t, const string_t&) override { return Value(); }
  bool string(string_t&) override { return Value(); }
  bool binary(binary_t&) override { return Value(); }
  bool start_object(std::size_t) override {
    Value();
    frames_.push_back({true, {}, {}, 0});
    return true;
  }
  bool key(string_t& key) override {
    Frame& frame = frames_.back();
    frame.key = key;
    if (frame.keys.insert(key).second) return true;
    found = Pointer();
    return false;
  }
  bool end_object() override { return Pop(); }
  bool start_array(std::size_t) override {
    Value();
    frames_.push_back({false, {}, {}, 0});
    return true;
  }
  bool end_array() override { return Pop(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  struct Frame {
    bool object;
    std::set<std::string> keys;
    std::string key;
    size_t next;  // arrays: elements begun so far
  };
  bool Value() {
    if (!frames_.empty() && !frames_.back().object) ++frames_.back().next;
    return true;
  }
  bool Pop() {
    frames_.pop_back();
    return true;
  }
  std::string Pointer() const {
    std::string pointer;
    for (const Frame& frame : frames_)
      pointer = frame.object ? At(pointer, frame.key) : At(pointer, frame.next - 1);
    return pointer;
  }
  std::vector<Frame> frames_;
};

// "[json.exception.parse_error.101] parse error at line 3, column 7: ..." -> from "line" on.
std::string SyntaxReason(const std::string& what) {
  const size_t at = what.find("line ");
  return "not valid JSON: " + (at == std::string::npos ? what : what.substr(at));
}

Json ParseJson(std::string_view text) {
  if (text.size() > kMaxFileBytes) Fail("", "larger than any backup (" + std::to_string(text.size()) + " bytes)");
  Json doc;
  try {
    doc = Json::parse(text);
  } catch (const Json::parse_error& e) {
    Fail("", SyntaxReason(e.what()));
  } catch (const Json::exception& e) {
    // Text the grammar accepts but no value can hold, such as a number beyond a double.
    const std::string what = e.what();
    const size_t at = what.find("] ");
    Fail("", "not valid JSON: " + (at == std::string::npos ? what : what.substr(at + 2)));
  }
  RepeatedKeys repeated;
  Json::sax_parse(text, &repeated);
  if (!repeated.found.empty()) Fail(repeated.found, "the key appears twice");
  return doc;
}

const Json& Member(const Json& object, const std::string& pointer, const char* key) {
  if (!object.is_object()) Fail(pointer, "expected an object");
  const auto it = object.find(key);
  if (it == object.end()) Fail(At(pointer, key), "missing");
  return *it;
}

uint32_t Whole(const Json& object, const std::string& pointer, const char* key, uint32_t max) {
  const Json& v = Member(object, pointer, key);
  if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > int64_t(max))
    Fail(At(pointer, key), "expected a whole number 0-" + std::to_string(max));
  return v.get<uint32_t>();
}

bool Flag(const Json& object, const std::string& pointer, const char* key) {
  const Json& v = Member(object, pointer, key);
  if (!v.is_boolean()) Fail(At(pointer, key), "expected true or false");
  return v.get<bool>();
}

const Json& ArrayOf(const Json& object, const std::string& pointer, const char* key, size_t max) {
  const Json& v = Member(object, pointer, key);
  if (!v.is_array()) Fail(At(pointer, key), "expected an array");
  if (v.size() > max) Fail(At(pointer, key), "more than " + std::to_string(max) + " entries");
  return v;
}

uint32_t DeviceId(const Json& object, const std::string& pointer) {
  const uint32_t id = Whole(object, pointer, "id", 0xFFFFFFFF);
  if ((id >> 16) == 0xFFFF) Fail(At(pointer, "id"), "the identity of an empty slot names no device");
  return id;
}

// The file equals what its fields rebuild: every difference is a key that does not belong, a
// key that is missing, or a readable value the raw values contradict.
void Agrees(const Json& given, const Json& rebuilt, const std::string& pointer) {
  if (given.is_object() && rebuilt.is_object()) {
    for (const auto& [key, value] : given.items())
      if (!rebuilt.contains(key)) Fail(At(pointer, key), "unknown key");
    for (const auto& [key, value] : rebuilt.items()) {
      if (!given.contains(key)) Fail(At(pointer, key), "missing");
      Agrees(given[key], value, At(pointer, key));
    }
    return;
  }
  if (given.is_array() && rebuilt.is_array() && given.size() == rebuilt.size()) {
    for (size_t i = 0; i < given.size(); ++i) Agrees(given[i], rebuilt[i], At(pointer, i));
    return;
  }
  if (given != rebuilt)
    Fail(pointer, "is " + given.dump() + ", but the record's other fields make it " + rebuilt.dump());
}

void ReadController(const Json& doc, Backup& backup) {
  const std::string pointer = "/controller";
  const Json& controller = Member(doc, "", "controller");
  backup.controllerId = Whole(controller, pointer, "id", 0xFFFFFFFF);
  const Json& ip = Member(controller, pointer, "ip");
  if (!ip.is_string()) Fail(At(pointer, "ip"), "expected a text");
  backup.ip = ip.get<std::string>();
  backup.mode = ModeOf(static_cast<uint16_t>(Whole(controller, pointer, "mode", 3)));
}

void ReadDevices(const Json& doc, Backup& backup) {
  const Json& devices = ArrayOf(doc, "", "devices", kMaxDevices);
  int previous = -1;
  for (size_t i = 0; i < devices.size(); ++i) {
    const std::string pointer = At("/devices", i);
    const Json& d = devices[i];
    BackupDevice device;
    device.index = static_cast<int>(Whole(d, pointer, "index", kMaxDevices - 1));
    if (device.index <= previous) Fail(At(pointer, "index"), "the devices must follow in ascending index order");
    previous = device.index;
    device.id = DeviceId(d, pointer);
    device.suffixNumber = static_cast<uint8_t>(Whole(d, pointer, "suffixNumber", 255));
    device.outputs = static_cast<uint16_t>(Whole(d, pointer, "outputs", 15));
    device.inputs = static_cast<uint16_t>(Whole(d, pointer, "inputs", 15));
    device.readers = static_cast<uint16_t>(Whole(d, pointer, "readers", 3));
    device.openCollector = Flag(d, pointer, "openCollector");
    device.state = static_cast<uint8_t>(Whole(d, pointer, "state", 255));
    backup.devices.push_back(device);
  }
}

BackupRef ReadRef(const Json& bindings, const std::string& pointer, const char* key) {
  const Json& r = Member(bindings, pointer, key);
  const std::string at = At(pointer, key);
  BackupRef ref;
  if (r.is_null()) return ref;
  if (!r.is_object()) Fail(at, "expected null (unbound) or an object");
  if (r.contains("unresolved")) {
    ref.kind = BackupRef::Kind::kUnresolved;
    ref.raw = static_cast<IoRef>(Whole(r, at, "unresolved", 0xFFFE));
    return ref;
  }
  ref.kind = BackupRef::Kind::kDevice;
  ref.id = DeviceId(r, at);
  const uint32_t channel = Whole(r, at, "channel", 32);
  if (channel == 0) Fail(At(at, "channel"), "channels count from 1");
  ref.channel = static_cast<int>(channel - 1);
  ref.nc = Flag(r, at, "nc");
  return ref;
}

void ReadPassages(const Json& doc, Backup& backup) {
  const Json& passages = ArrayOf(doc, "", "passages", kMaxPassages);
  for (size_t p = 0; p < passages.size(); ++p) {
    const std::string pointer = At("/passages", p);
    const Json& g = passages[p];
    BackupPassage passage;
    const std::string bindingsAt = At(pointer, "bindings");
    const Json& bindings = Member(g, pointer, "bindings");
    for (int k = 0; k < kPassageSlots; ++k) passage.slots[k] = ReadRef(bindings, bindingsAt, SlotAt(k).key);
    const Json& params = ArrayOf(g, pointer, "params", kParamBytes);
    if (params.size() != kParamBytes) Fail(At(pointer, "params"), "expected 8 bytes");
    for (int b = 0; b < kParamBytes; ++b) {
      const std::string at = At(At(pointer, "params"), static_cast<size_t>(b));
      const Json& v = params[static_cast<size_t>(b)];
      // Bytes 4-7 above 127 read back from the controller as 127: they could never verify.
      const int64_t max = b >= 4 ? 127 : 255;
      if (!v.is_number_integer() || v.get<int64_t>() < 0 || v.get<int64_t>() > max)
        Fail(at, "expected a whole number 0-" + std::to_string(max));
      passage.params[b] = v.get<uint8_t>();
    }
    backup.passages.push_back(passage);
  }
}

}  // namespace

std::string PointerToken(std::string_view key) {
  std::string token;
  for (char c : key) {
    if (c == '~') token += "~0";
    else if (c == '/') token += "~1";
    else token += c;
  }
  return token;
}

Backup ParseBackupFile(std::string_view text) {
  const Json doc = ParseJson(text);
  if (!doc.is_object()) Fail("", "expected an object: this is no orvuQ46 backup");
  const Json& format = Member(doc, "", "format");
  if (format != kBackupFormat) Fail("/format", "expected \"" + std::string(kBackupFormat) + "\": this is no orvuQ46 backup");
  const Json& version = Member(doc, "", "version");
  if (!version.is_number_integer() || version.get<int64_t>() < 1)
    Fail("/version", "expected a version number");
  if (version.get<int64_t>() != kBackupVersion)
    Fail("/version", "version " + version.dump() + " is not read by this program (it reads version " +
                         std::to_string(kBackupVersion) + ")");
  Backup backup;
  const Json& taken = Member(doc, "", "taken");
  if (!taken.is_string()) Fail("/taken", "expected a text");
  backup.taken = taken.get<std::string>();
  ReadController(doc, backup);
  ReadDevices(doc, backup);
  ReadPassages(doc, backup);
  Agrees(doc, BackupJson(backup), "");
  return backup;
}

}  // namespace orvu
