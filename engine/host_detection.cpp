#include "engine/host_detection.h"

#include "engine/contest_rules.h"
#include "platform/text_lines.h"

namespace velmora {

namespace {

constexpr char kHostIni[] = "Vemo2.ini";

bool HasIniExtension(const std::string& name) {
  return name.size() >= 4 &&
         EqualsIgnoringCase(std::string_view(name).substr(name.size() - 4), ".ini");
}

bool FolderHasHostIni(FileSystem& files, const std::string& folder) {
  for (const std::string& name : files.ListFolder(folder))
    if (HasIniExtension(name) && name.find(kHostIni) != std::string::npos)
      return true;
  return false;
}

}  // namespace

std::string DetectHostVersion(FileSystem& files, const std::string& host_folder,
                              const std::string& previous) {
  if (!FolderHasHostIni(files, host_folder)) return "Vemo";
  std::optional<std::string> text = files.ReadFile(host_folder + kHostIni);
  if (!text) return previous;
  for (const std::string& line : SplitLines(*text))
    if (line.find("Vemo=") != std::string::npos) return line.substr(5);
  return previous;
}

}  // namespace velmora
