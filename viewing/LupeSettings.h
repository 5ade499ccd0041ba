// The loupe's settings in section "LUPE" of the settings store: "cx", "cy",
// "zoom" (the factor truncated to a whole number), "zoom_mode",
// "full_screen" and "window_border", all integers.
//
//   LupeSettings settings;                 // the defaults
//   ReadLupeSettings(app::Settings(), settings);
//   settings.factor = 3.0f;
//   WriteLupeSettings(app::Settings(), settings);
#pragma once

#include "app/MyProfStr.h"
#include "viewing/LupeRules.h"

namespace viewing {

struct LupeSettings {
  LupeSize size{600, 150};
  float factor = kLupeDefaultFactor;
  int mode = 0;
  bool fullScreen = false;
  bool border = true;
};

// Writes all six keys; false when one of them could not be written.
bool WriteLupeSettings(app::CMyProfStr& store, const LupeSettings& settings);

// Reads the keys over `settings`: a missing key keeps its present value. A
// stored factor of 0 or less becomes 2, one of 16 or more 16; a mode other
// than 0, 1 or 2 becomes 0.
void ReadLupeSettings(const app::CMyProfStr& store, LupeSettings& settings);

}  // namespace viewing
