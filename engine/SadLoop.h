// The loop of the vector kernels, written once over the operations of one
// vector width. Included only by the kernel files, each compiled with its own
// instruction-set flags. Everything here has internal linkage: a shared
// inline copy built with AVX2 must never be the one an SSE2 caller links to.
//
// A vector V provides:
//   Reg; kWidth (bytes);
//   Zero(); Load(p) (unaligned); Negate(x) (bytewise 0 - x); Reverse(x) (byte order);
//   Sad(x, y) (absolute differences summed into 64-bit lanes); Add(x, y) (64-bit lanes);
//   Total(x) (sum of the 64-bit lanes).
//
// Reversed reading pairs a(i) with b(4095 - i). Over one vector that is the
// a chunk at i against the b chunk at 4096 - i - kWidth read backwards, and
// since the sum does not care about order it is the same as a reversed a
// chunk against a forward b chunk. So the reversal (and the negation) fall on
// a, which is loaded once for all the b's of a request.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "engine/ImageEntry.h"
#include "engine/SadKernels.h"

namespace engine {
namespace {

template <bool Negate, bool Reversed>
uint32_t SadTail(const uint8_t* a, const uint8_t* b, int begin, int end) {
  uint32_t sum = 0;
  for (int i = begin; i < end; ++i) {
    const int x = Negate ? static_cast<uint8_t>(-a[i]) : a[i];
    const int y = Reversed ? b[kSignatureBytes - 1 - i] : b[i];
    sum += static_cast<uint32_t>(std::abs(x - y));
  }
  return sum;
}

template <class V, bool Negate, bool Reversed>
typename V::Reg LoadA(const uint8_t* a, int i) {
  typename V::Reg x = V::Load(a + i);
  if constexpr (Negate) x = V::Negate(x);
  if constexpr (Reversed) x = V::Reverse(x);
  return x;
}

template <class V, bool Reversed>
typename V::Reg LoadB(const uint8_t* b, int i) {
  return V::Load(b + (Reversed ? kSignatureBytes - V::kWidth - i : i));
}

// N b's against one a. One b gets four accumulators, so that the additions
// do not wait on each other; several b's get one each, which is already as
// many independent chains.
template <class V, int N, bool Negate, bool Reversed>
void SadGroup(const uint8_t* a, const uint8_t* const* b, int begin, int end, uint32_t* sums) {
  constexpr int W = V::kWidth;
  constexpr int U = N == 1 ? 4 : 1;
  typename V::Reg acc[N][U];
#pragma GCC unroll 4
  for (int k = 0; k < N; ++k)
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u) acc[k][u] = V::Zero();

  int i = begin;
  for (; i + W * U <= end; i += W * U) {
#pragma GCC unroll 4
    for (int u = 0; u < U; ++u) {
      const typename V::Reg x = LoadA<V, Negate, Reversed>(a, i + u * W);
#pragma GCC unroll 4
      for (int k = 0; k < N; ++k)
        acc[k][u] = V::Add(acc[k][u], V::Sad(x, LoadB<V, Reversed>(b[k], i + u * W)));
    }
  }
  for (; i + W <= end; i += W) {
    const typename V::Reg x = LoadA<V, Negate, Reversed>(a, i);
#pragma GCC unroll 4
    for (int k = 0; k < N; ++k)
      acc[k][0] = V::Add(acc[k][0], V::Sad(x, LoadB<V, Reversed>(b[k], i)));
  }

#pragma GCC unroll 4
  for (int k = 0; k < N; ++k) {
    typename V::Reg total = acc[k][0];
#pragma GCC unroll 4
    for (int u = 1; u < U; ++u) total = V::Add(total, acc[k][u]);
    sums[k] = V::Total(total) + SadTail<Negate, Reversed>(a, b[k], i, end);
  }
}

// One pair over the whole signature with the early look of the similarity
// pass, in one go: the accumulators run on from the first stretch into the
// rest, so a pass that goes on costs one call and one set of loads.
template <class V, bool Negate, bool Reversed>
bool SadPassOf(const uint8_t* a, const uint8_t* b, int32_t earlyLimit, uint32_t* sum) {
  constexpr int W = V::kWidth, U = 4;
  static_assert(kSadEarlyTerms % (W * U) == 1 && kSignatureBytes % (W * U) == 0);
  typename V::Reg acc[U];
#pragma GCC unroll 4
  for (int u = 0; u < U; ++u) acc[u] = V::Zero();
  auto stretch = [&](int begin, int end) {
    for (int i = begin; i < end; i += W * U) {
#pragma GCC unroll 4
      for (int u = 0; u < U; ++u)
        acc[u] = V::Add(acc[u], V::Sad(LoadA<V, Negate, Reversed>(a, i + u * W),
                                       LoadB<V, Reversed>(b, i + u * W)));
    }
  };
  auto total = [&] { return V::Total(V::Add(V::Add(acc[0], acc[1]), V::Add(acc[2], acc[3]))); };

  constexpr int kLast = kSadEarlyTerms - 1;  // the one term beyond the whole vectors
  stretch(0, kLast);
  const uint32_t head = total() + SadTail<Negate, Reversed>(a, b, kLast, kSadEarlyTerms);
  if (static_cast<int64_t>(head) > earlyLimit) {
    *sum = head;
    return false;
  }
  stretch(kLast, kSignatureBytes);
  *sum = total();
  return true;
}

template <class V, bool Negate, bool Reversed>
void SadBatch(const SadRequest& r, uint32_t* sums) {
  int k = 0;
  for (; k + 4 <= r.count; k += 4)
    SadGroup<V, 4, Negate, Reversed>(r.a, r.b + k, r.begin, r.end, sums + k);
  for (; k < r.count; ++k) SadGroup<V, 1, Negate, Reversed>(r.a, r.b + k, r.begin, r.end, sums + k);
}

template <class V>
bool SadPass(const uint8_t* a, const uint8_t* b, bool negate, bool reversed, int32_t earlyLimit,
             uint32_t* sum) {
  if (negate)
    return reversed ? SadPassOf<V, true, true>(a, b, earlyLimit, sum)
                    : SadPassOf<V, true, false>(a, b, earlyLimit, sum);
  return reversed ? SadPassOf<V, false, true>(a, b, earlyLimit, sum)
                  : SadPassOf<V, false, false>(a, b, earlyLimit, sum);
}

template <class V>
void SadSums(const SadRequest& r, uint32_t* sums) {
  if (r.negate)
    r.reversed ? SadBatch<V, true, true>(r, sums) : SadBatch<V, true, false>(r, sums);
  else
    r.reversed ? SadBatch<V, false, true>(r, sums) : SadBatch<V, false, false>(r, sums);
}

}  // namespace
}  // namespace engine
