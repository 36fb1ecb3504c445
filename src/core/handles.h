// Typed handle tables. A handle value packs a generation (8 bits, never 0), the object kind
// (4 bits) and a slot index (20 bits), so it is never 0 or -1, fits the 32 bits the platform
// prints, and a stale, forged or wrong-kind handle is recognised instead of dereferenced.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/out_of_memory.h"

namespace layer {

enum class Kind : uint32_t {
    Window = 1,
    DeviceContext = 2,
    Bitmap = 3,
    File = 4,
    Mapping = 5,
    Global = 6,
    Console = 7,
    Stock = 8,     // icons, cursors and brushes the system owns; never freed
    Image = 9,     // GDI+ images
    Graphics = 10, // GDI+ drawing surfaces
    Palette = 11,  // GDI logical palettes
    Brush = 12,    // GDI brushes
};

struct HandleBits {
    static constexpr uint32_t kIndexBits = 20;
    static constexpr uint32_t kIndexMask = (1u << kIndexBits) - 1;
    static uintptr_t pack(Kind kind, uint32_t index, uint8_t generation) {
        return (uintptr_t(generation) << 24) | (uintptr_t(kind) << kIndexBits) | index;
    }
    static Kind kind(uintptr_t value) { return Kind((value >> kIndexBits) & 0xF); }
    static uint32_t index(uintptr_t value) { return uint32_t(value & kIndexMask); }
    static uint8_t generation(uintptr_t value) { return uint8_t(value >> 24); }
    static bool plausible(uintptr_t value) { return value != 0 && (value >> 32) == 0 && generation(value) != 0; }
};

// Kind of a handle value, or 0 when the value cannot be a handle of ours.
inline uint32_t kind_of(const void *handle) {
    uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    return HandleBits::plausible(value) ? uint32_t(HandleBits::kind(value)) : 0;
}

template <class T>
class HandleTable {
public:
    explicit HandleTable(Kind kind) : kind_(kind) {}

    // May throw std::bad_alloc; the object is then destroyed.
    void *add(std::unique_ptr<T> object) {
        allocation_point();
        uint32_t index;
        if (!free_.empty()) {
            index = free_.back();
            free_.pop_back();
        } else {
            if (slots_.size() > HandleBits::kIndexMask) return nullptr;
            index = uint32_t(slots_.size());
            // Room for every slot on the free list, so that remove() never allocates; grown by
            // doubling, and before the slot, so that a failure leaves nothing behind.
            if (free_.capacity() <= slots_.size()) free_.reserve(2 * slots_.size() + 1);
            slots_.push_back(Slot{});
        }
        Slot &slot = slots_[index];
        slot.object = std::move(object);
        ++live_;
        return reinterpret_cast<void *>(HandleBits::pack(kind_, index, slot.generation));
    }

    T *get(const void *handle) const {
        const Slot *slot = find(handle);
        return slot ? slot->object.get() : nullptr;
    }

    std::unique_ptr<T> remove(const void *handle) {
        Slot *slot = const_cast<Slot *>(find(handle));
        if (!slot) return nullptr;
        std::unique_ptr<T> object = std::move(slot->object);
        slot->generation = uint8_t(slot->generation == 255 ? 1 : slot->generation + 1);
        free_.push_back(uint32_t(slot - slots_.data()));
        --live_;
        return object;
    }

    template <class F>
    void for_each(F f) const {
        for (const Slot &slot : slots_)
            if (slot.object) f(*slot.object);
    }

    size_t live() const { return live_; }

private:
    struct Slot {
        uint8_t generation = 1;
        std::unique_ptr<T> object;
    };

    const Slot *find(const void *handle) const {
        uintptr_t value = reinterpret_cast<uintptr_t>(handle);
        if (!HandleBits::plausible(value) || HandleBits::kind(value) != kind_) return nullptr;
        uint32_t index = HandleBits::index(value);
        if (index >= slots_.size()) return nullptr;
        const Slot &slot = slots_[index];
        if (!slot.object || slot.generation != HandleBits::generation(value)) return nullptr;
        return &slot;
    }

    Kind kind_;
    std::vector<Slot> slots_;
    std::vector<uint32_t> free_;
    size_t live_ = 0;
};

}  // namespace layer
