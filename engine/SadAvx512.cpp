// The AVX-512 kernel: vpsadbw over 64 bytes (AVX-512BW). Built with the
// AVX-512 flags for this file alone and called only where the processor has them.
// Lane moves use the masked forms: the plain ones start from an undefined
// register, which GCC 12 warns about.
#include <immintrin.h>

#include "engine/SadLoop.h"

namespace engine {
namespace {

struct Avx512 {
  using Reg = __m512i;
  static constexpr int kWidth = 64;
  static Reg Zero() { return _mm512_setzero_si512(); }
  static Reg Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
  static Reg Negate(Reg x) { return _mm512_sub_epi8(_mm512_setzero_si512(), x); }
  // Bytes reversed within each 128-bit lane, then the four lanes reversed.
  static Reg Reverse(Reg x) {
    const __m512i mirror = _mm512_set4_epi32(0x00010203, 0x04050607, 0x08090A0B, 0x0C0D0E0F);
    const __m512i lanes = _mm512_shuffle_epi8(x, mirror);
    return _mm512_maskz_shuffle_i64x2(0xFF, lanes, lanes, _MM_SHUFFLE(0, 1, 2, 3));
  }
  static Reg Sad(Reg x, Reg y) { return _mm512_sad_epu8(x, y); }
  static Reg Add(Reg x, Reg y) { return _mm512_add_epi64(x, y); }
  static uint32_t Total(Reg x) {
    const __m256i quarter = _mm256_add_epi64(_mm512_maskz_extracti64x4_epi64(0xF, x, 0),
                                             _mm512_maskz_extracti64x4_epi64(0xF, x, 1));
    const __m128i half =
        _mm_add_epi64(_mm256_castsi256_si128(quarter), _mm256_extracti128_si256(quarter, 1));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(half) +
                                 _mm_cvtsi128_si32(_mm_unpackhi_epi64(half, half)));
  }
};

}  // namespace

void SadSumsAvx512(const SadRequest& request, uint32_t* sums) { SadSums<Avx512>(request, sums); }

bool SadPassAvx512(const uint8_t* a, const uint8_t* b, bool negate, bool reversed,
                   int32_t earlyLimit, uint32_t* sum) {
  return SadPass<Avx512>(a, b, negate, reversed, earlyLimit, sum);
}

}  // namespace engine
