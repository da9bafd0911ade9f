// The launcher's appearance as rules with no window in them: which mode the user's choice
// and the system's settings give, and whether a caption's colour can be read on a face.
//
// Colours are 0x00BBGGRR, the layout of a Windows COLORREF, so that the GUI hands its
// values over as they are. The contrast is WCAG 2's: the relative luminance of each sRGB
// colour (channels linearised with the 0.03928 threshold), then (L1 + 0.05) / (L2 + 0.05)
// with the lighter one on top, from 1 (the same) to 21 (black on white).
#pragma once

#include <cstdint>

namespace vl {

// "Theme" in [Setting], as the settings dialog offers it.
enum class ThemeChoice : std::int32_t { System = 0, Light = 1, Dark = 2 };
// The stored number as a choice: anything but 1 or 2 (absent, a word, a number out of
// range) follows the system.
ThemeChoice ThemeChoiceOf(std::int32_t stored);

enum class ThemeMode { Light, Dark, HighContrast };
// High contrast is the user's need before any taste: it wins over every choice. Otherwise
// a choice of light or dark stands, and "System" follows the apps' mode Windows is set to.
ThemeMode ResolveThemeMode(ThemeChoice choice, bool systemAppsLight, bool highContrast);

double RelativeLuminance(std::uint32_t colour);
double ContrastRatio(std::uint32_t a, std::uint32_t b);

// The least contrast of normal text (WCAG 2, level AA).
inline constexpr double kReadableContrast = 4.5;
// `chosen` where it reads on `face` at kReadableContrast or better, else `fallback` (the
// mode's own text colour, which is made to read on its faces).
std::uint32_t ReadableCaptionColour(std::uint32_t chosen, std::uint32_t face, std::uint32_t fallback);

}  // namespace vl
