#pragma once

#include <string>

namespace velmora {

// The Cabrillo header fields: the record kept between exports and the copy
// that the header form edits.
struct CabrilloForm {
  std::string Contest;
  std::string Callsign;
  std::string ClaimedText;
  std::string CategoryOperator;
  std::string CategoryBand;
  std::string CategoryPower;
  std::string CategoryTime;
  std::string CategoryTransmitter;
  std::string CategoryOverlay;
  std::string CategoryStation;
  std::string OffTime;
  std::string Name;
  std::string Address;
  std::string AddressCity;
  std::string AddressPostalCode;
  std::string AddressCountry;
  std::string Operators;
  std::string Club;
  std::string SoapBox;
  std::string Email;
};

}  // namespace velmora
