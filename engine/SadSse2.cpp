// The SSE2 kernel: psadbw over 16 bytes. The baseline every processor of the
// 32-bit release has; built with -msse2 for this file alone.
#include <emmintrin.h>

#include "engine/SadLoop.h"

namespace engine {
namespace {

struct Sse2 {
  using Reg = __m128i;
  static constexpr int kWidth = 16;
  static Reg Zero() { return _mm_setzero_si128(); }
  static Reg Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static Reg Negate(Reg x) { return _mm_sub_epi8(_mm_setzero_si128(), x); }
  // No byte shuffle before SSSE3: reverse the dwords, the words in each
  // dword, then the bytes in each word.
  static Reg Reverse(Reg x) {
    x = _mm_shuffle_epi32(x, _MM_SHUFFLE(0, 1, 2, 3));
    x = _mm_shufflelo_epi16(x, _MM_SHUFFLE(2, 3, 0, 1));
    x = _mm_shufflehi_epi16(x, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm_or_si128(_mm_slli_epi16(x, 8), _mm_srli_epi16(x, 8));
  }
  static Reg Sad(Reg x, Reg y) { return _mm_sad_epu8(x, y); }
  static Reg Add(Reg x, Reg y) { return _mm_add_epi64(x, y); }
  static uint32_t Total(Reg x) {
    return static_cast<uint32_t>(_mm_cvtsi128_si32(x) +
                                 _mm_cvtsi128_si32(_mm_unpackhi_epi64(x, x)));
  }
};

}  // namespace

void SadSumsSse2(const SadRequest& request, uint32_t* sums) { SadSums<Sse2>(request, sums); }

bool SadPassSse2(const uint8_t* a, const uint8_t* b, bool negate, bool reversed, int32_t earlyLimit,
                 uint32_t* sum) {
  return SadPass<Sse2>(a, b, negate, reversed, earlyLimit, sum);
}

}  // namespace engine
