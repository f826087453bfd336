#pragma once
// Counted byte blocks: the form in which encoded images and converted texts travel. Layout: a 32-bit
// dimension count (always 1), a 32-bit byte count (little-endian), then the bytes. A null block counts as
// an empty one. Portable: no windows.h.

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace gfx {

inline uint32_t BlockByteCount(const uint8_t* block) {
    if (!block)
        return 0;
    uint32_t n;
    std::memcpy(&n, block + 4, 4);
    return n;
}

inline const uint8_t* BlockBytes(const uint8_t* block) {
    return block ? block + 8 : nullptr;
}

// An owned counted byte block. data() points at the block layout above (null when there is none, which
// counts as an empty block); bytes() at its payload. Move-only: one owner frees it.
class ByteBlock {
  public:
    ByteBlock() = default;
    ByteBlock(ByteBlock&&) noexcept = default;
    ByteBlock& operator=(ByteBlock&&) noexcept = default;
    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;

    // A zero-filled block of `byteCount` bytes; an empty ByteBlock when the memory cannot be had.
    static ByteBlock Zeroed(uint32_t byteCount) {
        ByteBlock b;
        b.storage_.reset(new (std::nothrow) uint8_t[size_t{8} + byteCount]());
        if (b.storage_) {
            const uint32_t dimensions = 1;
            std::memcpy(b.storage_.get(), &dimensions, 4);
            std::memcpy(b.storage_.get() + 4, &byteCount, 4);
        }
        return b;
    }

    static ByteBlock CopyOf(const uint8_t* bytes, uint32_t byteCount) {
        ByteBlock b = Zeroed(byteCount);
        if (b.storage_ && byteCount > 0)
            std::memcpy(b.bytes(), bytes, byteCount);
        return b;
    }

    const uint8_t* data() const { return storage_.get(); }
    uint8_t* bytes() { return storage_ ? storage_.get() + 8 : nullptr; }
    const uint8_t* bytes() const { return BlockBytes(storage_.get()); }
    uint32_t size() const { return BlockByteCount(storage_.get()); }

  private:
    std::unique_ptr<uint8_t[]> storage_;
};

}  // namespace gfx
