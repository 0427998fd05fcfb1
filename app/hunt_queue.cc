#include "app/hunt_queue.h"

#include <utility>

#include "common/print_message.h"
#include "passes/hunt_scan.h"

namespace {

// Reads one file, and notes it when it could not be read; `lock` is
// released meanwhile.
void ReadFile(HuntQueue* queue, const HuntQueue::File& file,
              std::unique_lock<std::mutex>* lock) {
  lock->unlock();
  const bool read =
      HuntDataFile(file.path, *queue->names, queue->hunt, file.repair);
  lock->lock();
  if (!read) queue->unread.push_back(file.path);
}

void ReadQueuedFiles(void* argument) {
  auto* queue = static_cast<HuntQueue*>(argument);
  std::unique_lock<std::mutex> lock(queue->mutex);
  for (;;) {
    queue->changed.wait(
        lock, [queue] { return queue->closed || !queue->files.empty(); });
    if (queue->files.empty()) return;
    const HuntQueue::File file = std::move(queue->files.front());
    queue->files.pop_front();
    ReadFile(queue, file, &lock);
  }
}

}  // namespace

void StartHuntQueue(HuntQueue* queue, const NameTable& names, NameHunt* hunt) {
  queue->names = &names;
  queue->hunt = hunt;
  queue->threaded = StartThread(&queue->task, ReadQueuedFiles, queue);
}

void QueueHuntFile(HuntQueue* queue, const std::string& path, bool repair) {
  std::unique_lock<std::mutex> lock(queue->mutex);
  if (!queue->threaded) {
    ReadFile(queue, HuntQueue::File{path, repair}, &lock);
    return;
  }
  queue->files.push_back(HuntQueue::File{path, repair});
  queue->changed.notify_all();
}

void FinishHuntQueue(HuntQueue* queue) {
  {
    std::lock_guard<std::mutex> lock(queue->mutex);
    queue->closed = true;
    queue->changed.notify_all();
  }
  FinishBackground(&queue->task);
  for (const std::string& path : queue->unread) {
    PrintMessage("ERROR: Could not read file %s\n", path.c_str());
  }
  queue->unread.clear();
}
