// Reads the Windows resources of an executable back through the calls Windows itself uses,
// and compares them with what its command line expects:
//   resource_check EXE NAME=VALUE...
// NAME is a string of the version information (ProductName, FileVersion, ...), compared
// whole; FixedVersion, the numeric file and product versions, each as a.b.c.d; Manifest, text
// that the application manifest (RT_MANIFEST, id 1) must hold. Exits with 0 when everything
// matches, 1 otherwise, naming each mismatch on standard error.
#include <windows.h>

#include <winver.h>

#include <cstdio>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Resources {
  std::vector<char> versionInfo;  // empty: the file has none
  std::string manifest;
};

// Wine hands a Linux path on as Z:/...; module loading wants backslashes.
std::string WindowsPath(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::vector<char> ReadVersionInfo(const std::string& file) {
  DWORD unused = 0;
  const DWORD size = GetFileVersionInfoSizeA(file.c_str(), &unused);
  std::vector<char> info(size);
  if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, info.data())) info.clear();
  return info;
}

std::string ReadManifest(const std::string& file) {
  HMODULE module = LoadLibraryExA(file.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return {};
  std::string text;
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), RT_MANIFEST);
  const void* bytes = found != nullptr ? LockResource(LoadResource(module, found)) : nullptr;
  if (bytes != nullptr) text.assign(static_cast<const char*>(bytes), SizeofResource(module, found));
  FreeLibrary(module);
  return text;
}

const void* Query(Resources& resources, const std::string& path) {
  void* value = nullptr;
  UINT length = 0;
  if (resources.versionInfo.empty() ||
      !VerQueryValueA(resources.versionInfo.data(), path.c_str(), &value, &length) || length == 0) {
    return nullptr;
  }
  return value;
}

// A string is looked up in the block of the first translation the file declares, as the
// shell does: a block that no translation names would never be shown.
std::string StringValue(Resources& resources, const std::string& name) {
  const auto* translation =
      static_cast<const WORD*>(Query(resources, "\\VarFileInfo\\Translation"));
  if (translation == nullptr) return {};
  std::ostringstream path;
  path << "\\StringFileInfo\\" << std::hex << std::uppercase << std::setfill('0') << std::setw(4)
       << translation[0] << std::setw(4) << translation[1] << "\\" << name;
  const auto* value = static_cast<const char*>(Query(resources, path.str()));
  return value != nullptr ? value : "";
}

std::string Dotted(DWORD high, DWORD low) {
  std::ostringstream text;
  text << HIWORD(high) << '.' << LOWORD(high) << '.' << HIWORD(low) << '.' << LOWORD(low);
  return text.str();
}

// "file version, product version"; empty when the fixed part is missing or damaged.
std::string FixedVersions(Resources& resources) {
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query(resources, "\\"));
  if (fixed == nullptr || fixed->dwSignature != 0xFEEF04BD) return {};
  return Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + ", " +
         Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
}

bool Matches(Resources& resources, const std::string& name, const std::string& expected,
             std::string& found) {
  if (name == "Manifest") {
    found = resources.manifest;
    return !found.empty() && found.find(expected) != std::string::npos;
  }
  if (name == "FixedVersion") {
    found = FixedVersions(resources);
    return found == expected + ", " + expected;
  }
  found = StringValue(resources, name);
  return found == expected;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: resource_check EXE NAME=VALUE...\n");
    return 2;
  }
  const std::string file = WindowsPath(argv[1]);
  Resources resources{ReadVersionInfo(file), ReadManifest(file)};
  int mismatches = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string expectation = argv[i];
    const std::size_t equals = expectation.find('=');
    const std::string name = expectation.substr(0, equals);
    const std::string expected = equals == std::string::npos ? "" : expectation.substr(equals + 1);
    std::string found;
    if (!Matches(resources, name, expected, found)) {
      std::fprintf(stderr, "%s: expected \"%s\", found \"%s\"\n", name.c_str(), expected.c_str(),
                   found.c_str());
      ++mismatches;
    }
  }
  return mismatches == 0 ? 0 : 1;
}
