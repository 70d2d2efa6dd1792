#include "formats/block_archive.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#define ZLIB_CONST
#include <zlib.h>

#include "formats/compressed_archive.h"
#include "formats/inflated_parts.h"

namespace {

// "BIFCV1.0": the inflated length, then the first block.
constexpr std::uint64_t kBlocksLength = 0x08;  // dword
constexpr std::uint64_t kFirstBlock = 0x0C;
constexpr std::uint64_t kBlockHeaderSize = 8;  // inflated length, compressed length

class BlockArchive final : public ArchiveBytes {
 public:
  ~BlockArchive() override {
    if (started_) inflateEnd(&z_);
  }
  BlockArchive(const BlockArchive&) = delete;
  BlockArchive& operator=(const BlockArchive&) = delete;
  explicit BlockArchive(std::unique_ptr<ArchiveBytes> raw) : raw_(std::move(raw)) {
    if (!fitsIn(raw_->size(), 0, kFirstBlock)) {
      trouble_ = InflateTrouble::BeyondFile;
      return;
    }
    const std::optional<View> head = rawBytes(*raw_, 0, kFirstBlock);
    if (!head) return;  // read in a later round
    size_ = loadU32(*head, kBlocksLength);
    if (size_ > kMostInflated) trouble_ = InflateTrouble::TooLarge;
  }

  [[nodiscard]] std::uint64_t size() const override {
    return trouble_ == InflateTrouble::None ? size_ : 0;
  }

  [[nodiscard]] View bytes(std::uint64_t offset, std::uint64_t length) override {
    if (trouble_ != InflateTrouble::None || offset >= size_) return {};
    const std::uint64_t end = offset + std::min(length, size_ - offset);
    if (!walkTo(end)) return {};
    // The first block that ends past `offset`; blocks of no bytes hold none of them.
    auto block =
        std::upper_bound(blocks_.begin(), blocks_.end(), offset,
                         [](std::uint64_t at, const CompressedBlock& b) { return at < b.end(); });
    if (block != blocks_.end() && end <= block->end()) {
      const std::uint8_t* inflated = inflate(*block);
      if (inflated == nullptr) return {};
      return {const_cast<std::uint8_t*>(inflated) + (offset - block->start), end - offset};
    }
    // Across blocks: every one of them inflated first, then joined.
    std::vector<std::pair<const CompressedBlock*, const std::uint8_t*>> parts;
    for (auto b = block; b != blocks_.end() && b->start < end; ++b) {
      const std::uint8_t* inflated = inflate(*b);
      if (inflated == nullptr) return {};
      parts.emplace_back(&*b, inflated);
    }
    return joined_.join(offset, end - offset, [&](std::uint8_t* to) {
      for (const auto& [b, inflated] : parts) {
        const std::uint64_t from = std::max(offset, b->start);
        const std::uint64_t until = std::min(end, b->end());
        std::memcpy(to + (from - offset), inflated + (from - b->start),
                    static_cast<std::size_t>(until - from));
      }
    });
  }

  [[nodiscard]] InflateTrouble trouble() const override { return trouble_; }

 private:
  struct CompressedBlock {
    std::uint64_t start;       // its first byte in the archive
    std::uint64_t inflated;    // how many bytes it inflates to
    std::uint64_t raw;         // where its stream starts in the file
    std::uint64_t compressed;  // the stream's length
    [[nodiscard]] std::uint64_t end() const { return start + inflated; }
  };

  // Walks the block headers until the blocks cover the archive up to `end`. False when a header
  // cannot be had yet, or the file is damaged (trouble_ says how).
  bool walkTo(std::uint64_t end) {
    while (walked_ < end) {
      if (!fitsIn(raw_->size(), next_, kBlockHeaderSize)) {
        // The file ends before the blocks cover what it states.
        trouble_ = next_ == raw_->size() ? InflateTrouble::WrongLength : InflateTrouble::BeyondFile;
        return false;
      }
      const std::optional<View> header =
          rawBytes(*raw_, next_, kBlockHeaderSize, compressedBound(end - walked_));
      if (!header) return false;
      const CompressedBlock block{walked_, loadU32(*header, 0), next_ + kBlockHeaderSize,
                                  loadU32(*header, 4)};
      if (!fitsIn(raw_->size(), block.raw, block.compressed)) {
        trouble_ = InflateTrouble::BeyondFile;
        return false;
      }
      if (block.inflated > kMostBlockInflated || block.compressed > kMostBlockRead) {
        trouble_ = InflateTrouble::TooLarge;
        return false;
      }
      if (block.inflated == 0) {
        trouble_ = InflateTrouble::WrongLength;
        return false;
      }
      if (block.inflated > size_ - walked_) {
        trouble_ = InflateTrouble::WrongLength;
        return false;
      }
      blocks_.push_back(block);
      walked_ += block.inflated;
      next_ = block.raw + block.compressed;
    }
    return true;
  }

  // The bytes `block` inflates to, inflated once; nullptr when its stream cannot be had yet or
  // does not inflate to its length (trouble_ says which).
  const std::uint8_t* inflate(const CompressedBlock& block) {
    if (const auto known = inflated_.find(block.start); known != inflated_.end()) {
      return known->second.get();
    }
    const std::optional<View> stream = rawBytes(*raw_, block.raw, block.compressed);
    if (!stream) return nullptr;
    // One stream state for every block, reset for each: blocks are many and small.
    if (!started_ ? inflateInit(&z_) != Z_OK : inflateReset(&z_) != Z_OK) {
      trouble_ = InflateTrouble::DoesNotInflate;
      return nullptr;
    }
    started_ = true;
    // Not zeroed: the stream fills every byte, or the block is refused.
    std::unique_ptr<std::uint8_t[]> out(new std::uint8_t[static_cast<std::size_t>(block.inflated)]);
    std::uint8_t none = 0;
    z_.next_in = stream->data;
    z_.avail_in = static_cast<uInt>(stream->size);
    z_.next_out = block.inflated == 0 ? &none : out.get();
    z_.avail_out = static_cast<uInt>(block.inflated);
    const int result = ::inflate(&z_, Z_FINISH);
    const bool filled = z_.avail_out == 0;
    if (result != Z_STREAM_END) {
      // Room for every byte it states, and it would give more: a longer block than stated.
      trouble_ = result == Z_BUF_ERROR && filled && z_.avail_in > 0
                     ? InflateTrouble::WrongLength
                     : InflateTrouble::DoesNotInflate;
      return nullptr;
    }
    if (!filled) {
      trouble_ = InflateTrouble::WrongLength;
      return nullptr;
    }
    return inflated_.emplace(block.start, std::move(out)).first->second.get();
  }

  std::unique_ptr<ArchiveBytes> raw_;
  InflateTrouble trouble_ = InflateTrouble::None;
  std::uint64_t size_ = 0;  // as stated
  std::vector<CompressedBlock> blocks_;
  std::uint64_t walked_ = 0;          // the blocks walked cover the archive up to here
  std::uint64_t next_ = kFirstBlock;  // the next block's header in the file
  std::map<std::uint64_t, std::unique_ptr<std::uint8_t[]>> inflated_;  // by the block's start
  z_stream z_{};
  bool started_ = false;
  JoinedRanges joined_;
};

}  // namespace

std::unique_ptr<ArchiveBytes> blockArchiveOver(std::unique_ptr<ArchiveBytes> raw) {
  return std::make_unique<BlockArchive>(std::move(raw));
}
