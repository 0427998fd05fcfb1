// The name hunt's reads of the data files, on a thread of their own beside
// the copies of the files after them.
#ifndef QUORVANTIDE_APP_HUNT_QUEUE_H_
#define QUORVANTIDE_APP_HUNT_QUEUE_H_

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "common/background.h"
#include "names/name_hunt.h"
#include "names/name_table.h"

struct HuntQueue {
  const NameTable* names = nullptr;
  // The reading thread's from StartHuntQueue until FinishHuntQueue returns.
  NameHunt* hunt = nullptr;
  // Guarded by `mutex`: the files queued and not yet taken (each with
  // whether its text is read repaired), whether more will come, and the
  // files that could not be read, in the order they were queued.
  struct File {
    std::string path;
    bool repair;
  };
  std::deque<File> files;
  bool closed = false;
  std::vector<std::string> unread;
  std::mutex mutex;
  std::condition_variable changed;
  // Whether a thread reads the files; when none could be made, each file
  // is read as it is queued.
  bool threaded = false;
  BackgroundTask task;
};

// Starts the thread that reads each file queued for the hunt, in turn, into
// *hunt; a file is queued only once `names` is loaded.
void StartHuntQueue(HuntQueue* queue, const NameTable& names, NameHunt* hunt);

// Queues the data file at `path` for HuntDataFile, its copy made.
void QueueHuntFile(HuntQueue* queue, const std::string& path, bool repair);

// Waits until every queued file is read, then reports each that could not
// be; the hunt is the caller's again.
void FinishHuntQueue(HuntQueue* queue);

#endif  // QUORVANTIDE_APP_HUNT_QUEUE_H_
