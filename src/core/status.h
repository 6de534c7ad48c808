// The command's exit statuses. Any other status is the launcher's own exit code.
#pragma once

namespace ivx::status {

inline constexpr int kDeclined = 0;  // the user answered N
inline constexpr int kInvalidOption = 1;
inline constexpr int kSettingsRejected = 2;
inline constexpr int kNotAdministrator = 3;
inline constexpr int kInternalError = 9;  // also: launcher missing, I/O error on a log

}  // namespace ivx::status
