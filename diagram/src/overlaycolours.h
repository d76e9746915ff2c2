#pragma once
// The level diagram's label and overlay colours (0xBBGGRR; a high byte is a
// transparency) and the font of its overlay texts, shared by the diagram's
// overlays and the chain's lines.
#include <cstdint>

#include "chart/canvas.h"

namespace overlaycolour {

inline constexpr std::uint32_t kBlack = 0x000000;
inline constexpr std::uint32_t kWhite = 0xFFFFFF;
inline constexpr std::uint32_t kYellow = 0x00FFFF;
inline constexpr std::uint32_t kGrey = 0x808080;
inline constexpr std::uint32_t kSilver = 0xC0C0C0;
inline constexpr std::uint32_t kRed = 0x0000FF;
inline constexpr std::uint32_t kOrange = 0x4080FF;
inline constexpr std::uint32_t kPink = 0xFF80FF;
inline constexpr std::uint32_t kFuchsia = 0xFF00FF;
inline constexpr std::uint32_t kBlue = 0xFF0000;
inline constexpr std::uint32_t kAqua = 0xFFFF00;
inline constexpr std::uint32_t kLightAqua = 0xFFFF80;
inline constexpr std::uint32_t kGreen = 0x008000;
inline constexpr std::uint32_t kLime = 0x00FF00;
inline constexpr std::uint32_t kLightGreen = 0x80FF80;
// The grid: grey, 0x64 transparent (alpha 155).
inline constexpr std::uint32_t kGridGrey = 0x64000000 | kGrey;

// The font of the overlay text drawn next: its colour, size and weight.
inline void setTextFont(TCanvas& c, std::uint32_t colour, int points, bool bold)
{
    c.setFontColor(colorFromBgr(colour));
    c.setFontSize(points);
    c.setFontBold(bold);
}

} // namespace overlaycolour
