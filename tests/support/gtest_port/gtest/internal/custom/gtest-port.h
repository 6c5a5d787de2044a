// GoogleTest built by the product's compiler, whose thread model has no std::mutex. Its one
// use of it, a notification that only GoogleTest's own thread tests wait for, is an atomic.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    void Notify() { notified_ = true; }
    void WaitForNotification() {
        while (!notified_) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing
