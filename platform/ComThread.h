// Prepares the calling thread for the shell's services (COM and OLE on
// Windows) for the life of the object; nothing to do on Linux.
#pragma once

namespace platform {

class ComThread {
 public:
  ComThread();
  ~ComThread();
  ComThread(const ComThread&) = delete;
  ComThread& operator=(const ComThread&) = delete;

 private:
  bool initialised_ = false;
};

}  // namespace platform
