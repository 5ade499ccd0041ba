// Sums of absolute differences between signatures: the inner loop of the search.
//
//   sums[k] = sum over i in [begin, end) of |a'(i) - b_k(j)|
//     a'(i) = a(i), or its two's-complement negation (256 - a(i)) mod 256
//     j     = i, or 4095 - i when b is read reversed (b turned by 180 degrees)
//
// One signature a is held against count signatures b at once, so that a
// search with a fixed first image loads it once for several second images.
// Every kernel gives exactly the sums of the plain one; they differ only in
// speed. A sum is at most 4096 x 255, so it fits 32 bits. Kernels allocate
// nothing and keep no state: any thread may call any kernel at any time.
#pragma once

#include <cstdint>
#include <vector>

namespace engine {

struct SadRequest {
  const uint8_t* a;         // kSignatureBytes bytes
  const uint8_t* const* b;  // count pointers to kSignatureBytes bytes each
  int count;
  int begin;  // 0 <= begin <= end <= kSignatureBytes; any values, vector
  int end;    // kernels finish odd ends byte by byte
  bool negate;
  bool reversed;
};

// Writes count sums.
using SadFunction = void (*)(const SadRequest& request, uint32_t* sums);

// The terms summed before a similarity pass takes its early look (i = 0 .. 1024).
inline constexpr int kSadEarlyTerms = 1025;

// One pair as a similarity pass sums it: the first kSadEarlyTerms terms; when
// they add up to more than earlyLimit the pass stops there (false, *sum is
// that part), else it goes on to the end (true, *sum is the whole sum).
using SadPassFunction = bool (*)(const uint8_t* a, const uint8_t* b, bool negate, bool reversed,
                                 int32_t earlyLimit, uint32_t* sum);

enum class SadKernelKind { Plain, Sse2, Avx2, Avx512 };

struct SadKernel {
  SadKernelKind kind;
  const char* name;
  SadFunction sums;
  SadPassFunction pass;
};

// The kernel of that kind when this build carries it and this processor runs
// it; otherwise nullptr. Plain is always there.
const SadKernel* FindSadKernel(SadKernelKind kind);

// Every kernel this build carries and this processor runs, plain first.
std::vector<const SadKernel*> SupportedSadKernels();

// The fastest of them, chosen once.
const SadKernel& BestSadKernel();

}  // namespace engine
