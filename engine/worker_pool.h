// Lumora worker pool: a fixed set of threads, made once, that share the rows of a frame.
//
// Run(count, grain, job, context) hands the index range [0, count) out in chunks of `grain`
// indices to every thread of the pool, the calling thread included, and returns when every
// chunk is done. Which thread takes which chunk varies from run to run, so a job must compute
// each index the same way whoever takes it; then the result never depends on the thread count.
//
// Every thread of the pool computes with the x87 at full precision (64-bit significand) and
// rounding to nearest while it runs a job (ExtendedPrecisionScope), whatever state the process
// started its threads with: on Windows a new thread starts at 53 bits.
//
// Run is meant for one caller at a time (the engine runs on the message-loop thread); it does
// not allocate.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace lumora {

class WorkerPool {
public:
    using Job = void (*)(void* context, int begin, int end);

    // threads: the number of threads that share a run, the caller included; at least 1. When the
    // system refuses a thread the pool works with fewer (ThreadCount says how many).
    explicit WorkerPool(int threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int ThreadCount() const { return static_cast<int>(workers_.size()) + 1; }

    void Run(int count, int grain, Job job, void* context);

    // Run with any callable f(begin, end).
    template <class F>
    void ForEachChunk(int count, int grain, F& f) {
        Run(
            count, grain, [](void* c, int b, int e) { (*static_cast<F*>(c))(b, e); }, &f);
    }

private:
    void WorkerLoop();
    void TakeChunks();

    std::vector<std::thread> workers_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable done_;
    uint64_t generation_ = 0;  // one per run; a worker joins each generation once
    int busy_ = 0;             // workers still inside the current run
    bool stopping_ = false;

    // The current run, written under the mutex before the generation is raised.
    Job job_ = nullptr;
    void* context_ = nullptr;
    int count_ = 0;
    int grain_ = 1;
    std::atomic<int> next_{0};
};

// The hardware's thread count (at least 1).
int DefaultThreadCount();

// The engine's one pool, made on first use with DefaultThreadCount() threads and kept for the
// whole run. SetEnginePoolThreads remakes it with another count (below 1: the default); call it
// between frames, from the engine's thread.
WorkerPool& EnginePool();
void SetEnginePoolThreads(int threads);

}  // namespace lumora
