#pragma once
// A COM stream laid over a block of global memory: filled from a counted byte block to decode an image, or
// empty and growing to be written into.

#include <windows.h>
#include <objidl.h>

#include <cstdint>
#include <memory>

#include "gfx/byteblock.h"

namespace gfx {

class MemoryStream {
  public:
    MemoryStream() = default;
    MemoryStream(const MemoryStream&) = delete;
    MemoryStream& operator=(const MemoryStream&) = delete;

    // The operations keep this order.
    virtual void Release();
    // A second object over the same block and stream; they stay valid until both objects let go of them.
    virtual std::unique_ptr<MemoryStream> Clone() const;
    // Lets go of the stream and the block (the last holder releases the stream, then frees the block).
    virtual void Free();
    // fromData: a fixed block holding a copy of `data` (a counted byte block; null counts as empty);
    // otherwise an empty growable block to write into. Returns the stream, or null.
    virtual IStream* Open(const uint8_t* data, bool fromData);
    virtual IStream* GetStream() const;
    virtual SIZE_T GetSize() const;
    // A copy of the first GetSize() bytes of the block.
    virtual ByteBlock ToBytes() const;

    virtual ~MemoryStream();

    HGLOBAL GetBlock() const;

  private:
    struct Handles;
    std::shared_ptr<Handles> handles_;
};

}  // namespace gfx
