#pragma once
// One bit per pooled object of one file, in creation order: set when the object may have
// finished (it left a service, or an effect it waits for did), so that the pool looks only
// at those instead of walking every busy object.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace quarn {

class ReuseMarks {
 public:
  void Set(size_t index) {
    if (index / 64 >= words_.size())
      words_.resize(index / 64 + 1, 0);
    words_[index / 64] |= uint64_t{1} << (index % 64);
  }
  void Clear(size_t index) {
    if (index / 64 < words_.size())
      words_[index / 64] &= ~(uint64_t{1} << (index % 64));
  }
  // The first set mark at or after from; npos when there is none.
  size_t FirstFrom(size_t from) const {
    for (size_t w = from / 64; w < words_.size(); ++w) {
      uint64_t word = words_[w];
      if (w == from / 64)
        word &= ~uint64_t{0} << (from % 64);
      if (word != 0)
        return w * 64 + static_cast<size_t>(__builtin_ctzll(word));
    }
    return npos;
  }
  static constexpr size_t npos = static_cast<size_t>(-1);

 private:
  std::vector<uint64_t> words_;
};

}  // namespace quarn
