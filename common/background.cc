#include "common/background.h"

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <process.h>
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace {

#ifdef _WIN32
unsigned __stdcall RunBackground(void* task_pointer) {
#else
void* RunBackground(void* task_pointer) {
#endif
  auto* task = static_cast<BackgroundTask*>(task_pointer);
  task->work(task->argument);
  return 0;
}

}  // namespace

void StartBackground(BackgroundTask* task, void (*work)(void* argument),
                     void* argument) {
  if (!StartThread(task, work, argument)) work(argument);
}

bool StartThread(BackgroundTask* task, void (*work)(void* argument),
                 void* argument) {
  task->work = work;
  task->argument = argument;
#ifdef _WIN32
  task->thread = reinterpret_cast<void*>(
      _beginthreadex(nullptr, 0, RunBackground, task, 0, nullptr));
#else
  auto* thread = new pthread_t;
  if (pthread_create(thread, nullptr, RunBackground, task) == 0) {
    task->thread = thread;
  } else {
    delete thread;
  }
#endif
  return task->thread != nullptr;
}

void FinishBackground(BackgroundTask* task) {
  if (task->thread == nullptr) return;
#ifdef _WIN32
  // Waiting on, and joining, a thread that the task made and nothing else
  // holds cannot fail.
  WaitForSingleObject(task->thread, INFINITE);
  CloseHandle(task->thread);
#else
  auto* thread = static_cast<pthread_t*>(task->thread);
  static_cast<void>(pthread_join(*thread, nullptr));
  delete thread;
#endif
  task->thread = nullptr;
}
