#include "engine/worker_pool.h"

#include <algorithm>
#include <memory>
#include <system_error>

#include "engine/fpu_guard.h"

namespace lumora {

int DefaultThreadCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(std::min(n, 64u));
}

namespace {

std::unique_ptr<WorkerPool>& EnginePoolHolder() {
    static std::unique_ptr<WorkerPool> pool;
    return pool;
}

}  // namespace

WorkerPool& EnginePool() {
    std::unique_ptr<WorkerPool>& pool = EnginePoolHolder();
    if (!pool) pool = std::make_unique<WorkerPool>(DefaultThreadCount());
    return *pool;
}

void SetEnginePoolThreads(int threads) {
    if (threads < 1) threads = DefaultThreadCount();
    std::unique_ptr<WorkerPool>& pool = EnginePoolHolder();
    if (pool && pool->ThreadCount() == threads) return;
    pool.reset();
    pool = std::make_unique<WorkerPool>(threads);
}

WorkerPool::WorkerPool(int threads) {
    const int helpers = std::max(threads, 1) - 1;
    workers_.reserve(static_cast<size_t>(helpers));
    for (int i = 0; i < helpers; ++i) {
        try {
            workers_.emplace_back([this] { WorkerLoop(); });
        } catch (const std::system_error&) {
            break;  // the system gives no more threads: share the work among those there are
        }
    }
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

void WorkerPool::TakeChunks() {
    for (;;) {
        const int begin = next_.fetch_add(grain_, std::memory_order_relaxed);
        if (begin >= count_) return;
        job_(context_, begin, std::min(begin + grain_, count_));
    }
}

void WorkerPool::WorkerLoop() {
    uint64_t seen = 0;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
        }
        {
            ExtendedPrecisionScope precision;
            TakeChunks();
        }
        std::lock_guard<std::mutex> lock(mutex_);
        if (--busy_ == 0) done_.notify_one();
    }
}

void WorkerPool::Run(int count, int grain, Job job, void* context) {
    if (count <= 0) return;
    ExtendedPrecisionScope precision;
    grain = std::max(grain, 1);
    if (workers_.empty() || count <= grain) {
        job(context, 0, count);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job_ = job;
        context_ = context;
        count_ = count;
        grain_ = grain;
        next_.store(0, std::memory_order_relaxed);
        busy_ = static_cast<int>(workers_.size());
        ++generation_;
    }
    wake_.notify_all();
    TakeChunks();
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [&] { return busy_ == 0; });
}

}  // namespace lumora
