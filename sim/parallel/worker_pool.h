// The simulation's worker threads. A step that can split its work asks the
// pool to run one task on every thread at once, the simulation thread
// included, and gets control back when all of them have finished. Between
// tasks the workers sleep, so between two steps nothing runs but the
// simulation thread: a hold or a pause there sees a quiet world.
//
// Every way a step splits its work must give the same bits as the step run
// on one thread; the pool only decides who does a piece, never what a piece
// computes.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace kesmir {

class WorkerPool {
  public:
    // `threads` counts the calling thread: threads - 1 workers are started.
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int threads() const { return static_cast<int>(workers_.size()) + 1; }

    // Runs task(t) for every t in 0..threads() - 1 at the same time, t = 0 on
    // the calling thread; returns when every call has returned. One task at
    // a time: a task must not ask the pool for another.
    void runOnAll(const std::function<void(int)>& task);

    // A task is running.
    bool busy() const { return busy_.load(std::memory_order_acquire); }

  private:
    void work(int thread);

    std::vector<std::thread> workers_;
    const std::function<void(int)>* task_ = nullptr;
    std::atomic<uint32_t> generation_{0};  // one more for every task handed out
    std::atomic<int> running_{0};          // workers still in the current task
    std::atomic<bool> stopping_{false};
    std::atomic<bool> busy_{false};
};

// The pool the cycle's steps run on: one thread (no workers) until set.
WorkerPool& simulationPool();
// Replaces the pool; only while no task runs (between steps). 0 means the
// machine's cores.
void setSimulationThreads(int threads);
int simulationThreads();

// Hands the pieces [0, pieces) out to every thread of the pool as each comes
// free, and returns when all are done. Which thread takes a piece varies
// from run to run, so a piece may only write what no other piece touches;
// results that must be combined in order are kept per piece.
void forEachPiece(int32_t pieces, const std::function<void(int32_t piece)>& work);

// Cuts [0, count) into pieces of `grain` items (the last one shorter).
struct Pieces {
    int32_t count;
    int32_t grain;

    int32_t size() const { return count == 0 ? 0 : (count - 1) / grain + 1; }
    int32_t begin(int32_t piece) const { return piece * grain; }
    int32_t end(int32_t piece) const { return piece + 1 < size() ? (piece + 1) * grain : count; }
};

// Spins a little, then yields: for waits that end within microseconds.
void pauseBriefly(int& rounds);

}  // namespace kesmir
