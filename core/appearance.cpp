#include "core/appearance.h"

namespace vl {
namespace {

// x^2.4 for x in (0, 1], as (x^2) times the fifth root of x^2, the root by Newton's steps
// from 1, which fall towards it from above until they stop falling: the C library's pow
// would weigh more in the executable than the whole of this file.
double Pow24(double x) {
  const double square = x * x;
  double root = 1.0;
  for (;;) {
    const double r2 = root * root;
    const double next = (4.0 * root + square / (r2 * r2)) / 5.0;
    if (!(next < root)) break;
    root = next;
  }
  return square * root;
}

double Linear(std::uint32_t channel) {
  const double c = channel / 255.0;
  return c <= 0.03928 ? c / 12.92 : Pow24((c + 0.055) / 1.055);
}

}  // namespace

ThemeChoice ThemeChoiceOf(std::int32_t stored) {
  switch (stored) {
    case 1:
      return ThemeChoice::Light;
    case 2:
      return ThemeChoice::Dark;
    default:
      return ThemeChoice::System;
  }
}

ThemeMode ResolveThemeMode(ThemeChoice choice, bool systemAppsLight, bool highContrast) {
  if (highContrast) return ThemeMode::HighContrast;
  switch (choice) {
    case ThemeChoice::Light:
      return ThemeMode::Light;
    case ThemeChoice::Dark:
      return ThemeMode::Dark;
    case ThemeChoice::System:
      break;
  }
  return systemAppsLight ? ThemeMode::Light : ThemeMode::Dark;
}

double RelativeLuminance(std::uint32_t colour) {
  return 0.2126 * Linear(colour & 0xFF) + 0.7152 * Linear((colour >> 8) & 0xFF) +
         0.0722 * Linear((colour >> 16) & 0xFF);
}

double ContrastRatio(std::uint32_t a, std::uint32_t b) {
  const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  return la > lb ? (la + 0.05) / (lb + 0.05) : (lb + 0.05) / (la + 0.05);
}

std::uint32_t ReadableCaptionColour(std::uint32_t chosen, std::uint32_t face, std::uint32_t fallback) {
  return ContrastRatio(chosen, face) >= kReadableContrast ? chosen : fallback;
}

}  // namespace vl
