#include "core/paths.h"

#include <iomanip>
#include <sstream>

namespace ivx {
namespace {

char Separator(PathStyle style) { return style == PathStyle::kWindows ? '\\' : '/'; }

bool IsSeparatorCharacter(PathStyle style, std::string_view character) {
  return character.size() == 1 && IsSeparator(style, character[0]);
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

bool EndsWithSeparator(PathStyle style, std::string_view text, LeadByteTest isLead) {
  return !text.empty() &&
         IsSeparatorCharacter(style, text.substr(LastCharacterStart(text, isLead)));
}

std::string DirectoryPart(PathStyle style, std::string_view path, LeadByteTest isLead) {
  std::size_t end = 0;
  ForEachCharacter(path, isLead, [style, &end](std::size_t pos, std::string_view character) {
    if (IsSeparatorCharacter(style, character)) end = pos + 1;
  });
  return std::string(path.substr(0, end));
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

std::string CurrentDirectoryText(PathStyle style, const std::optional<std::string>& current,
                                 LeadByteTest isLead) {
  if (!current || current->empty()) return {};
  return EndsWithSeparator(style, *current, isLead) ? *current : *current + Separator(style);
}

std::string OwnDirectory(PathStyle style, const std::optional<std::string>& executable,
                         const std::string& firstArgument, const std::string& currentDirectory,
                         LeadByteTest isLead) {
  if (executable) {
    std::string directory = DirectoryPart(style, *executable, isLead);
    if (!directory.empty()) return directory;
  }
  const std::string invoked = DirectoryPart(style, firstArgument, isLead);
  return invoked.empty() ? currentDirectory : ResolveAgainst(style, currentDirectory, invoked);
}

std::optional<std::string> DriveOrSharePath(std::string_view finalPath) {
  constexpr std::string_view kLocal = R"(\\?\)";
  constexpr std::string_view kShare = R"(UNC\)";
  if (finalPath.substr(0, kLocal.size()) != kLocal) return std::nullopt;
  const std::string_view rest = finalPath.substr(kLocal.size());
  const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (rest.size() >= 3 && isLetter(rest[0]) && rest[1] == ':' && rest[2] == '\\') {
    return std::string(rest);
  }
  // The share's server and name follow; a bare "UNC\" names none.
  if (rest.size() > kShare.size() && rest.substr(0, kShare.size()) == kShare) {
    return R"(\\)" + std::string(rest.substr(kShare.size()));
  }
  return std::nullopt;
}

std::string ResolveAgainst(PathStyle style, const std::string& directory, const std::string& name) {
  return IsAbsolutePath(style, name) ? name : directory + name;
}

}  // namespace ivx
