// A hint to the processor to fetch memory that a search will soon read.
// Where the compiler offers none, the hint is simply not given.

#ifndef MSGREPORT_CATALOGUE_PREFETCH_H_
#define MSGREPORT_CATALOGUE_PREFETCH_H_

namespace msgreport {

inline void PrefetchForReading(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address);
#else
  static_cast<void>(address);
#endif
}

}  // namespace msgreport

#endif  // MSGREPORT_CATALOGUE_PREFETCH_H_
