// What every fuzz target shares: its input as text, and the check of a property, which
// aborts with the property's name so that libFuzzer reports it and keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace ivx::fuzz {

// A view of exactly the fuzz input: reading one byte past it is an overflow that the
// address sanitizer sees (a std::string copy would hide it behind its terminating zero).
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

}  // namespace ivx::fuzz
