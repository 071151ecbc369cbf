#pragma once

#include <string>
#include <vector>

#include "engine/qso_args.h"
#include "platform/file_system.h"

namespace velmora {

extern const char kUbnHeading[];  // heading line of both side files, with CR LF

// The bad-QSO file of the current run: a heading, then one line per rejected
// or duplicate QSO. The plug-in is its only writer, so it keeps the lines it
// wrote and rewrites the file from them when a QSO is removed.
class BadQsoFile {
 public:
  explicit BadQsoFile(FileSystem& files) : files_(files) {}

  // Names the file and starts it afresh with the heading alone.
  void Start(std::string name);
  const std::string& name() const { return name_; }

  // Appends the line of a rejected (`verdict_text`) or duplicate QSO. Before
  // the first Start there is no file and the line goes nowhere. A failed
  // write is made good by the next one.
  void Record(const QsoArgs& qso, const char* verdict_text);

  // Takes out the line of the duplicate with this call, band, mode and time.
  bool DropDupeLine(std::string_view call, std::string_view band, std::string_view mode,
                    const COleDateTime& time);
  // Takes out the first line of a rejected QSO with this call and time text.
  bool DropRejectedLine(std::string_view call, std::string_view time_text);
  // Writes the heading and the kept lines, replacing the file atomically.
  void Rewrite();

  // Lines of the file that are neither the heading nor duplicates.
  int CountRejected();

 private:
  struct Entry {
    std::string call, band, mode;
    COleDateTime time;
    std::string time_text;
    bool dupe = false;
    std::string line;
    int rejected_lines = 0;  // lines of `line` that count as rejected
  };

  FileSystem& files_;
  std::string name_;
  std::vector<Entry> entries_;
  // False after a write failed: the file no longer holds the kept lines, and
  // the next line rewrites it whole instead of appending.
  bool in_step_ = true;
};

// Starts "err.txt" afresh with the heading line.
void WriteErrFile(FileSystem& files);

}  // namespace velmora
