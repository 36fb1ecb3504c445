// Global memory blocks. Fixed and movable blocks alike are handles here (never the block's
// address), so GlobalLock is needed for both, as portable code does anyway.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "core/handles.h"
#include "core/out_of_memory.h"
#include "kernel/global_memory.h"
#include "sys/large_blocks.h"

namespace {

// Zero-filled bytes with room to grow; large blocks are sys's, grown without a copy.
class Bytes {
public:
    Bytes() = default;
    Bytes(const Bytes &) = delete;
    Bytes &operator=(const Bytes &) = delete;
    ~Bytes() { sys::release_large(data_, capacity_, size_); }

    uint8_t *data() const { return data_; }
    size_t size() const { return size_; }
    size_t capacity() const { return capacity_; }
    bool empty() const { return size_ == 0; }

    // Room for `bytes` without moving again; throws std::bad_alloc when it cannot be had.
    void reserve(size_t bytes) {
        if (data_ && bytes <= capacity_) return;
        uint8_t *grown = data_ ? sys::resize_large(data_, capacity_, bytes) : sys::acquire_large(bytes, true);
        if (!grown) throw std::bad_alloc();
        data_ = grown;
        capacity_ = bytes;
    }
    // New bytes are zero; growing past the room at least doubles it, so that growing again and
    // again moves each byte a bounded number of times.
    void resize(size_t bytes) {
        if (bytes > capacity_) reserve(std::max(bytes, 2 * capacity_));
        if (bytes < size_) std::memset(data_ + bytes, 0, size_ - bytes);
        size_ = bytes;
    }

private:
    uint8_t *data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;  // every byte past the size is zero
};

struct GlobalBlock {
    Bytes bytes;      // always zero-filled, which also serves GMEM_ZEROINIT
    UINT flags = 0;   // GMEM_MOVEABLE and GMEM_DISCARDABLE
    unsigned locks = 0;

    bool moveable() const { return (flags & GMEM_MOVEABLE) != 0; }
    // A movable block of no bytes has no memory, as a discarded one.
    bool discarded() const { return moveable() && bytes.empty(); }
};

layer::HandleTable<GlobalBlock> &blocks() {
    static layer::HandleTable<GlobalBlock> table(layer::Kind::Global);
    return table;
}

GlobalBlock *find(HGLOBAL mem) {
    GlobalBlock *block = blocks().get(mem);
    if (!block) SetLastError(ERROR_INVALID_HANDLE);
    return block;
}

HGLOBAL add(std::unique_ptr<GlobalBlock> block) {
    if (HGLOBAL handle = blocks().add(std::move(block))) return handle;
    return layer::out_of_memory(nullptr);
}

// A fixed block that cannot grow where it lies moves, and as its handle stands for its address,
// it gets a new handle. Room for twice the bytes it had, so that growing it again and again
// copies each byte a bounded number of times.
HGLOBAL move_fixed(HGLOBAL mem, const GlobalBlock &block, SIZE_T bytes) {
    auto moved = std::make_unique<GlobalBlock>();
    moved->flags = block.flags;
    moved->locks = block.locks;
    moved->bytes.reserve(std::max<size_t>(bytes, 2 * block.bytes.size()));
    moved->bytes.resize(block.bytes.size());
    std::memcpy(moved->bytes.data(), block.bytes.data(), block.bytes.size());
    moved->bytes.resize(bytes);
    HGLOBAL handle = add(std::move(moved));
    if (handle) blocks().remove(mem);
    return handle;
}

}  // namespace

namespace kernel {

bool reserve_global(HGLOBAL mem, size_t bytes) try {
    GlobalBlock *block = blocks().get(mem);
    if (!block || block->locks != 0) return false;
    block->bytes.reserve(bytes);
    return true;
} catch (const std::bad_alloc &) {
    return false;
}

}  // namespace kernel

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) try {
    auto block = std::make_unique<GlobalBlock>();
    block->flags = flags & (GMEM_MOVEABLE | GMEM_DISCARDABLE);
    block->bytes.reserve(bytes ? bytes : 1);  // a fixed block of no bytes still has an address
    block->bytes.resize(bytes);
    return add(std::move(block));
} OUT_OF_MEMORY_RETURNS(nullptr)

// Grows or shrinks where the block lies when it can. Otherwise the block moves, which a
// movable block may do unless locked, and any block may with GMEM_MOVEABLE; failing that, the
// call fails. GMEM_MODIFY with GMEM_MOVEABLE makes a fixed block movable and keeps its bytes.
HGLOBAL WINAPI GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) try {
    GlobalBlock *block = find(mem);
    if (!block) return nullptr;
    if (flags & GMEM_MODIFY) {
        block->flags |= flags & GMEM_MOVEABLE;
        return mem;
    }
    bool in_place = bytes <= block->bytes.capacity();
    bool may_move = (flags & GMEM_MOVEABLE) || (block->moveable() && block->locks == 0);
    if (!in_place && !may_move) return layer::out_of_memory(nullptr);
    if (in_place || block->moveable()) {
        block->bytes.resize(bytes);
        return mem;
    }
    return move_fixed(mem, *block, bytes);
} OUT_OF_MEMORY_RETURNS(nullptr)

LPVOID WINAPI GlobalLock(HGLOBAL mem) {
    GlobalBlock *block = find(mem);
    if (!block) return nullptr;
    if (block->discarded()) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    ++block->locks;
    return block->bytes.data();
}

// TRUE while the block stays locked; FALSE with error 0 when this was the last lock.
BOOL WINAPI GlobalUnlock(HGLOBAL mem) {
    GlobalBlock *block = find(mem);
    if (!block) return FALSE;
    if (block->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->locks > 0) return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

// The lock count in the low byte, with GMEM_DISCARDABLE and GMEM_DISCARDED.
UINT WINAPI GlobalFlags(HGLOBAL mem) {
    GlobalBlock *block = find(mem);
    if (!block) return GMEM_INVALID_HANDLE;
    UINT flags = std::min<UINT>(block->locks, GMEM_LOCKCOUNT) | (block->flags & GMEM_DISCARDABLE);
    return block->discarded() ? flags | GMEM_DISCARDED : flags;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL mem) {
    if (blocks().remove(mem)) return nullptr;
    SetLastError(ERROR_INVALID_HANDLE);
    return mem;
}

SIZE_T WINAPI GlobalSize(HGLOBAL mem) {
    GlobalBlock *block = find(mem);
    return block ? block->bytes.size() : 0;
}

}  // extern "C"
