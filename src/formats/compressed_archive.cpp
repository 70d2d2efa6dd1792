#include "formats/compressed_archive.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>
#include <vector>

#define ZLIB_CONST
#include <zlib.h>

namespace {

// "BIFCV1.0": the inflated length, then the first block.
constexpr std::uint64_t kBlocksLength = 0x08;  // dword
constexpr std::uint64_t kFirstBlock = 0x0C;
constexpr std::uint64_t kBlockHeaderSize = 8;  // inflated length, compressed length
// A block of more than this is no block a writer makes (they make 8 KiB ones), and it is
// allocated whole before it is inflated; nor is a block of none, which would let a file of zeros
// walk on without end.
constexpr std::uint64_t kMostBlock = std::uint64_t{8} << 20;
static_assert(kMostBlockRead >= kMostBlock + kMostBlock / 64 + 64);

// "BIF V1.0": the name's length, the name, then the two lengths and the stream.
constexpr std::uint64_t kNameLength = 0x08;  // dword, the NUL included
constexpr std::uint64_t kName = 0x0C;

// Bytes of the compressed file asked for at once where a part of it cannot be had yet, beside
// what the inflated bytes still wanted may take compressed: a page that reads a file a part at a
// time then walks a file's block headers, or feeds its stream, as far as asked in a round or two.
// A file mapped whole has every part at once and asks for nothing more.
constexpr std::uint64_t kWindow = std::uint64_t{64} << 10;

// How many compressed bytes to ask for where `inflated` bytes are still wanted: compressed data
// takes no more room than it inflates to, but for a little.
constexpr std::uint64_t aheadFor(std::uint64_t inflated) {
  return inflated + inflated / 8 + kWindow;
}

// Inflated bytes of a stream are kept in pieces of this size, so that a view handed out stays
// where it is while the stream inflates further.
constexpr std::uint64_t kPiece = std::uint64_t{64} << 10;

// Bytes handed out that had to be joined from several pieces, kept for as long as the archive,
// each range joined once however often it is asked for.
class Joined {
 public:
  template <typename CopyPart>
  View join(std::uint64_t offset, std::uint64_t length, CopyPart copyPart) {
    auto [at, added] = joined_.try_emplace({offset, length});
    if (added) {
      at->second.resize(static_cast<std::size_t>(length));
      copyPart(at->second.data());
    }
    return {at->second.data(), length};
  }

