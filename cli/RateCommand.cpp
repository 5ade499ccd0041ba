// duplora-cli rate: why were these two pictures (not) found? Builds both
// entries as the search would and runs the pair test on them.
#include <cstdio>

#include "cli/Commands.h"
#include "engine/Fingerprint.h"
#include "engine/Similarity.h"
#include "platform/ComThread.h"
#include "platform/Console.h"
#include "platform/Text.h"

namespace cli {
namespace {

// Which step settled the pair.
const char* Decision(const engine::PairOutcome& outcome, bool accepted) {
  if (accepted) return "accepted";
  if (outcome.gate2Failed) return "brightness sum (negative)";
  if (outcome.gate1Failed && !outcome.negativeRated) return "brightness";
  if (outcome.aspectFailed) return "aspect";
  return "similarity";
}

}  // namespace

int RateCommand(const Arguments& args) {
  engine::CompareSettings settings;
  Arguments files;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (arg == L"--similarity" || arg == L"--rule") {
      int value = 0;
      if (i + 1 >= args.size() || !ParseNumber(args[i + 1], value))
        return UsageError(arg + L" takes a number");
      if (arg == L"--similarity") {
        if (value < 1 || value > 100) return UsageError(L"--similarity takes 1 to 100");
        settings.m_similarity = value;
      } else {
        if (value < 1 || value > 3) return UsageError(L"--rule takes 1, 2 or 3");
        settings.m_signature_rule = value;
      }
      ++i;
    } else if (arg == L"--rotated") {
      settings.m_search_rotated = 1;
    } else if (arg == L"--flipped") {
      settings.m_search_flipped = 1;
    } else if (arg == L"--negative") {
      settings.m_search_negative = 1;
    } else if (arg.starts_with(L"--")) {
      return UsageError(L"unknown option: " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return UsageError(L"rate needs two files");

  platform::ComThread com;
  engine::SystemPictureServices services;
  engine::FingerprintCache cache;
  engine::ImageEntry entries[2];
  for (int k = 0; k < 2; ++k) {
    const platform::DirEntry found = platform::FileEntry(files[k]).value_or(platform::DirEntry{});
    if (!engine::GetOrBuildEntry(cache, services,
                                 static_cast<engine::SignatureRule>(settings.m_signature_rule),
                                 files[k], found, entries[k])) {
      platform::WriteOut(files[k] + L"\tnot an image\n");
      return 1;
    }
  }

  const engine::PairTest test(settings);
  engine::PairOutcome outcome;
  const std::optional<engine::MatchPair> pair = test.Test(entries[0], entries[1], outcome);
  // The labels of the pass that matched; a rejected pair reports none.
  const int flip = pair ? pair->flip : 0, rotation = pair ? pair->rotation : 0;

  platform::WriteOut(platform::FormatText(
                "similarity=%.4f rotation=%d flip=%d negative=%d aspect=%.2f brightness=%d/%d "
                "tolerance=%d decided=%s accepted=%s kernel=%s\n",
                outcome.similarity, rotation, flip, outcome.negativeRated ? 1 : 0,
                static_cast<double>(engine::AspectAgreement(entries[0].aspect, entries[1].aspect)),
                entries[0].brightness, entries[1].brightness, test.brightnessTolerance(),
                Decision(outcome, pair.has_value()), pair ? "yes" : "no",
                engine::BestSadKernel().name));
  return 0;
}

}  // namespace cli
