#include "results/bad_qso_file.h"

#include "engine/bad_qso_line.h"
#include "engine/contest_rules.h"
#include "platform/text_lines.h"

namespace velmora {

const char kUbnHeading[] = "Velmora Memorial Contest HF UBN file \r\n";

namespace {

// A line counts unless "DUPE" or "UBN" first occurs after its first character.
bool CountsAsRejected(std::string_view line) {
  for (const char* word : {"DUPE", "UBN"}) {
    std::size_t at = line.find(word);
    if (at != std::string_view::npos && at > 0) return false;
  }
  return true;
}

int RejectedLinesIn(std::string_view text) {
  int count = 0;
  ForEachLine(text, [&](std::string_view line) { count += CountsAsRejected(line) ? 1 : 0; });
  return count;
}

}  // namespace

void BadQsoFile::Start(std::string name) {
  name_ = std::move(name);
  entries_.clear();
  in_step_ = files_.ReplaceFile(name_, kUbnHeading);
}

void BadQsoFile::Record(const QsoArgs& qso, const char* verdict_text) {
  if (name_.empty()) return;
  Entry entry;
  entry.call = qso.call;
  entry.band = ContestBands().Canonical(qso.band);
  entry.mode = qso.mode;
  entry.time = qso.time;
  entry.time_text = QsoTimeText(qso.time);
  entry.dupe = verdict_text == std::string_view(kDupeText);
  entry.line = BadQsoLine(qso, verdict_text);
  entry.rejected_lines = RejectedLinesIn(entry.line);
  entries_.push_back(std::move(entry));
  if (in_step_)
    in_step_ = files_.AppendToFile(name_, entries_.back().line);
  else
    Rewrite();
}

bool BadQsoFile::DropDupeLine(std::string_view call, std::string_view band,
                              std::string_view mode, const COleDateTime& time) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (it->dupe && it->call == call && it->band == band && it->mode == mode &&
        it->time.SameTime(time)) {
      entries_.erase(it);
      return true;
    }
  }
  return false;
}

bool BadQsoFile::DropRejectedLine(std::string_view call, std::string_view time_text) {
  for (auto it = entries_.begin(); it != entries_.end(); ++it) {
    if (!it->dupe && it->call == call && it->time_text == time_text) {
      entries_.erase(it);
      return true;
    }
  }
  return false;
}

void BadQsoFile::Rewrite() {
  if (name_.empty()) return;
  std::string text = kUbnHeading;
  for (const Entry& entry : entries_) text += entry.line;
  in_step_ = files_.ReplaceFile(name_, text);
}

// While the file holds what was written, the kept lines tell the count and
// the file is not read; after a failed write it is.
int BadQsoFile::CountRejected() {
  if (name_.empty()) return 0;
  if (in_step_) {
    int count = RejectedLinesIn(kUbnHeading);
    for (const Entry& entry : entries_) count += entry.rejected_lines;
    return count;
  }
  std::optional<std::string> text = files_.ReadFile(name_);
  return text ? RejectedLinesIn(*text) : 0;
}

void WriteErrFile(FileSystem& files) { files.ReplaceFile("err.txt", kUbnHeading); }

}  // namespace velmora
