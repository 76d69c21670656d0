#pragma once
// The view values the main window keeps in the settings store, and the strict decimal
// reading of the numeric ones.

#include <array>
#include <cstdint>
#include <string_view>

namespace tb {

// Value names in the order they are read and written.
inline constexpr std::array<std::string_view, 7> kViewSettingNames{
    "CoordX", "CoordY", "CoordZ", "ZoomLevel", "AltitudeModify", "ShowAltitude", "Grid"};
// The two paths, read at first show and written by Load.
inline constexpr std::string_view kMapPathSetting = "MAPx.mul";
inline constexpr std::string_view kGamePathSetting = "UOPath";

// A stored number: an optional sign and decimal digits only, in the signed 32-bit range.
// Throws ConversionError("'<text>' is not a valid integer value") otherwise.
std::int32_t parseStoredDecimal(std::string_view text);

} // namespace tb
