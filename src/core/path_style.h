// How file paths are written on a platform, and which platform this build is for.
#pragma once

namespace ivx {

enum class PathStyle {
  kWindows,  // drive letters, "\" separates, "/" accepted in the command's own path
  kPosix,    // "/" separates and starts every absolute path
};

#ifdef _WIN32
inline constexpr PathStyle kHostPathStyle = PathStyle::kWindows;
#else
inline constexpr PathStyle kHostPathStyle = PathStyle::kPosix;
#endif

}  // namespace ivx
