#include "check/report.h"

#include "check/engine_properties.h"
#include "check/json.h"
#include "core/messages.h"
#include "core/settings_schema.h"

namespace ivx::check {
namespace {

std::string VersionReason(const std::string& version) {
  if (version.empty()) {
    return "section [" + std::string(kVersionSection) + "] needs " + std::string(kVersionKey) +
           "=" + std::string(msg::kProductVersion);
  }
  return "the version is not " + std::string(msg::kProductVersion) + " or a leading part of it";
}

std::string JsonProblems(const std::vector<InvalidDefinition>& problems, const ToUtf8& toUtf8) {
  std::string json = "[";
  for (const InvalidDefinition& p : problems) {
    if (json.size() > 1) json += ",";
    json += "{\"key\":" + JsonString(toUtf8(p.key)) + ",\"value\":" + JsonString(toUtf8(p.value)) +
            ",\"reason\":" + JsonString(p.reason) + "}";
  }
  return json + "]";
}

std::string JsonWarnings(const WarningScan& scan, const ToUtf8& toUtf8) {
  std::string json = "[";
  for (const Warning& w : scan.warnings) {
    if (json.size() > 1) json += ",";
    json += "{\"line\":" + std::to_string(w.line) +
            ",\"text\":" + JsonString(scan.utf8 ? w.text : toUtf8(w.text)) + "}";
  }
  return json + "]";
}

std::string JsonProperties(const EngineProperties& properties, const ToUtf8& toUtf8) {
  std::string json = "{";
  for (const auto& [key, value] : properties) {
    if (json.size() > 1) json += ",";
    json += JsonString(toUtf8(key)) + ":" + JsonString(toUtf8(value));
  }
  return json + "}";
}

}  // namespace

std::vector<InvalidDefinition> Problems(const FileReport& report) {
  std::vector<InvalidDefinition> problems;
  const SettingsVerdict& verdict = report.verdict;
  if (verdict.refusal == SettingsVerdict::Refusal::kUnsupportedVersion) {
    problems.push_back({std::string(kVersionKey), verdict.version, VersionReason(verdict.version)});
  }
  problems.insert(problems.end(), verdict.invalid.begin(), verdict.invalid.end());
  return problems;
}

std::string TextReport(const FileReport& report, const FromUtf8& fromUtf8) {
  std::string text = report.file + (report.Accepted() ? ": accepted\n" : ": refused\n");
  if (!report.Accepted()) text += "  " + report.Message() + "\n";
  for (const InvalidDefinition& p : Problems(report)) {
    text += "  problem: " + p.Text() + ": " + p.reason + "\n";
  }
  if (report.Accepted()) {
    text += "  property string: " + report.verdict.propertyString + "\n";
    text += "  launcher receives: /v/qr\n";
    for (const std::string& key : report.launcherKeys) text += "    " + key + "\n";
    text += "  installer engine receives:\n";
    for (const auto& [key, value] : EnginePropertiesOf(report.launcherArgument)) {
      text.append("    ").append(key).append(": ").append(value).append("\n");
    }
  }
  for (const Warning& w : report.warnings.warnings) {
    text += "  warning, line " + std::to_string(w.line) + ": " +
            (report.warnings.utf8 ? fromUtf8(w.text) : w.text) + "\n";
  }
  return text;
}

std::string JsonReport(const FileReport& report, const ToUtf8& toUtf8) {
  const bool accepted = report.Accepted();
  const auto orNull = [&](bool present, const std::string& text) {
    return present ? JsonString(toUtf8(text)) : std::string("null");
  };
  return "{\"file\":" + JsonString(toUtf8(report.file)) +
         ",\"accepted\":" + (accepted ? "true" : "false") +
         ",\"message\":" + orNull(!accepted, report.Message()) +
         ",\"problems\":" + JsonProblems(Problems(report), toUtf8) +
         ",\"warnings\":" + JsonWarnings(report.warnings, toUtf8) +
         ",\"property_string\":" + orNull(accepted, report.verdict.propertyString) +
         ",\"launcher_argument\":" + orNull(accepted, report.launcherArgument) +
         ",\"properties\":" +
         (accepted ? JsonProperties(EnginePropertiesOf(report.launcherArgument), toUtf8) : "null") +
         "}";
}

}  // namespace ivx::check
