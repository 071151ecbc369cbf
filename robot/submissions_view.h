#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "robot/organiser_store.h"

namespace velmora::robot {

// What an organiser looks at of the submissions: the versions whose call
// contains a text, one page of them. It comes from the page's query and goes
// back through the decision forms, so it is read like any input.
struct SubmissionsView {
  std::string call;  // trimmed, as typed; empty: every call
  int page = 1;      // 1-based
};

constexpr std::size_t kViewCallBytes = 20;  // the longest call the robot takes
constexpr int kViewLastPage = 999999999;

// The view of the fields `call` and `page` (empty: the first page of every
// call); nullopt with `problem` saying what is wrong.
std::optional<SubmissionsView> ReadSubmissionsView(const std::string& call,
                                                   const std::string& page,
                                                   std::string& problem);

// The page's own path with the view's query, the call URL-encoded; what is at
// its default is left out. Never anything but this path.
std::string SubmissionsLink(const SubmissionsView& view);
std::string SubmissionsLink(const std::string& call, int page);

// One page of the versions the view's call lets through, in the overview's
// order.
struct SubmissionsSlice {
  SubmissionsView view;
  std::vector<VersionState> rows;
  std::size_t first = 0;    // the number of the first row shown, 1-based; 0: none
  std::size_t matched = 0;  // the versions the call lets through
  int pages = 1;            // at least 1, even when nothing matches
};
SubmissionsSlice SliceOfSubmissions(std::vector<VersionState> versions,
                                    const SubmissionsView& view, int page_rows);

}  // namespace velmora::robot
