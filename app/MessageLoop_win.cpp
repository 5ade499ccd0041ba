#include "app/MessageLoop_win.h"

#include <algorithm>

namespace app {
namespace {

CMessageLoop*& Current() {
  static CMessageLoop* loop = nullptr;
  return loop;
}

template <typename T>
void Erase(std::vector<T*>& list, T* item) {
  list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

// Messages that come in streams; idle work after each would only cost time.
bool ResumesIdle(UINT message) {
  return message != WM_MOUSEMOVE && message != WM_NCMOUSEMOVE && message != WM_PAINT &&
         message != 0x0118;  // the system timer of caret blinking
}

}  // namespace

void CMessageLoop::AddMessageFilter(IMessageFilter* filter) { filters_.push_back(filter); }
void CMessageLoop::RemoveMessageFilter(IMessageFilter* filter) { Erase(filters_, filter); }
void CMessageLoop::AddIdleHandler(IIdleHandler* handler) { idleHandlers_.push_back(handler); }
void CMessageLoop::RemoveIdleHandler(IIdleHandler* handler) { Erase(idleHandlers_, handler); }

int CMessageLoop::Run() {
  bool idle = true;
  int idleCount = 0;
  for (;;) {
    MSG message;
    while (idle && !::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!Idle(idleCount++)) idle = false;
    }
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == -1) continue;
    if (got == 0) return static_cast<int>(message.wParam);
    Process(message);
    if (ResumesIdle(message.message)) {
      idle = true;
      idleCount = 0;
    }
  }
}

void CMessageLoop::Process(MSG& message) {
  // A filter may remove itself (its window closing) while the list is walked.
  const std::vector<IMessageFilter*> filters = filters_;
  for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
    if (std::find(filters_.begin(), filters_.end(), *it) == filters_.end()) continue;
    if ((*it)->PreTranslateMessage(message)) return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

bool CMessageLoop::Idle(int idleCount) {
  const std::vector<IIdleHandler*> handlers = idleHandlers_;
  bool more = false;
  for (IIdleHandler* handler : handlers) {
    if (std::find(idleHandlers_.begin(), idleHandlers_.end(), handler) == idleHandlers_.end())
      continue;
    if (handler->OnIdle(idleCount)) more = true;
  }
  return more;
}

CMessageLoop* CurrentMessageLoop() { return Current(); }

MessageLoopRegistration::MessageLoopRegistration(CMessageLoop& loop) : previous_(Current()) {
  Current() = &loop;
}

MessageLoopRegistration::~MessageLoopRegistration() { Current() = previous_; }

}  // namespace app
