#pragma once

#include <stdexcept>
#include <string>

#include "engine/ole_date_time.h"

namespace velmora::replay {

// The calls of a replay written down as a scenario (testing/scenario_runner.h
// has the format), so that another host, such as the test host built like
// the host logger, can make exactly the same calls. A value the format cannot
// hold (a blank inside a text, a time with seconds) throws
// std::invalid_argument rather than be written as something else.
class HandOverScenario {
 public:
  void Reset(const std::string& call, const COleDateTime& start, const COleDateTime& end,
             const std::string& prefix, const std::string& continent);
  void Check(const std::string& call, const std::string& mode, const std::string& prefix,
             const std::string& band);
  void Add(const std::string& own_call, const std::string& call, const COleDateTime& time,
           unsigned int freq_hz, const std::string& mode, const std::string& rst_sent,
           const std::string& nr_sent, const std::string& rst_rcvd,
           const std::string& nr_rcvd, const std::string& prefix,
           const std::string& continent, const std::string& band);
  void Result() { text_ += "result\n"; }
  void Version(const std::string& text);

  const std::string& text() const { return text_; }

 private:
  void Word(const std::string& word);
  void Time(const COleDateTime& time);

  std::string text_;
};

}  // namespace velmora::replay