 private:
  std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<std::uint8_t>> joined_;
};

// The bytes of `raw` from `offset`, exactly `length` of them, or nothing when they cannot be had
// yet; then `ahead` bytes from `offset` are asked for, so that the next round of a page has them.
std::optional<View> rawBytes(ArchiveBytes& raw, std::uint64_t offset, std::uint64_t length,
                             std::uint64_t ahead = kWindow) {
  const View bytes = raw.bytes(offset, length);
  if (bytes.size == length) return bytes;
  static_cast<void>(raw.bytes(offset, std::max(length, ahead)));
  return std::nullopt;
}

// True when [offset, offset + length) lies inside a file of `size` bytes.
bool within(std::uint64_t size, std::uint64_t offset, std::uint64_t length) {
  return length <= size && offset <= size - length;
}

class BlockArchive final : public ArchiveBytes {
 public:
  ~BlockArchive() override {
    if (started_) inflateEnd(&z_);
  }
  BlockArchive(const BlockArchive&) = delete;
  BlockArchive& operator=(const BlockArchive&) = delete;
  explicit BlockArchive(std::unique_ptr<ArchiveBytes> raw) : raw_(std::move(raw)) {
    if (!within(raw_->size(), 0, kFirstBlock)) {
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
    auto block = std::upper_bound(blocks_.begin(), blocks_.end(), offset,
                                  [](std::uint64_t at, const Block& b) { return at < b.end(); });
    if (block != blocks_.end() && end <= block->end()) {
      const std::uint8_t* inflated = inflate(*block);
      if (inflated == nullptr) return {};
      return {const_cast<std::uint8_t*>(inflated) + (offset - block->start), end - offset};
    }
    // Across blocks: every one of them inflated first, then joined.
    std::vector<std::pair<const Block*, const std::uint8_t*>> parts;
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
  struct Block {
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
      if (!within(raw_->size(), next_, kBlockHeaderSize)) {
        // The file ends before the blocks cover what it states.
        trouble_ = next_ == raw_->size() ? InflateTrouble::WrongLength : InflateTrouble::BeyondFile;
        return false;
      }
      const std::optional<View> header =
          rawBytes(*raw_, next_, kBlockHeaderSize, aheadFor(end - walked_));
      if (!header) return false;
      const Block block{walked_, loadU32(*header, 0), next_ + kBlockHeaderSize,
                        loadU32(*header, 4)};
      if (!within(raw_->size(), block.raw, block.compressed)) {
        trouble_ = InflateTrouble::BeyondFile;
        return false;
      }
      if (block.inflated > kMostBlock || block.compressed > kMostBlockRead) {
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
  const std::uint8_t* inflate(const Block& block) {
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
  std::vector<Block> blocks_;
  std::uint64_t walked_ = 0;          // the blocks walked cover the archive up to here
  std::uint64_t next_ = kFirstBlock;  // the next block's header in the file
  std::map<std::uint64_t, std::unique_ptr<std::uint8_t[]>> inflated_;  // by the block's start
  z_stream z_{};
  bool started_ = false;
  Joined joined_;
};

class StreamArchive final : public ArchiveBytes {
 public:
  explicit StreamArchive(std::unique_ptr<ArchiveBytes> raw) : raw_(std::move(raw)) {
    if (!within(raw_->size(), 0, kName)) {
      trouble_ = InflateTrouble::BeyondFile;
      return;
    }
    const std::optional<View> head = rawBytes(*raw_, 0, kName);
    if (!head) return;  // read in a later round
    const std::uint64_t lengths = kName + loadU32(*head, kNameLength);
    if (!within(raw_->size(), lengths, 8)) {
      trouble_ = InflateTrouble::BeyondFile;
      return;
    }
    const std::optional<View> stated = rawBytes(*raw_, lengths, 8);
    if (!stated) return;
    size_ = loadU32(*stated, 0);
    stream_ = lengths + 8;
    compressed_ = loadU32(*stated, 4);
    if (!within(raw_->size(), stream_, compressed_)) {
      trouble_ = InflateTrouble::BeyondFile;
    } else if (size_ > kMostInflated) {
      trouble_ = InflateTrouble::TooLarge;
    }
  }
  ~StreamArchive() override {
    if (started_) inflateEnd(&z_);
  }
  StreamArchive(const StreamArchive&) = delete;
  StreamArchive& operator=(const StreamArchive&) = delete;

  [[nodiscard]] std::uint64_t size() const override {
    return trouble_ == InflateTrouble::None ? size_ : 0;
  }

  [[nodiscard]] View bytes(std::uint64_t offset, std::uint64_t length) override {
    if (trouble_ != InflateTrouble::None || offset >= size_) return {};
    const std::uint64_t end = offset + std::min(length, size_ - offset);
    if (!inflateTo(end)) return {};
    const std::uint64_t piece = offset / kPiece;
    if ((end - 1) / kPiece == piece) {
      return {pieceAt(piece) + (offset - piece * kPiece), end - offset};
    }
    return joined_.join(offset, end - offset, [&](std::uint8_t* to) {
      for (std::uint64_t at = offset; at < end;) {
        const std::uint64_t until = std::min(end, (at / kPiece + 1) * kPiece);
        std::memcpy(to + (at - offset), pieceAt(at / kPiece) + at % kPiece,
                    static_cast<std::size_t>(until - at));
        at = until;
      }
    });
  }

  [[nodiscard]] InflateTrouble trouble() const override { return trouble_; }

 private:
  std::uint8_t* pieceAt(std::uint64_t piece) {
    return pieces_[static_cast<std::size_t>(piece)].get();
  }

  // Inflates the stream from where it stopped until it has given `end` bytes. False when its
  // next part cannot be had yet, or it is damaged (trouble_ says how).
  bool inflateTo(std::uint64_t end) {
    if (!started_) {
      if (inflateInit(&z_) != Z_OK) {
        trouble_ = InflateTrouble::DoesNotInflate;
        return false;
      }
      started_ = true;
      // A stream is read only as far as asked, seldom to its end where its check value stands,
      // so that value is not worked out on the way; a damaged stream still fails to decode.
      inflateValidate(&z_, 0);
    }
    while (inflated_ < end) {
      if (z_.avail_in == 0) {
        if (fed_ == compressed_) {  // the whole stream is in, and it gave too little
          trouble_ = InflateTrouble::DoesNotInflate;
          return false;
        }
        const std::uint64_t rest = compressed_ - fed_;
        const std::uint64_t part = std::min(kWindow, rest);
        const std::optional<View> in =
            rawBytes(*raw_, stream_ + fed_, part, std::min(rest, aheadFor(end - inflated_)));
        if (!in) return false;
        z_.next_in = in->data;
        z_.avail_in = static_cast<uInt>(in->size);
        fed_ += part;
      }
      const std::uint64_t piece = inflated_ / kPiece;
      if (piece == pieces_.size()) {
        // Not zeroed: the stream fills every byte before it is handed out.
        pieces_.emplace_back(
            new std::uint8_t[static_cast<std::size_t>(std::min(kPiece, size_ - piece * kPiece))]);
      }
      // No further than asked: what lies beyond may never be needed.
      const std::uint64_t room =
          std::min(std::min(kPiece, size_ - piece * kPiece) - inflated_ % kPiece, end - inflated_);
      z_.next_out = pieceAt(piece) + inflated_ % kPiece;
      z_.avail_out = static_cast<uInt>(room);
      const uInt pending = z_.avail_in;
      const int result = ::inflate(&z_, Z_NO_FLUSH);
      const std::uint64_t given = room - z_.avail_out;
      inflated_ += given;
      if (given == 0 && z_.avail_in == pending && result != Z_STREAM_END) {
        trouble_ = InflateTrouble::DoesNotInflate;  // it takes nothing more and gives nothing
        return false;
      }
      if (result == Z_STREAM_END) {
        if (inflated_ != size_) {
          trouble_ = InflateTrouble::WrongLength;
          return false;
        }
      } else if (result != Z_OK && result != Z_BUF_ERROR) {
        trouble_ = InflateTrouble::DoesNotInflate;
        return false;
      }
    }
    return true;
  }

  std::unique_ptr<ArchiveBytes> raw_;
  InflateTrouble trouble_ = InflateTrouble::None;
  std::uint64_t size_ = 0;        // as stated
  std::uint64_t stream_ = 0;      // where the stream starts in the file
  std::uint64_t compressed_ = 0;  // its length, as stated
  std::uint64_t fed_ = 0;         // of it, the bytes handed to zlib so far
  z_stream z_{};
  bool started_ = false;
  std::vector<std::unique_ptr<std::uint8_t[]>> pieces_;
  std::uint64_t inflated_ = 0;  // bytes the stream has given
  Joined joined_;
};

}  // namespace

ArchiveForm archiveFormOf(const View& head) {
  if (hasSignature(head, 0, kBlocksSignature, kFormSignatureSize)) return ArchiveForm::Blocks;
  if (hasSignature(head, 0, kStreamSignature, kFormSignatureSize)) return ArchiveForm::Stream;
  return ArchiveForm::Plain;
}

bool isArchiveFile(const View& head) {
  return hasSignature(head, 0, "BIFF", 4) || archiveFormOf(head) != ArchiveForm::Plain;
}

std::unique_ptr<ArchiveBytes> readableArchive(std::unique_ptr<ArchiveBytes> raw) {
  switch (archiveFormOf(raw->bytes(0, kFormSignatureSize))) {
    case ArchiveForm::Blocks:
      return std::make_unique<BlockArchive>(std::move(raw));
    case ArchiveForm::Stream:
      return std::make_unique<StreamArchive>(std::move(raw));
    case ArchiveForm::Plain:
      break;
  }
  return raw;
}
