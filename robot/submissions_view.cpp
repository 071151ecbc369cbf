#include "robot/submissions_view.h"

#include <algorithm>

#include "readers/text_scan.h"
#include "robot/http_answers.h"

namespace velmora::robot {

namespace {

bool Unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '-' || c == '.' || c == '_' || c == '~';
}

// A query value: every byte but the unreserved ones as %XX.
std::string UrlEncoded(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size() * 3);
  for (unsigned char c : text) {
    if (Unreserved(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

bool HasControl(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

}  // namespace

std::optional<SubmissionsView> ReadSubmissionsView(const std::string& call,
                                                   const std::string& page,
                                                   std::string& problem) {
  SubmissionsView view;
  view.call = Trimmed(call);
  if (view.call.size() > kViewCallBytes) {
    problem = "the call to look for is at most " + std::to_string(kViewCallBytes) +
              " bytes; this one has " + std::to_string(view.call.size());
    return std::nullopt;
  }
  if (HasControl(view.call)) {
    problem = "the call to look for holds a control character";
    return std::nullopt;
  }
  const std::string number = Trimmed(page);
  if (!number.empty() && (!ParseDigits(number, view.page) || view.page < 1)) {
    problem = "the page is a whole number from 1 to " + std::to_string(kViewLastPage);
    return std::nullopt;
  }
  return view;
}

std::string SubmissionsLink(const std::string& call, int page) {
  std::string link = "/admin/submissions";
  if (!call.empty()) link += "?call=" + UrlEncoded(call);
  if (page != 1) link += (call.empty() ? "?page=" : "&page=") + std::to_string(page);
  return link;
}

std::string SubmissionsLink(const SubmissionsView& view) {
  return SubmissionsLink(view.call, view.page);
}

SubmissionsSlice SliceOfSubmissions(std::vector<VersionState> versions,
                                    const SubmissionsView& view, int page_rows) {
  SubmissionsSlice slice;
  slice.view = view;
  const std::string wanted = UpperAscii(view.call);
  const std::size_t rows = static_cast<std::size_t>(std::max(page_rows, 1));
  const std::size_t from = static_cast<std::size_t>(std::max(view.page, 1) - 1) * rows;
  for (VersionState& v : versions) {
    if (!wanted.empty() && UpperAscii(v.submission.call).find(wanted) == std::string::npos)
      continue;
    if (slice.matched >= from && slice.matched - from < rows) slice.rows.push_back(std::move(v));
    ++slice.matched;
  }
  slice.first = slice.rows.empty() ? 0 : from + 1;
  slice.pages = static_cast<int>(std::max<std::size_t>((slice.matched + rows - 1) / rows, 1));
  return slice;
}

}  // namespace velmora::robot
