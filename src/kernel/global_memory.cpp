// Global memory blocks. Fixed and movable blocks alike are handles here (never the block's
// address), so GlobalLock is needed for both, as portable code does anyway.
#include <windows.h>

#include <new>
#include <vector>

#include "core/handles.h"
#include "core/out_of_memory.h"

namespace {

struct GlobalBlock {
    std::vector<uint8_t> bytes;  // always zero-filled, which also serves GMEM_ZEROINIT
    unsigned locks = 0;
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

constexpr DWORD kErrorNotLocked = 158;

}  // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T bytes) try {
    auto block = std::make_unique<GlobalBlock>();
    block->bytes.resize(bytes);
    if (HGLOBAL handle = blocks().add(std::move(block))) return handle;
    return layer::out_of_memory(nullptr);
} OUT_OF_MEMORY_RETURNS(nullptr)

LPVOID WINAPI GlobalLock(HGLOBAL mem) {
    GlobalBlock *block = find(mem);
    if (!block || block->bytes.empty()) return nullptr;
    ++block->locks;
    return block->bytes.data();
}

// TRUE while the block stays locked; FALSE with error 0 when this was the last lock.
BOOL WINAPI GlobalUnlock(HGLOBAL mem) {
    GlobalBlock *block = find(mem);
    if (!block) return FALSE;
    if (block->locks == 0) {
        SetLastError(kErrorNotLocked);
        return FALSE;
    }
    if (--block->locks > 0) return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
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
