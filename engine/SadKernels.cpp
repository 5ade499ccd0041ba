#include "engine/SadKernels.h"

#include <cstdlib>

#include "engine/ImageEntry.h"

namespace engine {

#ifdef DUPLORA_X86_KERNELS
// In files of their own, built with their own instruction-set flags.
void SadSumsSse2(const SadRequest& request, uint32_t* sums);
void SadSumsAvx2(const SadRequest& request, uint32_t* sums);
void SadSumsAvx512(const SadRequest& request, uint32_t* sums);
bool SadPassSse2(const uint8_t* a, const uint8_t* b, bool negate, bool reversed, int32_t earlyLimit,
                 uint32_t* sum);
bool SadPassAvx2(const uint8_t* a, const uint8_t* b, bool negate, bool reversed, int32_t earlyLimit,
                 uint32_t* sum);
bool SadPassAvx512(const uint8_t* a, const uint8_t* b, bool negate, bool reversed,
                   int32_t earlyLimit, uint32_t* sum);
#endif

namespace {

void SadSumsPlain(const SadRequest& r, uint32_t* sums) {
  for (int k = 0; k < r.count; ++k) {
    uint32_t sum = 0;
    for (int i = r.begin; i < r.end; ++i) {
      const int x = r.negate ? static_cast<uint8_t>(-r.a[i]) : r.a[i];
      const int y = r.reversed ? r.b[k][kSignatureBytes - 1 - i] : r.b[k][i];
      sum += static_cast<uint32_t>(std::abs(x - y));
    }
    sums[k] = sum;
  }
}

bool SadPassPlain(const uint8_t* a, const uint8_t* b, bool negate, bool reversed,
                  int32_t earlyLimit, uint32_t* sum) {
  const uint8_t* const bs[] = {b};
  SadRequest request{a, bs, 1, 0, kSadEarlyTerms, negate, reversed};
  SadSumsPlain(request, sum);
  if (static_cast<int64_t>(*sum) > earlyLimit) return false;
  uint32_t rest = 0;
  request.begin = kSadEarlyTerms;
  request.end = kSignatureBytes;
  SadSumsPlain(request, &rest);
  *sum += rest;
  return true;
}

constexpr SadKernel kPlain{SadKernelKind::Plain, "plain", SadSumsPlain, SadPassPlain};
#ifdef DUPLORA_X86_KERNELS
constexpr SadKernel kSse2{SadKernelKind::Sse2, "sse2", SadSumsSse2, SadPassSse2};
constexpr SadKernel kAvx2{SadKernelKind::Avx2, "avx2", SadSumsAvx2, SadPassAvx2};
constexpr SadKernel kAvx512{SadKernelKind::Avx512, "avx512", SadSumsAvx512, SadPassAvx512};
#endif

}  // namespace

const SadKernel* FindSadKernel(SadKernelKind kind) {
#ifdef DUPLORA_X86_KERNELS
  // The answers also cover the system: AVX state must be enabled by it.
  __builtin_cpu_init();
  switch (kind) {
    case SadKernelKind::Plain:
      return &kPlain;
    case SadKernelKind::Sse2:
      return __builtin_cpu_supports("sse2") ? &kSse2 : nullptr;
    case SadKernelKind::Avx2:
      return __builtin_cpu_supports("avx2") ? &kAvx2 : nullptr;
    case SadKernelKind::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") ? &kAvx512
                                                                                     : nullptr;
  }
  return nullptr;
#else
  return kind == SadKernelKind::Plain ? &kPlain : nullptr;
#endif
}

std::vector<const SadKernel*> SupportedSadKernels() {
  std::vector<const SadKernel*> kernels;
  for (SadKernelKind kind :
       {SadKernelKind::Plain, SadKernelKind::Sse2, SadKernelKind::Avx2, SadKernelKind::Avx512})
    if (const SadKernel* kernel = FindSadKernel(kind)) kernels.push_back(kernel);
  return kernels;
}

const SadKernel& BestSadKernel() {
  static const SadKernel& best = *SupportedSadKernels().back();
  return best;
}

}  // namespace engine
