// The few file operations that differ between Windows and POSIX systems.
// Paths are UTF-8 everywhere; on Windows they may be longer than 260
// characters.
#ifndef QUORVANTIDE_COMMON_PLATFORM_H_
#define QUORVANTIDE_COMMON_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Opens an existing regular file for reading in binary mode, following
// links. Returns null if it cannot be opened or is anything else: a
// directory, a FIFO, a device (on Windows: anything but a disk file, such as
// "NUL.xml"); such a file is refused without being read.
FILE* OpenForReading(const std::string& path);

// Whether a regular file stands at `path`, following links: whether a path
// that OpenForReading failed on names a file that is there all the same.
bool IsRegularFile(const std::string& path);

// Closes a stream that was only read. What the close returns is ignored on
// purpose: nothing was written, so nothing can have been lost.
inline void CloseInput(FILE* file) { static_cast<void>(std::fclose(file)); }

// The line end of a text file written on this platform. Every file is
// written in binary mode, and the tool puts in line ends itself, so that a
// failed write is never hidden by the C library's text-mode translation.
#ifdef _WIN32
constexpr std::string_view kTextLineEnd = "\r\n";
#else
constexpr std::string_view kTextLineEnd = "\n";
#endif

// Creates a new file at `path` for writing in binary mode. A file or a link
// that stood at the path before goes as a name, never opened; the create
// itself is exclusive and follows no link, so the file written is always
// one made here. Returns null on failure, such as when a folder or a device
// stands at the path.
FILE* CreateNewFile(const std::string& path);

// Gives `to` the owner, group and permission bits of `from`, so that a file
// written to replace another keeps whose it is and who may read and write
// it. The owner is a best effort (only root may give a file away); returns
// false if the permission bits could not be read or set, since the file
// might then let others read what the one it replaces did not.
bool CopyOwnerAndPermissions(FILE* from, FILE* to);

// The size in bytes of the open file, or -1 if it has none (a pipe, say).
long long FileSize(FILE* file);

// Flushes `file` and starts writing it onto the disk in the background, so
// that a later SyncToDisk has less to wait for (only a hint). Returns false
// if the flush failed.
bool StartWriteback(FILE* file);

// Flushes `file` and forces its bytes onto the disk. Returns false on failure.
bool SyncToDisk(FILE* file);

// Removes the file at `path`, one that the tool made itself. Returns false
// on failure. On Windows, while another program holds the file for a moment
// (see RenameOver), it is tried again.
bool RemoveFile(const std::string& path);

// Puts the file at `from` in the place of the one at `to` in one atomic step,
// replacing it, and forces that change of the folder onto the disk. Returns
// false, with both files as they were, on failure. On Linux the replaced
// file is freed on a thread of its own, which the caller need not wait for.
// On Windows, where a virus scanner or an indexer may hold either file for
// a moment without letting it be deleted, the move is tried again for about
// two seconds before it fails.
// A copy that can be made again need not be `durable`: then the folder is
// not forced to disk.
bool RenameOver(const std::string& from, const std::string& to,
                bool durable = true);

// What joins a folder and a name in a path this tool makes.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Whether `path` names a folder, following links.
bool IsFolder(const std::string& path);

// Whether `path` is itself a link of any kind (on Windows, a reparse point),
// whatever it leads to, or nowhere.
bool IsLink(const std::string& path);

// Makes the folder at `path`, whose parent must exist, unless a folder
// stands there already. Returns false if it cannot be made, or if anything
// else stands there: a file, or a link of any kind (even to a folder) when
// not `through_link`, so that nothing is ever written through a link that
// someone left or planted.
bool MakeFolder(const std::string& path, bool through_link);

struct FolderEntry {
  enum Kind { kFile, kFolder, kLinkToFolder };
  std::string name;
  Kind kind;  // kFile also for a link to a file and for anything else
};

// Lists the entries of the folder at `path`, "." and ".." left out, in no
// particular order. Returns false if the folder cannot be read.
bool ListFolder(const std::string& path, std::vector<FolderEntry>* entries);

// Sets *id to what tells the file or folder at `path` apart from every
// other on the machine, wherever links lead to it. Returns false on failure.
bool FileIdentity(const std::string& path, std::pair<uint64_t, uint64_t>* id);

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

// Waits until the work of `task` has ended; at once when it has.
void FinishBackground(BackgroundTask* task);

// The console functions that UseUtf8Console needs, so that a test can stand
// in for them.
struct ConsoleCodePage {
  bool (*is_console)();        // whether standard output is a console
  unsigned (*get)();           // the console's output code page
  bool (*set)(unsigned page);  // sets it; false on failure
};

// The system's own: on Windows the console's, elsewhere none (no console
// has a code page to set there).
ConsoleCodePage SystemConsole();

// When standard output is a console, makes UTF-8 its output code page, so
// that the UTF-8 bytes the tool prints read right, and returns the page it
// had; otherwise changes nothing and returns 0.
unsigned UseUtf8Console(const ConsoleCodePage& console);

// Puts back the code page that UseUtf8Console returned (nothing for 0).
void RestoreConsole(const ConsoleCodePage& console, unsigned page);

#endif  // QUORVANTIDE_COMMON_PLATFORM_H_
