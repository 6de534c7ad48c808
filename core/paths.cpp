#include "core/paths.h"

#include <iomanip>
#include <sstream>

namespace ivx {
namespace {

char Separator(PathStyle style) { return style == PathStyle::kWindows ? '\\' : '/'; }

std::string DirectoryPart(PathStyle style, const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsSeparator(style, path[i - 1])) return path.substr(0, i);
  }
  return {};
}

}  // namespace

bool IsSettingsFileName(PathStyle style, std::string_view name) {
  if (name.size() > kMaxSettingsName) return false;
  const bool looksLikeOption =
      !name.empty() && name[0] == '/' && (style == PathStyle::kWindows || name.size() == 2);
  return !looksLikeOption;
}

bool IsSeparator(PathStyle style, char c) {
  return c == '/' || (style == PathStyle::kWindows && c == '\\');
}

bool IsAbsolutePath(PathStyle style, std::string_view path) {
  if (path.empty()) return false;
  if (style == PathStyle::kPosix) return path[0] == '/';
  return IsSeparator(style, path[0]) || (path.size() >= 2 && path[1] == ':');
}

std::string TimestampSuffix(const std::tm& local) {
  std::ostringstream out;
  out << std::put_time(&local, "_%Y-%m-%d_%H-%M-%S");
  return out.str();
}

std::string LogFolder(PathStyle style, const std::optional<std::string>& systemRoot) {
  const bool set = systemRoot && !systemRoot->empty();
  if (style == PathStyle::kWindows) return set ? systemRoot->substr(0, 3) : "C:\\";
  if (!set) return "/";
  return systemRoot->back() == '/' ? *systemRoot : *systemRoot + '/';
}

LogPaths MakeLogPaths(const std::string& folder, const std::string& suffix) {
  return {folder + "installvorx" + suffix + ".log", folder + "setup" + suffix + ".log"};
}

std::string CurrentDirectoryText(PathStyle style, const std::optional<std::string>& current) {
  if (!current || current->empty()) return {};
  return IsSeparator(style, current->back()) ? *current : *current + Separator(style);
}

std::string OwnDirectory(PathStyle style, const std::optional<std::string>& executable,
                         const std::string& firstArgument, const std::string& currentDirectory) {
  if (executable) {
    std::string directory = DirectoryPart(style, *executable);
    if (!directory.empty()) return directory;
  }
  const std::string invoked = DirectoryPart(style, firstArgument);
  return invoked.empty() ? currentDirectory : ResolveAgainst(style, currentDirectory, invoked);
}

std::string ResolveAgainst(PathStyle style, const std::string& directory, const std::string& name) {
  return IsAbsolutePath(style, name) ? name : directory + name;
}

}  // namespace ivx
