#include "gfx/memory_stream.h"

#include "base/unique_handle.h"
#include "gfx/sysapi.h"

namespace gfx {

// The stream never owns the block (CreateStreamOnHGlobal with FALSE in both modes), so the order of the
// release is ours: the stream first, then the memory under it. Clones share one Handles.
struct MemoryStream::Handles {
    HGLOBAL block = nullptr;
    base::ComPtr<IStream> stream;

    Handles() = default;
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;
    ~Handles() {
        stream.reset();
        if (block)
            sys::GlobalFree(block);
    }
};

MemoryStream::~MemoryStream() {
    MemoryStream::Free();
}

void MemoryStream::Release() {
    Free();
}

std::unique_ptr<MemoryStream> MemoryStream::Clone() const {
    auto copy = std::make_unique<MemoryStream>();
    copy->handles_ = handles_;
    return copy;
}

void MemoryStream::Free() {
    handles_.reset();
}

IStream* MemoryStream::Open(const uint8_t* data, bool fromData) {
    Free();
    auto handles = std::make_shared<Handles>();
    if (fromData) {
        const uint32_t n = BlockByteCount(data);
        // A fixed block of 0 bytes still has a size of 1 on some systems; an empty movable one has 0.
        handles->block = sys::GlobalAlloc(n > 0 ? GMEM_FIXED : GMEM_MOVEABLE, n);
        if (!handles->block)
            return nullptr;
        if (n > 0) {
            void* p = sys::GlobalLock(handles->block);
            if (!p)
                return nullptr;
            std::memcpy(p, BlockBytes(data), n);
            sys::GlobalUnlock(handles->block);
        }
    } else {
        handles->block = sys::GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!handles->block)
            return nullptr;
    }
    if (sys::CreateStreamOnHGlobal(handles->block, FALSE, handles->stream.put()) != S_OK)
        handles->stream.reset();
    handles_ = std::move(handles);
    return handles_->stream.get();
}

IStream* MemoryStream::GetStream() const {
    return handles_ ? handles_->stream.get() : nullptr;
}

SIZE_T MemoryStream::GetSize() const {
    return handles_ && handles_->block ? sys::GlobalSize(handles_->block) : 0;
}

ByteBlock MemoryStream::ToBytes() const {
    const SIZE_T n = GetSize();
    if (n == 0 || n > UINT32_MAX)
        return ByteBlock::Zeroed(0);
    const void* p = sys::GlobalLock(handles_->block);
    if (!p)
        return ByteBlock::Zeroed(0);
    ByteBlock copy = ByteBlock::CopyOf(static_cast<const uint8_t*>(p), static_cast<uint32_t>(n));
    sys::GlobalUnlock(handles_->block);
    return copy;
}

HGLOBAL MemoryStream::GetBlock() const {
    return handles_ ? handles_->block : nullptr;
}

}  // namespace gfx
