// Finds every place of either of two bytes in a block of 64 at once, as a
// bit mask.
#ifndef QUORVANTIDE_COMMON_BYTE_MASKS_H_
#define QUORVANTIDE_COMMON_BYTE_MASKS_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || \
    (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define QUORVANTIDE_SSE2 1
#endif
#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

// The bytes a mask covers.
constexpr size_t kMaskBlock = 64;

// Bit i set where block[i] is `first` or `second`, for the kMaskBlock bytes
// at `block`, all of which must be readable. One pass over the bytes finds
// both, which is cheaper than a search of its own for each place of each;
// the caller tells the two apart by the byte itself.
inline uint64_t MatchEither(const char* block, char first, char second) {
  uint64_t mask = 0;
#ifdef QUORVANTIDE_SSE2
  const __m128i want_first = _mm_set1_epi8(first);
  const __m128i want_second = _mm_set1_epi8(second);
  for (size_t i = 0; i < kMaskBlock; i += 16) {
    const __m128i bytes =
        _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
    const __m128i either = _mm_or_si128(_mm_cmpeq_epi8(bytes, want_first),
                                        _mm_cmpeq_epi8(bytes, want_second));
    mask |=
        static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(either)))
        << i;
  }
#else
  for (size_t i = 0; i < kMaskBlock; ++i) {
    mask |= static_cast<uint64_t>(block[i] == first || block[i] == second) << i;
  }
#endif
  return mask;
}

// MatchEither for the `size` bytes at `bytes`, kMaskBlock at most, which
// may be the last ones readable; neither byte asked for may be NUL, so that
// the bits past them stay clear.
inline uint64_t MatchEitherIn(const char* bytes, size_t size, char first,
                              char second) {
  if (size == kMaskBlock) return MatchEither(bytes, first, second);
  char block[kMaskBlock] = {};
  std::memcpy(block, bytes, size);
  return MatchEither(block, first, second);
}

// The number of the lowest set bit of `mask`, which must not be 0.
inline size_t LowestBit(uint64_t mask) {
#if defined(__GNUC__) || defined(__clang__)
  return static_cast<size_t>(__builtin_ctzll(mask));
#elif defined(_MSC_VER) && defined(_M_X64)
  unsigned long bit;
  _BitScanForward64(&bit, mask);
  return bit;
#else
  size_t bit = 0;
  while ((mask & 1) == 0) {
    mask >>= 1;
    ++bit;
  }
  return bit;
#endif
}

#endif  // QUORVANTIDE_COMMON_BYTE_MASKS_H_
