// Allocation failures stop at the layer's export boundary. An export that allocates is written
// as a function-try-block ending in OUT_OF_MEMORY_RETURNS(its documented failure result):
//
//     extern "C" HWND WINAPI CreateWindowExA(...) try {
//         ...
//     } OUT_OF_MEMORY_RETURNS(nullptr)
//
// so that an allocation failing anywhere inside it (std::bad_alloc, or std::length_error for a
// size no allocation can have) gives that result with ERROR_NOT_ENOUGH_MEMORY instead of ending
// the process.
#pragma once
#include <windows.h>

#include <new>
#include <stdexcept>

namespace layer {

template <class R>
R out_of_memory(R failure) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return failure;
}

// Where the layer allocates an object it hands out (behind a handle or an interface): throws
// std::bad_alloc when the "Allocation" fault rule makes this allocation fail.
void allocation_point();

}  // namespace layer

#define OUT_OF_MEMORY_RETURNS(failure)          \
    catch (const std::bad_alloc &) {            \
        return layer::out_of_memory(failure);   \
    }                                           \
    catch (const std::length_error &) {         \
        return layer::out_of_memory(failure);   \
    }
