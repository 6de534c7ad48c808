// Any bytes as the launcher's setup log. The scan ends at the first zero byte; the result
// check reads the first 1024 bytes of the file, decides on them alone, and records the
// failure message exactly when they show no success.
#include <string>

#include "fuzz/fuzz_check.h"
#include "setup/result_check.h"

namespace {

using ivx::fuzz::Require;

constexpr int kSetupLogFd = 3;
const std::string kSetupLogPath = "setup.log";

// A setup log held in memory and read the way a regular file is.
class SetupLogFiles final : public ivx::FileSystem {
 public:
  explicit SetupLogFiles(std::string setupLog) : setupLog_(std::move(setupLog)) {}

  ivx::OpenResult Open(const std::string& path, OpenMode /*mode*/) override {
    Require(path == kSetupLogPath, "only the setup log is opened");
    position_ = 0;
    return {kSetupLogFd, 0};
  }
  ivx::IoResult Write(int /*fd*/, std::string_view /*bytes*/) override { return {}; }
  ivx::ReadResult Read(int /*fd*/, std::size_t maxBytes) override {
    ivx::ReadResult read{setupLog_.substr(position_, maxBytes), true, 0};
    position_ += read.bytes.size();
    return read;
  }
  void SeekFromStart(int /*fd*/, long offset) override {
    position_ = static_cast<std::size_t>(offset);
  }
  ivx::IoResult Close(int /*fd*/) override { return {}; }
  bool Find(const std::string& /*path*/) override { return false; }
  bool CanOpenForReading(const std::string& /*path*/) override { return false; }
  ivx::ProfileValue ProfileString(const std::string& /*path*/, const std::string& /*section*/,
                                  const std::string& /*key*/) override {
    return {};
  }

 private:
  std::string setupLog_;
  std::size_t position_ = 0;
};

// True when the result check, reading the setup log as a file, finds success.
bool CheckFindsSuccess(std::string setupLog) {
  SetupLogFiles files(std::move(setupLog));
  const ivx::SetupResult result = ivx::CheckSetupResult(files, kSetupLogPath);
  Require(result.read, "a readable setup log is checked");
  return result.entry.empty();
}

void CheckScan(std::string_view text) {
  const bool success = ivx::SetupLogReportsSuccess(text);
  const std::string_view beforeZero = text.substr(0, text.find('\0'));
  Require(ivx::SetupLogReportsSuccess(beforeZero) == success,
          "the scan ends at the first zero byte");
  const std::string hidden = std::string(beforeZero) + '\0' + "\nResultCode=0\r\n";
  Require(ivx::SetupLogReportsSuccess(hidden) == ivx::SetupLogReportsSuccess(beforeZero),
          "a success after a zero byte is not seen");
}

void CheckCaller(std::string_view text) {
  const std::string_view examined = text.substr(0, ivx::kSetupLogExamined);
  const bool success = CheckFindsSuccess(std::string(text));
  Require(success == ivx::SetupLogReportsSuccess(examined),
          "the result check decides on the first 1024 bytes");
  if (text.size() >= ivx::kSetupLogExamined) {
    Require(CheckFindsSuccess(std::string(text) + "\nResultCode=0\r\n") == success,
            "nothing after the first 1024 bytes counts");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = ivx::fuzz::AsText(data, size);
  CheckScan(text);
  CheckCaller(text);
  return 0;
}
