#pragma once

#include <ucontext.h>

#include <functional>
#include <memory>

// A body of code with a stack of its own on the one thread: Suspend() goes back to whoever
// called Resume(), and the next Resume() goes on where it left off. Several boards run their
// links this way on the one event loop, each waiting as if it ran alone, while nested event
// loops would end only in the order they began and so hold each board behind the last one.
class Fiber {
public:
    explicit Fiber(std::function<void()> body);
    ~Fiber();
    Fiber(const Fiber&) = delete;
    Fiber& operator=(const Fiber&) = delete;

    // From the main stack: runs the body until it suspends or ends.
    void Resume();
    // From the body: back to the Resume that ran it.
    void Suspend();
    bool Done() const { return m_done; }

private:
    static void Enter();
    void SwitchOut(bool ending);

    std::function<void()> m_body;
    std::unique_ptr<char[]> m_stack;
    ucontext_t m_context{};
    ucontext_t m_caller{};
    bool m_done = false;
    // The address sanitizer's view of the stacks it switches between.
    void* m_fakeStack = nullptr;
    const void* m_callerBottom = nullptr;
    size_t m_callerSize = 0;
};
