#include "BoundedCall.h"

#include <wininet.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {
// After an abort the worker is usually back within milliseconds; waiting a
// little longer lets it be joined instead of left running.
constexpr DWORD kGraceMs = 2000;

struct Shared {
    BoundedCall task;
    std::mutex lock;
    std::condition_variable changed;
    bool done = false;
    bool abandoned = false;
    BoundedCallResult result;
};

// The last reply line is kept per thread, so it must be read on the worker.
// The buffer stays below the 1460 bytes that some WinINet versions accept.
std::string LastResponse()
{
    char text[1024] = "";
    DWORD code = 0;
    DWORD length = sizeof text;
    if (!::InternetGetLastResponseInfoA(&code, text, &length))
        return {};
    return std::string(text, length < sizeof text ? length : sizeof text - 1);
}

void Work(const std::shared_ptr<Shared>& shared)
{
    uintptr_t value = shared->task.call();
    DWORD error = value ? 0 : ::GetLastError();
    std::string response = value ? std::string() : LastResponse();
    bool discard = false;
    {
        std::lock_guard<std::mutex> guard(shared->lock);
        shared->done = true;
        shared->result.value = value;
        shared->result.error = error;
        shared->result.response = response;
        discard = shared->abandoned && value != 0;
    }
    shared->changed.notify_all();
    if (discard && shared->task.discard)
        shared->task.discard(value);
}
}  // namespace

BoundedCallResult RunBounded(BoundedCall task, DWORD limitMs)
{
    auto shared = std::make_shared<Shared>();
    shared->task = std::move(task);
    std::thread worker([shared] { Work(shared); });

    std::unique_lock<std::mutex> guard(shared->lock);
    if (shared->changed.wait_for(guard, std::chrono::milliseconds(limitMs), [&] { return shared->done; })) {
        BoundedCallResult result = shared->result;
        result.finished = true;
        guard.unlock();
        worker.join();
        return result;
    }
    shared->abandoned = true;
    guard.unlock();

    if (shared->task.abort)
        shared->task.abort();

    guard.lock();
    bool ended = shared->changed.wait_for(guard, std::chrono::milliseconds(kGraceMs), [&] { return shared->done; });
    guard.unlock();
    if (ended)
        worker.join();
    else
        worker.detach();
    return BoundedCallResult{};
}
