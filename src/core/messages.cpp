#include "core/messages.h"

#include <cstring>

#include "core/settings_schema.h"

namespace ivx::msg {

std::string InstallationFailed() {
  return "QEDN40112-W An attempt to install VORX version " + std::string(kProductVersion) +
         " has failed.\n";
}

std::string UnsupportedVersion() {
  return "QEDN40122-W An installation information settings file of an unsupported product "
         "version is specified. (" +
         std::string(kVersionKey) + "=" + std::string(kProductVersion) + ")\n";
}

std::string InvalidDefinition(std::string_view definition) {
  return "QEDN40123-W A definition in the installation information settings file is "
         "invalid. (" +
         std::string(definition) + ")\n";
}

std::string IoError(std::string_view path, int error) {
  return "QEDN40126-W An error occurred in I/O of the installation log file(" + std::string(path) +
         "). Code = " + std::to_string(error) + " " + std::strerror(error) + "\n";
}

}  // namespace ivx::msg
