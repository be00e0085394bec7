#pragma once

#include <functional>

namespace batchrun {

// Runs work(i) for every i from 0 to count - 1 on up to `jobs` threads, and
// deliver(i) on the calling thread in the order of i, each as soon as work(i)
// and every work before it are done; so what a run reports never depends on
// how many threads it had. work(i) may only touch what belongs to i. With one
// job everything runs on the calling thread.
void runInOrder(int count, int jobs, const std::function<void(int)> &work,
                const std::function<void(int)> &deliver);

} // namespace batchrun
