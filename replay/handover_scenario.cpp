#include "replay/handover_scenario.h"

namespace velmora::replay {

void HandOverScenario::Reset(const std::string& call, const COleDateTime& start,
                             const COleDateTime& end, const std::string& prefix,
                             const std::string& continent) {
  text_ += "reset - 0";
  Word(call);
  Time(start);
  Time(end);
  Word(prefix);
  Word(continent);
  text_ += '\n';
}

void HandOverScenario::Check(const std::string& call, const std::string& mode,
                             const std::string& prefix, const std::string& band) {
  text_ += "check";
  for (const std::string* word : {&call, &mode, &prefix, &band}) Word(*word);
  text_ += " -\n";
}

void HandOverScenario::Add(const std::string& own_call, const std::string& call,
                           const COleDateTime& time, unsigned int freq_hz,
                           const std::string& mode, const std::string& rst_sent,
                           const std::string& nr_sent, const std::string& rst_rcvd,
                           const std::string& nr_rcvd, const std::string& prefix,
                           const std::string& continent, const std::string& band) {
  text_ += "add";
  Word(own_call);
  Word(call);
  Time(time);
  text_ += ' ' + std::to_string(freq_hz);
  for (const std::string* word :
       {&mode, &rst_sent, &nr_sent, &rst_rcvd, &nr_rcvd, &prefix, &continent, &band})
    Word(*word);
  text_ += '\n';
}

void HandOverScenario::Version(const std::string& text) {
  text_ += "version";
  Word(text);
  text_ += '\n';
}

void HandOverScenario::Word(const std::string& word) {
  if (word == "-" || word == "~" || word.find_first_of(" \t\r\n") != std::string::npos)
    throw std::invalid_argument("the text \"" + word + "\" cannot be written as a scenario word");
  text_ += ' ';
  text_ += word.empty() ? "-" : word;
}

void HandOverScenario::Time(const COleDateTime& time) {
  if (time.GetStatus() == COleDateTime::kNull) {
    text_ += " ~";
    return;
  }
  if (time.GetStatus() != COleDateTime::kValid || time.Format("%S") != "00")
    throw std::invalid_argument("the time " + time.Format("%Y-%m-%d %H:%M:%S") +
                                " cannot be written as a scenario time");
  text_ += ' ' + time.Format("%Y-%m-%d %H:%M");
}

}  // namespace velmora::replay
