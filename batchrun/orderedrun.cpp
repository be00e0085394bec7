#include "batchrun/orderedrun.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace batchrun {

void runInOrder(int count, int jobs, const std::function<void(int)> &work,
                const std::function<void(int)> &deliver)
{
    const int threads = std::min(jobs, count);
    if (threads <= 1) {
        for (int i = 0; i < count; ++i) {
            work(i);
            deliver(i);
        }
        return;
    }
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<char> done(std::size_t(count), 0);
    std::atomic<int> next{0};
    std::vector<std::thread> pool;
    pool.reserve(std::size_t(threads));
    for (int t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (int i = next++; i < count; i = next++) {
                work(i);
                {
                    const std::lock_guard<std::mutex> lock(mutex);
                    done[std::size_t(i)] = 1;
                }
                finished.notify_all();
            }
        });
    }
    for (int i = 0; i < count; ++i) {
        {
            std::unique_lock<std::mutex> lock(mutex);
            finished.wait(lock, [&] { return done[std::size_t(i)] != 0; });
        }
        deliver(i);
    }
    for (std::thread &thread : pool)
        thread.join();
}

} // namespace batchrun
