#include "formats/stream_archive.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#define ZLIB_CONST
#include <zlib.h>

#include "formats/compressed_archive.h"
#include "formats/inflated_parts.h"

namespace {

// "BIF V1.0": the name's length, the name, then the two lengths and the stream.
constexpr std::uint64_t kNameLength = 0x08;  // dword, the NUL included
constexpr std::uint64_t kName = 0x0C;

// Inflated bytes of a stream are kept in pieces of this size, so that a view handed out stays
// where it is while the stream inflates further.
constexpr std::uint64_t kPiece = std::uint64_t{64} << 10;

class StreamArchive final : public ArchiveBytes {
 public:
  explicit StreamArchive(std::unique_ptr<ArchiveBytes> raw) : raw_(std::move(raw)) {
    if (!fitsIn(raw_->size(), 0, kName)) {
      trouble_ = InflateTrouble::BeyondFile;
      return;
    }
    const std::optional<View> head = rawBytes(*raw_, 0, kName);
    if (!head) return;  // read in a later round
    const std::uint64_t lengths = kName + loadU32(*head, kNameLength);
    if (!fitsIn(raw_->size(), lengths, 8)) {
      trouble_ = InflateTrouble::BeyondFile;
      return;
    }
    const std::optional<View> stated = rawBytes(*raw_, lengths, 8);
    if (!stated) return;
    size_ = loadU32(*stated, 0);
    stream_ = lengths + 8;
    compressed_ = loadU32(*stated, 4);
    if (!fitsIn(raw_->size(), stream_, compressed_)) {
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
        const std::uint64_t part = std::min(kInflateWindow, rest);
        const std::optional<View> in =
            rawBytes(*raw_, stream_ + fed_, part, std::min(rest, compressedBound(end - inflated_)));
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
  JoinedRanges joined_;
};

}  // namespace

std::unique_ptr<ArchiveBytes> streamArchiveOver(std::unique_ptr<ArchiveBytes> raw) {
  return std::make_unique<StreamArchive>(std::move(raw));
}
