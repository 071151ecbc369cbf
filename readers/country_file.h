#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A DXCC entity as the country file describes it, with the zone and continent
// that hold for the call that was looked up.
struct Entity {
  std::string key;  // primary prefix without a leading '*': "DL", "TA1", "GM/s"
  std::string continent;
  std::string name;
  int cq = 0;
  int itu = 0;
};

// The country file in the usual cty.dat layout: a header line per entity
//   Name: CQ: ITU: Cont: Lat: Lon: UTC: PrimaryPrefix:
// then indented aliases, comma-separated and ended by ';'. An alias is a
// prefix, or "=CALL" for one exact call, and may carry overrides: (cq),
// [itu], {cont}, <lat/lon>, ~utc~.
class CountryFile {
 public:
  // Throws LogReadError ("FILE:LINE: what") on a malformed record.
  static CountryFile Parse(std::string_view text, const std::string& file_name);

  // The entity of a call; nullopt for an unknown prefix and for maritime or
  // aeronautical mobiles. Portable calls count for the place they are
  // operated from ("DL/OK1XX", "W1AW/4", "VP2V/AA7V"; see CallLocation).
  std::optional<Entity> Lookup(std::string_view call) const;

  std::size_t EntityCount() const { return entities_.size(); }

 private:
  struct Alias {
    std::size_t entity = 0;
    int cq = 0;
    int itu = 0;
    std::string continent;
  };
  friend class CountryFileParser;

  Entity Resolve(const Alias& alias) const;
  std::optional<Entity> LookupLocation(const std::string& location) const;

  std::vector<Entity> entities_;
  std::unordered_map<std::string, Alias> exact_calls_;
  std::unordered_map<std::string, Alias> prefixes_;
  std::size_t longest_prefix_ = 0;
};
