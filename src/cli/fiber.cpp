#include "fiber.h"

#include <QtGlobal>

#if defined(__SANITIZE_ADDRESS__)
#define KESTREL_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTREL_ASAN 1
#endif
#endif

#ifdef KESTREL_ASAN
#include <sanitizer/common_interface_defs.h>
#endif

namespace {
// The address sanitizer must know each switch of stacks, or it takes the other stack's frames
// for overflows.
void StartSwitch(void** fakeStack, const void* bottom, size_t size) {
#ifdef KESTREL_ASAN
    __sanitizer_start_switch_fiber(fakeStack, bottom, size);
#else
    Q_UNUSED(fakeStack);
    Q_UNUSED(bottom);
    Q_UNUSED(size);
#endif
}

void FinishSwitch(void* fakeStack, const void** bottom, size_t* size) {
#ifdef KESTREL_ASAN
    __sanitizer_finish_switch_fiber(fakeStack, bottom, size);
#else
    Q_UNUSED(fakeStack);
    Q_UNUSED(bottom);
    Q_UNUSED(size);
#endif
}

// Room for Qt's formatting and the link's calls, several times over (the sanitizer's frames
// are larger); untouched pages cost nothing.
constexpr size_t kStackBytes = 1 << 20;
Fiber* g_starting = nullptr;
Fiber* g_running = nullptr;
}  // namespace

Fiber::Fiber(std::function<void()> body)
    : m_body(std::move(body)), m_stack(std::make_unique<char[]>(kStackBytes)) {
    getcontext(&m_context);
    m_context.uc_stack.ss_sp = m_stack.get();
    m_context.uc_stack.ss_size = kStackBytes;
    m_context.uc_link = nullptr;
    makecontext(&m_context, &Fiber::Enter, 0);
}

Fiber::~Fiber() {
    Q_ASSERT(m_done || g_running != this);
}

void Fiber::Resume() {
    Q_ASSERT(!g_running && !m_done);
    g_running = this;
    g_starting = this;
    void* fakeStack = nullptr;
    StartSwitch(&fakeStack, m_stack.get(), kStackBytes);
    swapcontext(&m_caller, &m_context);
    FinishSwitch(fakeStack, nullptr, nullptr);
    g_running = nullptr;
}

void Fiber::Suspend() {
    Q_ASSERT(g_running == this);
    SwitchOut(false);
}

void Fiber::Enter() {
    Fiber* self = g_starting;
    FinishSwitch(nullptr, &self->m_callerBottom, &self->m_callerSize);
    self->m_body();
    self->m_done = true;
    self->SwitchOut(true);
}

void Fiber::SwitchOut(bool ending) {
    // An ending fiber's stack is gone for good: the sanitizer may forget it.
    StartSwitch(ending ? nullptr : &m_fakeStack, m_callerBottom, m_callerSize);
    swapcontext(&m_context, &m_caller);
    FinishSwitch(m_fakeStack, &m_callerBottom, &m_callerSize);
}
