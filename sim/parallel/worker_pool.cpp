#include "sim/parallel/worker_pool.h"

#include <algorithm>
#include <memory>

#include "world/checks.h"

namespace kesmir {

namespace {

// Steps follow each other within microseconds: a worker that has just
// finished spins this many rounds before it sleeps, so the next task rarely
// has to wake it through the kernel.
constexpr int kSpinRoundsBeforeSleep = 4000;

void cpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#else
    std::this_thread::yield();
#endif
}

}  // namespace

void pauseBriefly(int& rounds) {
    if (rounds < 64) {
        cpuRelax();
    } else {
        std::this_thread::yield();
    }
    ++rounds;
}

WorkerPool::WorkerPool(int threads) {
    for (int t = 1; t < threads; ++t)
        workers_.emplace_back([this, t] { work(t); });
}

WorkerPool::~WorkerPool() {
    stopping_.store(true, std::memory_order_relaxed);
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    for (std::thread& worker : workers_)
        worker.join();
}

void WorkerPool::runOnAll(const std::function<void(int)>& task) {
    // The workers take one task at a time: a second would overwrite the
    // first under their feet.
    KESMIR_ASSERT(!busy_.exchange(true, std::memory_order_acq_rel),
                  "the worker pool was asked for a task while one was running");
    if (workers_.empty()) {
        task(0);
        busy_.store(false, std::memory_order_release);
        return;
    }
    task_ = &task;
    running_.store(static_cast<int>(workers_.size()), std::memory_order_relaxed);
    generation_.fetch_add(1, std::memory_order_release);
    generation_.notify_all();
    task(0);
    int rounds = 0;
    for (int left; (left = running_.load(std::memory_order_acquire)) != 0;) {
        if (rounds < kSpinRoundsBeforeSleep) {
            cpuRelax();
            ++rounds;
        } else {
            running_.wait(left, std::memory_order_acquire);
        }
    }
    busy_.store(false, std::memory_order_release);
}

void WorkerPool::work(int thread) {
    uint32_t seen = 0;
    for (;;) {
        int rounds = 0;
        uint32_t now;
        while ((now = generation_.load(std::memory_order_acquire)) == seen) {
            if (rounds < kSpinRoundsBeforeSleep) {
                cpuRelax();
                ++rounds;
            } else {
                generation_.wait(seen, std::memory_order_acquire);
            }
        }
        seen = now;
        if (stopping_.load(std::memory_order_relaxed)) return;
        (*task_)(thread);
        if (running_.fetch_sub(1, std::memory_order_acq_rel) == 1) running_.notify_one();
    }
}

namespace {

std::unique_ptr<WorkerPool>& poolHolder() {
    static std::unique_ptr<WorkerPool> pool = std::make_unique<WorkerPool>(1);
    return pool;
}

}  // namespace

WorkerPool& simulationPool() {
    return *poolHolder();
}

void setSimulationThreads(int threads) {
    if (threads <= 0) threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    if (threads == simulationThreads()) return;
    KESMIR_ASSERT(!simulationPool().busy(), "the worker pool was resized while a task ran");
    poolHolder().reset();
    poolHolder() = std::make_unique<WorkerPool>(threads);
}

int simulationThreads() {
    return simulationPool().threads();
}

void forEachPiece(int32_t pieces, const std::function<void(int32_t)>& work) {
    WorkerPool& pool = simulationPool();
    if (pool.threads() == 1 || pieces <= 1) {
        for (int32_t piece = 0; piece < pieces; ++piece)
            work(piece);
        return;
    }
    std::atomic<int32_t> next{0};
    pool.runOnAll([&](int) {
        for (int32_t piece; (piece = next.fetch_add(1, std::memory_order_relaxed)) < pieces;)
            work(piece);
    });
}

}  // namespace kesmir
