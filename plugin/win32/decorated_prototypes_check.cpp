// Compile-time proof that the host's C++ prototypes, whose decorated names
// velmora.def exports, have the argument lists of our entry points.

#include <type_traits>

#include "plugin/exports.h"

namespace decorated {
#include "plugin/win32/decorated_prototypes.h"
}  // namespace decorated

static_assert(std::is_same_v<decltype(::AddData0), decltype(decorated::AddData0)>);
static_assert(std::is_same_v<decltype(::RemoveData0), decltype(decorated::RemoveData0)>);
static_assert(std::is_same_v<decltype(::ResetStats0), decltype(decorated::ResetStats0)>);
static_assert(std::is_same_v<decltype(::CheckCall0), decltype(decorated::CheckCallFunc0)>);
static_assert(
    std::is_same_v<decltype(::IsValidExchg0), decltype(decorated::StatsIsValidExchg0)>);
static_assert(
    std::is_same_v<decltype(::GetExchgCount0), decltype(decorated::StatsGetExchgCount0)>);
static_assert(
    std::is_same_v<decltype(::GetNumberOfSets), decltype(decorated::GetNumberOfSets)>);
static_assert(std::is_same_v<decltype(::GetSetName), decltype(decorated::GetSetName)>);
static_assert(std::is_same_v<decltype(::GetResult0), decltype(decorated::GetResult0)>);
static_assert(std::is_same_v<decltype(::SetupSet0), decltype(decorated::SetupSet0)>);
static_assert(std::is_same_v<decltype(::setVersion), decltype(decorated::setVersion)>);
