#include "platform/RowSplit.h"

#include <algorithm>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace tamsel {

namespace {

// The rows are cut into this many bands, handed out one at a time to whichever
// thread is free: a helper that wakes late, or a core taken by another
// program, then costs at most one band's wait.
constexpr int kBandsPerCall = 24;

class BandPool {
public:
    BandPool() { std::thread([this] { Serve(); }).detach(); }

    void Run(int count, const std::function<void(int, int)>& fn)
    {
        std::unique_lock own(owner_, std::try_to_lock);
        if (!own) {
            fn(0, count);
            return;
        }
        std::unique_lock lk(m_);
        fn_ = &fn;
        next_ = 0;
        count_ = count;
        band_ = std::max(1, (count + kBandsPerCall - 1) / kBandsPerCall);
        error_ = nullptr;
        wake_.notify_one();
        DrawBands(lk);
        idle_.wait(lk, [this] { return running_ == 0; });
        fn_ = nullptr;
        if (error_)
            std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    // Takes bands until none is left; called and returns with m_ held.
    void DrawBands(std::unique_lock<std::mutex>& lk)
    {
        while (fn_ && next_ < count_) {
            const int from = next_, to = std::min(count_, from + band_);
            next_ = to;
            ++running_;
            const std::function<void(int, int)>* fn = fn_;
            lk.unlock();
            std::exception_ptr error;
            try {
                (*fn)(from, to);
            } catch (...) {
                error = std::current_exception();
            }
            lk.lock();
            if (error) {
                error_ = error;
                next_ = count_;   // the rest is not worth drawing
            }
            if (--running_ == 0)
                idle_.notify_all();
        }
    }

    void Serve()
    {
        std::unique_lock lk(m_);
        for (;;) {
            wake_.wait(lk, [this] { return fn_ && next_ < count_; });
            DrawBands(lk);
        }
    }

    std::mutex owner_;   // held by the one caller the helper works for
    std::mutex m_;
    std::condition_variable wake_, idle_;
    const std::function<void(int, int)>* fn_ = nullptr;
    int next_ = 0, count_ = 0, band_ = 1, running_ = 0;
    std::exception_ptr error_;
};

}  // namespace

bool& RowBandsOff()
{
    static bool off = false;
    return off;
}

void RunRowBandsOnPool(int count, const std::function<void(int, int)>& fn)
{
    static const bool oneCore = std::thread::hardware_concurrency() < 2;
    // A band that itself splits its work draws it on its own thread.
    thread_local bool inBand = false;
    if (RowBandsOff() || oneCore || inBand) {
        fn(0, count);
        return;
    }
    inBand = true;
    struct Leave {
        ~Leave() { inBand = false; }
    } leave;
    // Made on first use and never ended: its thread sleeps until there is
    // work, and lives as long as the program.
    static BandPool* const pool = new BandPool;
    pool->Run(count, fn);
}

}  // namespace tamsel
