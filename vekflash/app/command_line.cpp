#include "command_line.h"

#include <cctype>

namespace vekflash {

namespace {

bool equalsIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return i == a.size() && b[i] == '\0';
}

}  // namespace

std::string programFolderOf(const std::string& exePath) {
  size_t slash = exePath.find_last_of('\\');
  return slash == std::string::npos ? std::string() : exePath.substr(0, slash + 1);
}

std::string extensionOf(const std::string& path) {
  size_t component = path.find_last_of("\\/:");
  size_t start = component == std::string::npos ? 0 : component + 1;
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < start) return {};
  return path.substr(dot, 11);
}

StartDecision decideStart(const std::string& argument, const std::string& programFolder,
                          const std::function<bool(const std::string&)>& bareNameExists) {
  StartDecision d;
  if (argument.empty() || argument == "?") {
    d.action = StartAction::About;
    return d;
  }
  if (equalsIgnoringCase(argument, "version")) {
    d.action = StartAction::Version;
    return d;
  }
  // A path that Windows hands over quoted (Explorer's "open", a launcher that
  // protects spaces) means the same file as the bare path.
  std::string unquoted = argument;
  if (unquoted.size() >= 2 && unquoted.front() == '"' && unquoted.back() == '"')
    unquoted = unquoted.substr(1, unquoted.size() - 2);
  std::string path = unquoted.substr(0, kMaxPathChars);
  if (path.find('\\') == std::string::npos) {
    if (!bareNameExists(path)) {
      d.action = StartAction::FileMissing;
      return d;
    }
    path = (programFolder + path).substr(0, kMaxPathChars);
  }
  if (!equalsIgnoringCase(extensionOf(path), ".swf")) {
    d.action = StartAction::NotSwf;
    return d;
  }
  d.action = StartAction::Play;
  d.path = path;
  return d;
}

}  // namespace vekflash
