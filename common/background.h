// Work run on a thread of its own, beside the main one.
#ifndef QUORVANTIDE_COMMON_BACKGROUND_H_
#define QUORVANTIDE_COMMON_BACKGROUND_H_

// Work run on a thread of its own, beside the main one.
struct BackgroundTask {
  void (*work)(void* argument) = nullptr;
  void* argument = nullptr;
  void* thread = nullptr;  // the system's handle while it runs
};

// Starts work(argument) on a new thread. When no thread can be made, runs
// it here and now instead: either way FinishBackground then finds it done.
void StartBackground(BackgroundTask* task, void (*work)(void* argument),
                     void* argument);

// Starts work(argument) on a new thread, and returns true; when no thread
// can be made, runs nothing and returns false.
bool StartThread(BackgroundTask* task, void (*work)(void* argument),
                 void* argument);

// Waits until the work of `task` has ended; at once when it has.
void FinishBackground(BackgroundTask* task);

#endif  // QUORVANTIDE_COMMON_BACKGROUND_H_
