#pragma once

// Builds small contests from the text of their logs for the check's tests,
// with a country file of a few entities: no files are read.

#include <mutex>
#include <string>
#include <vector>

#include "check/checked_score.h"
#include "check/contest.h"
#include "check/log_intake.h"
#include "check/matching.h"
#include "readers/country_file.h"

namespace velmora::check {

inline const char kTestCty[] =
    "Czech Republic:           15:  28:  EU:   50.00:   -16.00:    -1.0:  OK:\n"
    "    OK,OL;\n"
    "Fed. Rep. of Germany:     14:  28:  EU:   51.00:   -10.00:    -1.0:  DL:\n"
    "    DA,DB,DC,DD,DE,DF,DG,DH,DI,DJ,DK,DL,DM,DN,DO,DP,DQ,DR;\n"
    "United States of America: 05:  08:  NA:   37.60:    91.87:     5.0:  K:\n"
    "    AA,K,N,W;\n";

struct TestLog {
  std::string call;
  std::vector<std::string> qsos;  // the columns after "QSO:"; lines 3, 4, ...
};

inline Contest BuildContest(const std::vector<TestLog>& logs, MatchOptions match = {},
                            ScoreOptions score = {}) {
  Contest contest;
  std::mutex mutex;
  CountryFile cty = CountryFile::Parse(kTestCty, "cty.dat");
  Intake intake(cty, contest, mutex);
  for (const TestLog& log : logs) {
    std::string text = "START-OF-LOG: 3.0\nCALLSIGN: " + log.call + "\n";
    for (const std::string& q : log.qsos) text += "QSO: " + q + "\n";
    text += "END-OF-LOG:\n";
    std::vector<std::string> problems;
    if (auto entrant = intake.Read(text, log.call + ".log", problems))
      contest.logs.push_back(std::move(*entrant));
  }
  JudgeContest(contest, match);
  ScoreChecked(contest, score);
  return contest;
}

inline const Entrant& LogOf(const Contest& c, const std::string& call) {
  for (const Entrant& e : c.logs)
    if (e.call == call) return e;
  throw std::invalid_argument("no log of " + call);
}

// The QSO of a log at a file line.
inline const CheckQso& At(const Contest& c, const std::string& call, int line) {
  for (const CheckQso& q : LogOf(c, call).qsos)
    if (q.line == line) return q;
  throw std::invalid_argument("no line " + std::to_string(line));
}

inline std::string VerdictAt(const Contest& c, const std::string& call, int line) {
  return VerdictName(At(c, call, line).verdict);
}

inline int PartnerLine(const Contest& c, const std::string& call, int line) {
  const CheckQso& q = At(c, call, line);
  return q.partner_log < 0 ? 0 : c.logs[q.partner_log].qsos[q.partner_qso].line;
}

}  // namespace velmora::check
