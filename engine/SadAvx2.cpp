// The AVX2 kernel: vpsadbw over 32 bytes. Built with -mavx2 for this file
// alone and called only where the processor has AVX2.
#include <immintrin.h>

#include "engine/SadLoop.h"

namespace engine {
namespace {

struct Avx2 {
  using Reg = __m256i;
  static constexpr int kWidth = 32;
  static Reg Zero() { return _mm256_setzero_si256(); }
  static Reg Load(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  static Reg Negate(Reg x) { return _mm256_sub_epi8(_mm256_setzero_si256(), x); }
  // Bytes reversed within each 128-bit lane, then the two lanes swapped.
  static Reg Reverse(Reg x) {
    const __m256i mirror = _mm256_setr_epi8(15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0,
                                            15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0);
    return _mm256_permute4x64_epi64(_mm256_shuffle_epi8(x, mirror), _MM_SHUFFLE(1, 0, 3, 2));
  }
  static Reg Sad(Reg x, Reg y) { return _mm256_sad_epu8(x, y); }
  static Reg Add(Reg x, Reg y) { return _mm256_add_epi64(x, y); }
  static uint32_t Total(Reg x) {
    const __m128i half = _mm_add_epi64(_mm256_castsi256_si128(x), _mm256_extracti128_si256(x, 1));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(half) +
                                 _mm_cvtsi128_si32(_mm_unpackhi_epi64(half, half)));
  }
};

}  // namespace

void SadSumsAvx2(const SadRequest& request, uint32_t* sums) { SadSums<Avx2>(request, sums); }

bool SadPassAvx2(const uint8_t* a, const uint8_t* b, bool negate, bool reversed, int32_t earlyLimit,
                 uint32_t* sum) {
  return SadPass<Avx2>(a, b, negate, reversed, earlyLimit, sum);
}

}  // namespace engine
