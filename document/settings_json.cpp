#include "document/settings_json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>

using Json = nlohmann::json;

// ---- Writing --------------------------------------------------------------------------

// Unless reading the shortest decimal as a double and rounding to float
// would land elsewhere: then the float's exact double.
OrderedJson JsonNumber(float value) {
  char text[32];
  const char* end = std::to_chars(text, text + sizeof text, value).ptr;
  double shortest = 0.0;
  std::from_chars(text, end, shortest);  // as the reader will, whatever the locale
  return static_cast<float>(shortest) == value ? shortest : static_cast<double>(value);
}

OrderedJson JsonNumbers(const float* values, std::size_t count) {
  OrderedJson array = OrderedJson::array();
  for (std::size_t i = 0; i < count; ++i) array.push_back(JsonNumber(values[i]));
  return array;
}

bool AllFinite(const OrderedJson& value) {
  if (value.is_number_float()) return std::isfinite(value.get<double>());
  if (value.is_structured())
    for (const OrderedJson& item : value)
      if (!AllFinite(item)) return false;
  return true;
}

// ---- Reading --------------------------------------------------------------------------

bool NestingWithin(const std::vector<std::uint8_t>& text, int most) {
  int depth = 0;
  bool inString = false, escaped = false;
  for (const std::uint8_t c : text) {
    if (inString) {
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
    } else if (c == '{' || c == '[') {
      if (++depth > most) return false;
    } else if (c == '}' || c == ']') {
      --depth;
    }
  }
  return true;
}

JsonFields JsonFields::Object(const char* key) {
  const Json* value = Find(key);
  if (value && !value->is_object()) {
    Fail(key, "is not an object");
    value = nullptr;
  }
  return JsonFields(value, path_ + key + ".", error_, file_);
}

bool JsonFields::ReadInt(const char* key, long long& out, long long lowest, long long highest) {
  const Json* value = Find(key);
  if (!value) return false;
  if (!value->is_number_integer()) {
    Fail(key, "is not a whole number");
    return false;
  }
  const long long v = value->is_number_unsigned()
                          ? static_cast<long long>(std::min<std::uint64_t>(
                                value->get<std::uint64_t>(), std::uint64_t(1) << 62))
                          : value->get<long long>();
  if (v < lowest || v > highest) {
    Fail(key, "is " + std::to_string(v) + ", not " + std::to_string(lowest) + " to " +
                  std::to_string(highest));
    return false;
  }
  out = v;
  return true;
}

void JsonFields::Unsigned(const char* key, std::uint64_t& out, std::uint64_t highest) {
  const Json* value = Find(key);
  if (!value) return;
  if (!value->is_number_unsigned()) return Fail(key, "is not a whole number from 0");
  const std::uint64_t v = value->get<std::uint64_t>();
  if (v > highest)
    return Fail(key, "is " + std::to_string(v) + ", more than " + std::to_string(highest));
  out = v;
}

void JsonFields::Setting(const SettingKey& key, double& out) {
  const Json* value = Find(key.key);
  double v = out;
  if (value && ReadDouble(*value, key.key, v) && InRange(key, v)) out = v;
}

void JsonFields::Setting(const SettingKey& key, Vec4& out) {
  float v[4] = {out.x, out.y, out.z, out.w};
  Numbers(key, v, 4);
  out = Vec4(v[0], v[1], v[2], v[3]);
}

void JsonFields::Setting(const SettingKey& key, int (&out)[3]) {
  const Json* value = Find(key.key);
  if (!value) return;
  if (!value->is_array() || value->size() != 3) return Fail(key.key, "is not 3 numbers");
  int read[3];
  for (std::size_t i = 0; i < 3; ++i) {
    const Json& item = (*value)[i];
    if (!item.is_number_integer() || item.get<long long>() < key.range.lowest ||
        item.get<long long>() > key.range.highest)
      return Fail(key.key, "is not 3 whole numbers");
    read[i] = static_cast<int>(item.get<long long>());
  }
  std::copy(read, read + 3, out);
}

void JsonFields::String(const char* key, std::string& out, std::size_t most) {
  const Json* value = Find(key);
  if (!value) return;
  if (!value->is_string()) return Fail(key, "is not text");
  const std::string& text = value->get_ref<const std::string&>();
  if (text.size() > most || text.find('\0') != std::string::npos)
    return Fail(key, "is longer than " + std::to_string(most) + " bytes or holds a zero byte");
  out = text;
}

bool JsonFields::Entry(const char* key, const std::string& fixed) {
  const Json* value = Find(key);
  if (!value) return false;
  if (!value->is_string() || value->get_ref<const std::string&>() != fixed)
    Fail(key, "is not \"" + fixed + "\"");
  return true;
}

const Json* JsonFields::Find(const char* key) const {
  if (!object_) return nullptr;
  const auto it = object_->find(key);
  return it == object_->end() ? nullptr : &*it;
}

void JsonFields::Fail(const char* key, const std::string& what) {
  if (error_.empty())
    error_ = (file_.empty() ? "" : file_ + ": ") + "\"" + path_ + key + "\" " + what;
}

bool JsonFields::InRange(const SettingKey& key, double v) {
  if (v >= key.range.lowest && v <= key.range.highest) return true;
  if (key.range.lowest == kAnyNumber.lowest && key.range.highest == kAnyNumber.highest)
    Fail(key.key, "is too large for a float");
  else
    Fail(key.key, "is " + std::to_string(v) + ", not " + std::to_string(key.range.lowest) + " to " +
                      std::to_string(key.range.highest));
  return false;
}

// `count` numbers (a list of them unless one) within the key's range.
void JsonFields::Numbers(const SettingKey& key, float* out, std::size_t count) {
  const Json* value = Find(key.key);
  if (!value) return;
  if (count == 1) {
    double v = out[0];
    if (ReadDouble(*value, key.key, v) && InRange(key, v)) out[0] = static_cast<float>(v);
    return;
  }
  if (!value->is_array() || value->size() != count)
    return Fail(key.key, "is not a list of " + std::to_string(count) + " numbers");
  float read[16];  // the longest list: a rotation matrix
  if (count > std::size(read)) return Fail(key.key, "is a list longer than a reader takes");
  for (std::size_t i = 0; i < count; ++i) {
    double v = 0.0;
    if (!ReadDouble((*value)[i], key.key, v)) return;
    if (!InRange(key, v)) return;
    read[i] = static_cast<float>(v);
  }
  std::copy(read, read + count, out);
}

bool JsonFields::ReadDouble(const Json& value, const char* key, double& out) {
  if (!value.is_number()) {
    Fail(key, "is not a number");
    return false;
  }
  const double v = value.get<double>();
  if (!std::isfinite(v)) {
    Fail(key, "is not a finite number");
    return false;
  }
  out = v;
  return true;
}
