#include "sys/temporary_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "sys/signals.h"

namespace sys {
namespace {

// A fixed table made in advance, so that the signal handler neither allocates nor locks. A slot
// being filled is busy; the handler removes only the files of held slots.
enum SlotState { kFree, kBusy, kHeld };

struct Slot {
    std::atomic<int> state{kFree};
    char path[4096] = {};
};

constexpr int kSlots = 32;
Slot slots[kSlots];

// Names already taken (a killed run's leftover with a reused process id) are skipped this often.
constexpr int kNameAttempts = 16;

}  // namespace

bool remember_temporary(const char *path) {
    size_t length = std::strlen(path);
    if (length >= sizeof(slots[0].path)) return false;
    for (Slot &slot : slots) {
        int free = kFree;
        if (!slot.state.compare_exchange_strong(free, kBusy)) continue;
        std::memcpy(slot.path, path, length + 1);
        slot.state.store(kHeld);
        return true;
    }
    return false;
}

void forget_temporary(const char *path) {
    for (Slot &slot : slots) {
        int held = kHeld;
        if (slot.state.load() == kHeld && std::strcmp(slot.path, path) == 0 &&
            slot.state.compare_exchange_strong(held, kFree))
            return;
    }
}

void remove_temporaries() {
    for (Slot &slot : slots)
        if (slot.state.load() == kHeld) unlink(slot.path);
}

int create_temporary_beside(const std::string &path, std::string *name) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        *name = path + "." + std::to_string(getpid()) + "." + std::to_string(counter++) + ".tmp";
        SignalsHeld held;
        int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd >= 0) {
            remember_temporary(name->c_str());
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

}  // namespace sys
