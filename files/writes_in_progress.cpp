#include "files/writes_in_progress.h"

#include <signal.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>

namespace kesmir {

namespace {

constexpr int kPlaces = 16;
constexpr std::size_t kLongestPath = 4096;  // PATH_MAX on Linux, with the NUL

// A signal handler reads the path while its writer may be changing it, so
// the path is a sequence lock of lock-free atomics: the writer makes the
// sequence odd while it changes the path, and a reader that sees it odd or
// changed skips the place. That is safe, because a path changes only before
// its file is created or after it is gone.
struct Place {
    bool taken = false;  // guarded by registryMutex
    std::atomic<uint32_t> sequence{0};
    std::array<std::atomic<char>, kLongestPath> path{};  // empty: no temporary file
};

static_assert(std::atomic<uint32_t>::is_always_lock_free &&
              std::atomic<char>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

std::array<Place, kPlaces> places;
std::mutex registryMutex;
std::condition_variable registryChanged;
int writesInProgress = 0;  // guarded by registryMutex, the writes ahead included
int writesAhead = 0;       // guarded by registryMutex
bool ending = false;       // guarded by registryMutex: only writes announced ahead may begin

// Set by a signal handler or an exit that gave up waiting: every temporary
// file is being removed, and a file created from now on removes itself.
std::atomic<bool> dying{false};

void setPath(Place& place, const char* text, std::size_t length) {
    const uint32_t before = place.sequence.load(std::memory_order_relaxed);
    place.sequence.store(before + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    for (std::size_t i = 0; i < length; ++i)
        place.path[i].store(text[i], std::memory_order_relaxed);
    place.path[length].store('\0', std::memory_order_relaxed);
    place.sequence.store(before + 2, std::memory_order_release);
}

// Async-signal-safe: atomics, a local copy and unlink().
void removeNamedFiles() {
    for (Place& place : places) {
        const uint32_t before = place.sequence.load(std::memory_order_acquire);
        if (before & 1u) continue;
        char path[kLongestPath];
        std::size_t i = 0;
        for (; i + 1 < kLongestPath; ++i) {
            path[i] = place.path[i].load(std::memory_order_relaxed);
            if (path[i] == '\0') break;
        }
        path[i] = '\0';
        std::atomic_thread_fence(std::memory_order_acquire);
        if (place.sequence.load(std::memory_order_relaxed) != before || path[0] == '\0') continue;
        ::unlink(path);
    }
}

extern "C" void onEndingSignal(int signalNumber) {
    const int savedErrno = errno;
    dying.store(true);
    removeNamedFiles();
    // End as the signal would have ended the process without this handler:
    // the signal, blocked while the handler runs, is delivered on return.
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    ::sigemptyset(&defaultAction.sa_mask);
    ::sigaction(signalNumber, &defaultAction, nullptr);
    ::raise(signalNumber);
    errno = savedErrno;
}

}  // namespace

WriteInProgress::WriteInProgress() {
    std::unique_lock lock(registryMutex);
    const auto freePlace = [] {
        for (int i = 0; i < kPlaces; ++i)
            if (!places[i].taken) return i;
        return -1;
    };
    registryChanged.wait(lock, [&] { return (!ending || writesAhead > 0) && freePlace() >= 0; });
    place_ = freePlace();
    places[place_].taken = true;
    ++writesInProgress;
}

WriteInProgress::~WriteInProgress() {
    unname();
    std::lock_guard lock(registryMutex);
    places[place_].taken = false;
    --writesInProgress;
    registryChanged.notify_all();
}

WriteAhead::WriteAhead() {
    std::lock_guard lock(registryMutex);
    if (ending) return;  // too late: the write will not begin
    counted_ = true;
    ++writesAhead;
    ++writesInProgress;
}

WriteAhead::~WriteAhead() {
    if (!counted_) return;
    std::lock_guard lock(registryMutex);
    --writesAhead;
    --writesInProgress;
    registryChanged.notify_all();
}

bool WriteInProgress::name(const std::string& temporaryPath) {
    if (temporaryPath.size() >= kLongestPath) return false;
    setPath(places[place_], temporaryPath.c_str(), temporaryPath.size());
    return true;
}

void WriteInProgress::created() {
    if (!dying.load()) return;
    removeNamedFiles();
    for (;;)
        ::pause();
}

void WriteInProgress::unname() {
    setPath(places[place_], "", 0);
}

void finishWritesInProgress(std::chrono::milliseconds patience) {
    std::unique_lock lock(registryMutex);
    ending = true;
    if (registryChanged.wait_for(lock, patience, [] { return writesInProgress == 0; })) return;
    dying.store(true);
    removeNamedFiles();
    std::fprintf(stderr, "kesmir: %d file write%s did not finish within %g s; %s removed\n",
                 writesInProgress, writesInProgress == 1 ? "" : "s",
                 static_cast<double>(patience.count()) / 1000.0,
                 writesInProgress == 1 ? "its temporary file is" : "their temporary files are");
}

void removeTemporaryFilesOnSignals() {
    for (int signalNumber : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = onEndingSignal;
        ::sigemptyset(&action.sa_mask);
        // Each handler holds off the others, so one clean-up runs at a time.
        for (int other : {SIGINT, SIGTERM, SIGHUP})
            ::sigaddset(&action.sa_mask, other);
        ::sigaction(signalNumber, &action, nullptr);
    }
}

}  // namespace kesmir
