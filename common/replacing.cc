#include "common/replacing.h"

#ifndef _WIN32
#include <fcntl.h>
#include <pthread.h>
#include <unistd.h>
#endif

#include <memory>

#include "common/windows_paths.h"

#ifndef _WIN32
namespace {

void* CloseDescriptor(void* descriptor) {
  const std::unique_ptr<int> fd(static_cast<int*>(descriptor));
  // It only held the replaced file by its path: nothing to lose.
  static_cast<void>(close(*fd));
  return nullptr;
}

}  // namespace
#endif

bool RenameOver(const std::string& from, const std::string& to, bool durable) {
#ifdef _WIN32
  // rename() refuses an existing target on Windows; this move replaces it.
  return MoveOver(from, to,
                  MOVEFILE_REPLACE_EXISTING |
                      (durable ? MOVEFILE_WRITE_THROUGH : DWORD{0}));
#else
  // The file replaced is freed, its cached pages and all, when its last
  // reference goes: in rename() itself, which then takes as long as
  // reading the file did. Holding it open through the rename lets that
  // happen on a thread of its own, beside what the run does next. It is
  // held by its path alone where the system can, so that nothing is read
  // and no device or pipe is opened, and never through a link; if it can't
  // be held, rename() frees it.
#ifdef O_PATH
  constexpr int kHold = O_PATH;
#else
  constexpr int kHold = O_RDONLY | O_NONBLOCK;
#endif
  // A copy that can be made again replaces one as small as itself, mostly:
  // a thread of its own would cost more than the freeing.
  const int replaced =
      durable ? open(to.c_str(), kHold | O_NOFOLLOW | O_CLOEXEC) : -1;
  const bool renamed = std::rename(from.c_str(), to.c_str()) == 0;
  if (replaced >= 0) {
    auto* descriptor = new int(replaced);
    pthread_t thread;
    if (pthread_create(&thread, nullptr, CloseDescriptor, descriptor) == 0) {
      // Cannot fail for a thread just made and not yet joined.
      static_cast<void>(pthread_detach(thread));
    } else {
      CloseDescriptor(descriptor);
    }
  }
  if (!renamed) return false;
  if (!durable) return true;
  // The new name lives in the folder: until the folder is on the disk, a
  // power cut may bring back the old file, or none.
  const size_t slash = to.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : to.substr(0, slash);
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    // Not reported: the file is in its place, and some file systems refuse
    // to sync a folder at all. The folder was only read.
    static_cast<void>(fsync(fd));
    static_cast<void>(close(fd));
  }
  return true;
#endif
}

bool RemoveFile(const std::string& path) {
#ifdef _WIN32
  const std::wstring wide = WidePath(path);
  return RetryWhileHeld([&] { return DeleteFileW(wide.c_str()) != 0; });
#else
  return unlink(path.c_str()) == 0;
#endif
}
