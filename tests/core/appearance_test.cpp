#include "core/appearance.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vl {
namespace {

// 0x00BBGGRR, as the launcher passes colours on.
constexpr std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | g << 8 | b << 16; }

constexpr std::uint32_t kBlack = Rgb(0, 0, 0), kWhite = Rgb(255, 255, 255);
constexpr std::uint32_t kNavy = Rgb(0, 0, 128), kMaroon = Rgb(128, 0, 0), kBlue = Rgb(0, 0, 255);
constexpr std::uint32_t kLightFace = Rgb(240, 240, 240), kDarkFace = Rgb(45, 45, 45);
constexpr std::uint32_t kDarkText = Rgb(240, 240, 240), kLightText = kBlack;

TEST(Contrast, KnownPairsMeasureAsWcagSays) {
  EXPECT_NEAR(ContrastRatio(kBlack, kWhite), 21.0, 1e-9);
  EXPECT_NEAR(ContrastRatio(kWhite, kBlack), 21.0, 1e-9) << "the order of the two does not matter";
  EXPECT_NEAR(ContrastRatio(kNavy, kNavy), 1.0, 1e-9);
  // The grey every accessibility checker quotes as the lightest that passes on white.
  EXPECT_NEAR(ContrastRatio(Rgb(0x76, 0x76, 0x76), kWhite), 4.54, 0.005);
  EXPECT_NEAR(ContrastRatio(Rgb(0x77, 0x77, 0x77), kWhite), 4.48, 0.005);
  // The three channels weigh differently: pure green is far lighter than pure blue.
  EXPECT_NEAR(RelativeLuminance(Rgb(0, 255, 0)), 0.7152, 1e-9);
  EXPECT_NEAR(RelativeLuminance(kBlue), 0.0722, 1e-9);
  EXPECT_NEAR(RelativeLuminance(Rgb(255, 0, 0)), 0.2126, 1e-9);
}

TEST(Contrast, DarkChannelsAreLinearBelowTheThreshold) {
  // 10/255 = 0.0392 lies under 0.03928: divided by 12.92. 11/255 lies over it: the curve.
  EXPECT_NEAR(RelativeLuminance(Rgb(10, 10, 10)), (10 / 255.0) / 12.92, 1e-12);
  EXPECT_NEAR(RelativeLuminance(Rgb(11, 11, 11)), 0.0033465, 1e-6);
}

TEST(Contrast, ACaptionKeepsItsColourOnlyWhereItReads) {
  struct Case {
    const char* what;
    std::uint32_t chosen, face, fallback, drawn;
  } const cases[] = {
      {"navy on the light face reads", kNavy, kLightFace, kLightText, kNavy},
      {"navy on the dark face does not", kNavy, kDarkFace, kDarkText, kDarkText},
      {"maroon on the dark face does not", kMaroon, kDarkFace, kDarkText, kDarkText},
      {"black after the pointer left, on the dark face", kBlack, kDarkFace, kDarkText, kDarkText},
      {"white on the dark face reads", kWhite, kDarkFace, kDarkText, kWhite},
      {"yellow on the light face does not", Rgb(255, 255, 0), kLightFace, kLightText, kLightText},
      {"the blue of the pointer on the light face reads", kBlue, kLightFace, kLightText, kBlue},
      {"4.54 is enough", Rgb(0x76, 0x76, 0x76), kWhite, kBlack, Rgb(0x76, 0x76, 0x76)},
      {"4.48 is not", Rgb(0x77, 0x77, 0x77), kWhite, kBlack, kBlack},
  };
  for (const Case& c : cases) EXPECT_EQ(ReadableCaptionColour(c.chosen, c.face, c.fallback), c.drawn) << c.what;
}

TEST(Appearance, TheStoredChoiceAndTheSystemGiveTheMode) {
  EXPECT_EQ(ThemeChoiceOf(0), ThemeChoice::System);
  EXPECT_EQ(ThemeChoiceOf(1), ThemeChoice::Light);
  EXPECT_EQ(ThemeChoiceOf(2), ThemeChoice::Dark);
  for (std::int32_t other : {-1, 3, 2147483647}) EXPECT_EQ(ThemeChoiceOf(other), ThemeChoice::System) << other;

  struct Case {
    ThemeChoice choice;
    bool appsLight, highContrast;
    ThemeMode mode;
  } const cases[] = {
      {ThemeChoice::System, true, false, ThemeMode::Light},
      {ThemeChoice::System, false, false, ThemeMode::Dark},
      {ThemeChoice::Light, false, false, ThemeMode::Light},
      {ThemeChoice::Dark, true, false, ThemeMode::Dark},
      {ThemeChoice::Dark, true, true, ThemeMode::HighContrast},
      {ThemeChoice::Light, false, true, ThemeMode::HighContrast},
      {ThemeChoice::System, false, true, ThemeMode::HighContrast},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveThemeMode(c.choice, c.appsLight, c.highContrast), c.mode)
        << static_cast<int>(c.choice) << " " << c.appsLight << " " << c.highContrast;
}

}  // namespace
}  // namespace vl
