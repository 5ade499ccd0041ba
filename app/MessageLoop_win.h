// The process's one message loop. Windows that must see queued messages
// before they are dispatched (accelerators, dialog navigation) register as
// message filters; those that update command states when the queue runs
// empty register as idle handlers.
//
//   app::CMessageLoop loop;
//   app::MessageLoopRegistration registered(loop);   // CurrentMessageLoop() is now `loop`
//   ... create the main frame, which adds itself ...
//   return loop.Run();                                // the WM_QUIT code
#pragma once

#include <windows.h>

#include <vector>

namespace app {

class IMessageFilter {
 public:
  // True when the message was handled and must not be dispatched.
  virtual bool PreTranslateMessage(MSG& message) = 0;

 protected:
  ~IMessageFilter() = default;
};

class IIdleHandler {
 public:
  // idleCount counts up from 0 within one idle period; true asks for more idle calls.
  virtual bool OnIdle(int idleCount) = 0;

 protected:
  ~IIdleHandler() = default;
};

class CMessageLoop {
 public:
  void AddMessageFilter(IMessageFilter* filter);
  void RemoveMessageFilter(IMessageFilter* filter);
  void AddIdleHandler(IIdleHandler* handler);
  void RemoveIdleHandler(IIdleHandler* handler);

  // While no message waits, idle handlers run until none wants more; then
  // each message is processed. Returns the WM_QUIT code.
  int Run();

  // Offers the message to the filters, last registered first, and
  // translates and dispatches it when none took it.
  void Process(MSG& message);

  // Calls every idle handler; true when one of them wants more idle time.
  bool Idle(int idleCount);

 private:
  std::vector<IMessageFilter*> filters_;
  std::vector<IIdleHandler*> idleHandlers_;
};

// The loop start-up registered, or null (windows made outside the program's
// start, as in tests, then run without filters and idle calls).
CMessageLoop* CurrentMessageLoop();

class MessageLoopRegistration {
 public:
  explicit MessageLoopRegistration(CMessageLoop& loop);
  ~MessageLoopRegistration();
  MessageLoopRegistration(const MessageLoopRegistration&) = delete;
  MessageLoopRegistration& operator=(const MessageLoopRegistration&) = delete;

 private:
  CMessageLoop* previous_;
};

}  // namespace app
