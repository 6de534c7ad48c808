// A small JSON reader for what the settings check prints: enough to check that the output is
// valid JSON and to read its fields. Throws std::runtime_error on text that is not JSON.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace e2e::json {

struct Value {
  enum class Type { kNull, kBool, kNumber, kString, kArray, kObject } type = Type::kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // kString, in UTF-8
  std::vector<Value> items;
  std::map<std::string, Value> fields;

  const Value& operator[](const std::string& name) const;
  bool IsNull() const { return type == Type::kNull; }
};

// The whole text must be one JSON value, white space around it allowed.
Value Parse(std::string_view text);

}  // namespace e2e::json
