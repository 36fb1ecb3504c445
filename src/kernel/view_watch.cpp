#include "kernel/view_watch.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <new>

namespace kernel {

struct ViewWatch {
    uint8_t *base;
    size_t length;
    uint64_t device;
    uint64_t inode;
    volatile sig_atomic_t damaged;
    ViewWatch *next;
};

namespace {

std::atomic<ViewWatch *> watched{nullptr};
struct sigaction previous_handler;
uintptr_t page_size;

// Hands a fault that is not ours to whoever handled SIGBUS before: their handler, or the default
// action (the signal is blocked while this runs, so the raised one lands when it returns).
void pass_on(int signal, siginfo_t *info, void *context) {
    if ((previous_handler.sa_flags & SA_SIGINFO) && previous_handler.sa_sigaction) {
        previous_handler.sa_sigaction(signal, info, context);
    } else if (previous_handler.sa_handler != SIG_DFL && previous_handler.sa_handler != SIG_IGN) {
        previous_handler.sa_handler(signal);
    } else {
        struct sigaction fallback = {};
        fallback.sa_handler = SIG_DFL;
        sigaction(signal, &fallback, nullptr);
        raise(signal);
    }
}

// A fault in a watched view means its file ended before the faulting page; every later page of the
// view lies further into the file, so all of them are lost too and become zeros together.
void on_bus_error(int signal, siginfo_t *info, void *context) {
    auto *address = static_cast<uint8_t *>(info->si_addr);
    for (ViewWatch *view = watched.load(); view; view = view->next) {
        if (address < view->base || address >= view->base + view->length) continue;
        auto *lost = reinterpret_cast<uint8_t *>(reinterpret_cast<uintptr_t>(address) & ~(page_size - 1));
        void *zeros = mmap(lost, size_t(view->base + view->length - lost), PROT_READ | PROT_WRITE,
                           MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (zeros == MAP_FAILED) break;
        view->damaged = 1;
        return;
    }
    pass_on(signal, info, context);
}

// In sanitizer builds AddressSanitizer's handler becomes the previous one, so its reports still
// come (it lets a program install its own unless ASAN_OPTIONS has allow_user_segv_handler=0).
void install_handler_once() {
    static bool installed = [] {
        page_size = uintptr_t(sysconf(_SC_PAGESIZE));
        struct sigaction action = {};
        action.sa_sigaction = on_bus_error;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        return sigaction(SIGBUS, &action, &previous_handler) == 0;
    }();
    (void)installed;
}

}  // namespace

ViewWatch *watch_view(void *base, size_t length, uint64_t device, uint64_t inode) {
    install_handler_once();
    auto *view = new (std::nothrow) ViewWatch{static_cast<uint8_t *>(base), length, device, inode, 0, watched.load()};
    if (view) watched.store(view);
    return view;
}

void unwatch_view(ViewWatch *watch) {
    for (ViewWatch *link = watched.load(), *before = nullptr; link; before = link, link = link->next) {
        if (link != watch) continue;
        if (before)
            before->next = link->next;
        else
            watched.store(link->next);
        delete link;
        return;
    }
}

bool view_damaged(const ViewWatch *watch) { return watch && watch->damaged; }

bool file_has_view(uint64_t device, uint64_t inode) {
    for (ViewWatch *view = watched.load(); view; view = view->next)
        if (view->device == device && view->inode == inode) return true;
    return false;
}

}  // namespace kernel
